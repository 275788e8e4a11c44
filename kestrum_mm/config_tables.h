// The part of the configuration load that turns an open INI file into switches and
// multiplier tables. It makes no engine call, so the configuration checker compiles
// the same code and reads a file exactly as the plug-in does.
#pragma once

#include "ini.h"

constexpr int kMultiplierSlots = 64;

// Heading of the standard game directories (valve, gearbox and the two others).
constexpr char kStandardHeading[] = "standard(valve,gearbox,etc)";
// Suffixes that turn the base heading into the two table headings.
constexpr char kPrimarySuffix[] = "-AMMO1";
constexpr char kSecondarySuffix[] = "-AMMO2";
// Keys of the two switches under the base heading.
constexpr char kAmmoIdIsFlagKey[] = "AmmoIdIsFlag";
constexpr char kAllWeaponsCliplessKey[] = "AllWeaponsClipless";

// True for the four standard game directory names, compared without regard to case.
bool IsStandardGameDir(const char* gameDirName);
// The base heading of a game directory: the standard heading for a standard directory,
// otherwise the name itself in its own case.
const char* BaseHeading(const char* gameDirName);

// Where one load puts its results. The tables hold kMultiplierSlots entries each and are
// expected to be all 0.0 on entry: only configured entries are written.
struct ConfigTargets {
    int* ammoIdIsFlag;
    int* allWeaponsClipless;
    float* primary;
    float* secondary;
};

// Reads the switches from the base heading (both off when it is missing) and the tables
// from the base heading followed by -AMMO1 and -AMMO2.
void ReadConfigurationTables(IniFile* ini, const char* base, const ConfigTargets& targets);

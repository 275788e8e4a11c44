#include "config_tables.h"

#include <cstdio>

#include "text_compare.h"

namespace {

constexpr const char* kStandardGameDirs[] = {"valve", "marrowfen", "tallowmere", "gearbox"};

// Room for the longest game directory name the engine can report plus a suffix.
constexpr int kHeadingBuffer = 512 + sizeof kPrimarySuffix;

// A switch is on when the key is there and holds a non-zero integer.
int ReadSwitch(IniFile* ini, const char* key) {
    int value = 0;
    if (SelectKey(ini, key) == 0 && ReadInt(ini, &value) == 0 && value != 0) {
        return 1;
    }
    return 0;
}

// Keys "0".."63" of the heading fill the table; only values above 0 count.
void ReadMultipliers(IniFile* ini, const char* base, const char* suffix, float* table) {
    char heading[kHeadingBuffer];
    std::snprintf(heading, sizeof heading, "%s%s", base, suffix);
    if (SelectHeading(ini, heading) != 0) {
        return;
    }
    for (int id = 0; id < kMultiplierSlots; ++id) {
        char key[16];
        std::snprintf(key, sizeof key, "%d", id);
        int value = 0;
        if (SelectKey(ini, key) == 0 && ReadInt(ini, &value) == 0 && value > 0) {
            table[id] = static_cast<float>(value);
        }
    }
}

}  // namespace

bool IsStandardGameDir(const char* gameDirName) {
    for (const char* standard : kStandardGameDirs) {
        if (EqualIgnoringCase(gameDirName, standard)) {
            return true;
        }
    }
    return false;
}

const char* BaseHeading(const char* gameDirName) {
    return IsStandardGameDir(gameDirName) ? kStandardHeading : gameDirName;
}

void ReadConfigurationTables(IniFile* ini, const char* base, const ConfigTargets& targets) {
    if (SelectHeading(ini, base) == 0) {
        *targets.ammoIdIsFlag = ReadSwitch(ini, kAmmoIdIsFlagKey);
        *targets.allWeaponsClipless = ReadSwitch(ini, kAllWeaponsCliplessKey);
    } else {
        *targets.ammoIdIsFlag = 0;
        *targets.allWeaponsClipless = 0;
    }
    // The tables are read whether or not the base heading exists.
    ReadMultipliers(ini, base, kPrimarySuffix, targets.primary);
    ReadMultipliers(ini, base, kSecondarySuffix, targets.secondary);
}

// The measured hook sequences and their floors, over the minimal engine.
#pragma once

#include <string>

#include "bench_engine.h"

namespace bench {

// The hook tables one sequence calls through: a plug-in's, or its floor.
struct Hooks {
    const enginefuncs_t* enginePre;
    const DLL_FUNCTIONS* gamePre;
    const DLL_FUNCTIONS* gamePost;
};

struct Scene {
    PluginTables kestrum;
    PluginTables hopwick;
    // The plug-ins' tables with every hook replaced by an empty one.
    PluginTables kestrumFloor;
    PluginTables hopwickFloor;
    std::string workDir;   // temporary folder holding the game directory
    std::string iniPath;   // the sample INI inside it, relative to workDir
    std::string copyPath;  // where the plain copy of the INI goes
};

// Makes a temporary folder with "valve/kestrum_mm.ini" (the shipped sample), enters it, loads both plug-ins
// and the floor, registers the game's messages, starts a map and sets up player 1
// holding a weapon with a clip. Then runs every sequence once and checks that it takes
// the path it is meant to measure.
bool SetUpScene(std::string& error);
// Leaves and removes the temporary folder.
void TearDownScene();
Scene& TheScene();

Hooks KestrumHooks();
Hooks KestrumFloor();
Hooks HopwickHooks();
Hooks HopwickFloor();

// 1 and 4b: a message the plug-in does not follow (begin, four integer writes, end).
void OtherMessage(const Hooks& hooks);
// 2: a "CurWeapon" whose clip is one lower than the last one (begin, three writes, end).
void CurWeaponShot(const Hooks& hooks);
// 3: an "AmmoX" that repeats the count the player already has.
void AmmoXUnchanged(const Hooks& hooks);
// 4a: a human player's post-think while no announcement is due.
void PostThinkNotDue(const Hooks& hooks);
// 5: a map start (the world spawns), which loads the configuration.
void MapStart(const Hooks& hooks);
// 5, the comparison: read the INI and write a byte copy beside it, then remove the copy.
bool PlainCopy();

}  // namespace bench

// Configuration of the recoil plug-in: its console variables, the game directory name
// and the switches and multiplier tables read from kestrum_mm.ini at every map start.
#pragma once

#include "config_tables.h"
#include "entities.h"

// Console-variable handles as the engine gives them back (null until registered).
extern cvar_t* g_multiplierCvar;
extern cvar_t* g_debugCvar;

// Switches of the base heading, 1 on and 0 off.
extern int AmmoIdIsFlag;
extern int AllWeaponsClipless;

// Per-weapon multipliers indexed by weapon id; 0.0 means not configured.
extern float g_primaryMultipliers[kMultiplierSlots];
extern float g_secondaryMultipliers[kMultiplierSlots];

// Registers kestrum_multiplier, kestrum_debug and kestrum_version and keeps the handles.
void RegisterConsoleVariables();
// Takes the last component of the engine's game directory as gameDirName.
void ExtractGameDirName();
// Reads the INI file of the game directory into the switches and tables.
void LoadConfiguration();

// The value of kestrum_debug, 0 while it is not registered. Read on every hook call, so
// it stays inline.
inline float DebugLevel() {
    return g_debugCvar != nullptr ? g_debugCvar->value : 0.0f;
}

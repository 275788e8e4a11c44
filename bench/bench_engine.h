// A minimal engine and plug-in manager for measuring hooks: cheap engine stubs, one
// world and 32 player entities, and a loader that runs a plug-in's entry points and
// getters the way the manager does and keeps the hook tables they hand out.
#pragma once

#include <string>

#include "plugin_exports.h"

namespace bench {

constexpr int kPlayers = 32;

// Message ids the engine hands out for the game's messages.
constexpr int kCurWeaponId = 70;
constexpr int kAmmoXId = 71;
constexpr int kWeaponListId = 72;
constexpr int kHealthId = 73;
constexpr int kSetFovId = 74;
constexpr int kMotdId = 75;
constexpr int kServerNameId = 76;

// One plug-in's hook tables as its getters filled them, and its manager globals.
struct PluginTables {
    void* handle = nullptr;
    enginefuncs_t enginePre{};
    enginefuncs_t enginePost{};
    DLL_FUNCTIONS gamePre{};
    DLL_FUNCTIONS gamePost{};
    meta_globals_t globals{};
};

// The engine's state; one instance per process (the stubs are plain functions).
struct World {
    globalvars_t globals{};
    edict_t edicts[kPlayers + 1]{};
    cvar_t multiplier{};
    cvar_t debug{};
    int serverNamesBegun = 0;  // "ServerName" messages a plug-in began
};

World& TheWorld();
edict_t* Player(int index);  // 1..32
edict_t* WorldEntity();

// Loads the library and runs GiveFnptrsToDll, Meta_Query, Meta_Attach and the getters
// listed in META_FUNCTIONS. False with a reason when any step refuses.
bool LoadPlugin(const std::string& path, PluginTables& out, std::string& error);

// Registers the game's messages through the engine-post hooks of the plug-in, as the
// manager does after the engine answered pfnRegUserMsg.
void RegisterGameMessages(PluginTables& plugin);

// A living player standing still, looking along +x.
void ResetPlayer(edict_t* player);

}  // namespace bench

// The floor of the measurements: hooks that do nothing but store their result, built
// as a library of their own so that they are reached the way a plug-in's hooks are.
#include "plugin_exports.h"

namespace {

meta_globals_t* globals = nullptr;

void Ignore() { globals->mres = MRES_IGNORED; }

void MessageBegin(int, int, const float*, edict_t*) { Ignore(); }
void WriteInteger(int) { Ignore(); }
void WriteString(const char*) { Ignore(); }
void MessageEnd() { Ignore(); }
int RegUserMsg(const char*, int) {
    Ignore();
    return 0;
}
int Spawn(edict_t*) {
    Ignore();
    return 0;
}
void EntityCall(edict_t*) { Ignore(); }
void NoArguments() { Ignore(); }

}  // namespace

// Replaces every hook the plug-in set in these slots by an empty one of the same kind,
// so that a measured sequence and its floor make the same calls.
PLUGIN_EXPORT void FloorTables(meta_globals_t* metaGlobals, enginefuncs_t* engine, DLL_FUNCTIONS* game) {
    globals = metaGlobals;
    if (engine->pfnMessageBegin != nullptr) engine->pfnMessageBegin = MessageBegin;
    if (engine->pfnWriteByte != nullptr) engine->pfnWriteByte = WriteInteger;
    if (engine->pfnWriteChar != nullptr) engine->pfnWriteChar = WriteInteger;
    if (engine->pfnWriteShort != nullptr) engine->pfnWriteShort = WriteInteger;
    if (engine->pfnWriteLong != nullptr) engine->pfnWriteLong = WriteInteger;
    if (engine->pfnWriteString != nullptr) engine->pfnWriteString = WriteString;
    if (engine->pfnMessageEnd != nullptr) engine->pfnMessageEnd = MessageEnd;
    if (engine->pfnRegUserMsg != nullptr) engine->pfnRegUserMsg = RegUserMsg;
    if (game->pfnSpawn != nullptr) game->pfnSpawn = Spawn;
    if (game->pfnClientDisconnect != nullptr) game->pfnClientDisconnect = EntityCall;
    if (game->pfnPlayerPostThink != nullptr) game->pfnPlayerPostThink = EntityCall;
    if (game->pfnServerDeactivate != nullptr) game->pfnServerDeactivate = NoArguments;
}

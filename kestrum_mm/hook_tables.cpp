#include "hook_tables.h"

#include "layout_pins.h"
#include "message_capture.h"

namespace {

constexpr enginefuncs_t MakeEnginePreHooks() {
    enginefuncs_t table{};
    table.pfnMessageBegin = HookMessageBegin;
    table.pfnMessageEnd = HookMessageEnd;
    table.pfnWriteByte = HookWriteInteger;
    table.pfnWriteChar = HookWriteInteger;
    table.pfnWriteShort = HookWriteInteger;
    table.pfnWriteLong = HookWriteInteger;
    table.pfnWriteString = HookWriteString;
    return table;
}

constexpr enginefuncs_t MakeEnginePostHooks() {
    enginefuncs_t table{};
    table.pfnRegUserMsg = HookRegUserMsgPost;
    return table;
}

constexpr DLL_FUNCTIONS MakeGamePreHooks() {
    DLL_FUNCTIONS table{};
    table.pfnSpawn = HookSpawn;
    table.pfnClientDisconnect = HookClientDisconnect;
    return table;
}

}  // namespace

// Constant-initialised: the tables are complete before any code of the library runs.
constexpr enginefuncs_t kEnginePreHooks = MakeEnginePreHooks();
constexpr enginefuncs_t kEnginePostHooks = MakeEnginePostHooks();
constexpr DLL_FUNCTIONS kGamePreHooks = MakeGamePreHooks();

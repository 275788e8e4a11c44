// Everything that makes the frame into the bot-fix plug-in: its info record, its frame
// values and the hook tables it hands out.
#include "bot_fix.h"
#include "frame.h"

namespace {

constexpr plugin_info_t MakePluginInfo() {
    plugin_info_t info{};
    info.ifvers = "5:8";
    info.name = "Hopwick Plugin";
    info.version = "1.1";
    info.date = "15.5.2002";
    info.author = "Hopwick Team";
    info.url = "http://hopwick.example.org";
    info.logtag = "Hopwick MM";
    info.loadable = PT_CHANGELEVEL;
    info.unloadable = PT_CHANGELEVEL;
    return info;
}

constexpr enginefuncs_t MakeEnginePre() {
    enginefuncs_t table{};
    table.pfnMessageBegin = &OnMessageBegin;
    table.pfnWriteByte = &OnWriteByte;
    table.pfnMessageEnd = &OnMessageEnd;
    return table;
}

constexpr DLL_FUNCTIONS MakeGamePre() {
    DLL_FUNCTIONS table{};
    table.pfnServerDeactivate = &OnServerDeactivate;
    return table;
}

constexpr DLL_FUNCTIONS MakeGamePost() {
    DLL_FUNCTIONS table{};
    table.pfnPlayerPostThink = &OnPlayerPostThink;
    return table;
}

constexpr enginefuncs_t kEnginePre = MakeEnginePre();
constexpr DLL_FUNCTIONS kGamePre = MakeGamePre();
constexpr DLL_FUNCTIONS kGamePost = MakeGamePost();

constexpr FramePlugin MakeFramePlugin() {
    FramePlugin plugin{};
    plugin.builtinIfvers = "5:8";
    plugin.engineSlots = 144;  // through pfnGetPlayerAuthId
    plugin.adoptNewerMinor = true;
    plugin.afterGiveFnptrs = nullptr;
    plugin.afterAttach = &ClearAnnounceTimes;
    plugin.entityApi2NullText = "GetEntityAPI2 called with null\tpFunctionTable";
    plugin.entityApi2PostNullText = "GetEntityAPI2_Post called with\tnull pFunctionTable";
    plugin.hooks.enginePre = &kEnginePre;
    plugin.hooks.enginePost = nullptr;
    plugin.hooks.gamePre = &kGamePre;
    plugin.hooks.gamePost = &kGamePost;
    return plugin;
}

}  // namespace

plugin_info_t Plugin_info = MakePluginInfo();
const FramePlugin kFramePlugin = MakeFramePlugin();

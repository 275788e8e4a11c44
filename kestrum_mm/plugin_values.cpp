// The values that make the shared frame the recoil plug-in.
#include "config.h"
#include "frame.h"
#include "hook_tables.h"
#include "layout_pins.h"
#include "reload_command.h"

namespace {

// Meta_Attach's own step: the console variables, then the reload command.
void AttachSteps() {
    RegisterConsoleVariables();
    RegisterReloadCommand();
}

constexpr plugin_info_t MakePluginInfo() {
    plugin_info_t info{};
    info.ifvers = "5:6";
    info.name = "Gunkestrum";
    info.version = "1.6";
    info.date = "18.1.2002 (dd.mm.yy)";
    info.author = "Kestrum Team";
    info.url = "http://kestrum.example.org";
    info.logtag = "Kestrum";
    info.loadable = PT_STARTUP;
    info.unloadable = PT_ANYPAUSE;
    return info;
}

constexpr FramePlugin MakeFramePlugin() {
    FramePlugin plugin{};
    plugin.builtinIfvers = "5:6";
    plugin.engineSlots = 143;
    plugin.adoptNewerMinor = false;
    plugin.afterGiveFnptrs = ExtractGameDirName;
    plugin.afterAttach = AttachSteps;
    plugin.entityApi2NullText = "GetEntityAPI2 called with null pFunctionTable";
    plugin.entityApi2PostNullText = nullptr;
    plugin.hooks.enginePre = &kEnginePreHooks;
    plugin.hooks.enginePost = &kEnginePostHooks;
    plugin.hooks.gamePre = &kGamePreHooks;
    plugin.hooks.gamePost = nullptr;
    return plugin;
}

}  // namespace

plugin_info_t Plugin_info = MakePluginInfo();
const FramePlugin kFramePlugin = MakeFramePlugin();

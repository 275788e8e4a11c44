// The plug-in frame shared by both deliverables: entry points, version negotiation,
// banner, server-log output and the hand-over of hook tables. Each deliverable supplies
// its own values (FramePlugin below) from one source file in its own folder.
#pragma once

#include "plugin_exports.h"

// Hook tables a deliverable hands out; a null pointer means it has no such table and
// its getter is not listed in META_FUNCTIONS.
struct FrameHookTables {
    const enginefuncs_t* enginePre;
    const enginefuncs_t* enginePost;
    const DLL_FUNCTIONS* gamePre;
    const DLL_FUNCTIONS* gamePost;
};

struct FramePlugin {
    // Interface version the plug-in was built for: parsed in Meta_Query and reported
    // as "plugvers".
    const char* builtinIfvers;
    // Engine-table slots copied from the engine and handed out in engine hook tables.
    int engineSlots;
    // A host with the same major and a greater minor version: adopt its text as ifvers
    // silently (true) or keep ifvers and warn (false).
    bool adoptNewerMinor;
    // The deliverable's own steps at the end of GiveFnptrsToDll and Meta_Attach (may be null).
    void (*afterGiveFnptrs)();
    void (*afterAttach)();
    // pfnLogError texts for a null table given to GetEntityAPI2 and GetEntityAPI2_Post.
    const char* entityApi2NullText;
    const char* entityApi2PostNullText;
    FrameHookTables hooks;
};

// Defined by each deliverable.
extern plugin_info_t Plugin_info;
extern const FramePlugin kFramePlugin;

// Frame state, set by the entry points and read by the deliverable's code.
extern enginefuncs_t g_engfuncs;  // private copy; slots past engineSlots stay null
extern globalvars_t* gpGlobals;
extern mutil_funcs_t* gpMetaUtilFuncs;
extern meta_globals_t* gpMetaGlobals;
extern gamedll_funcs_t* gpGamedllFuncs;

// Formats into the frame's 1024-character log buffer (longer text is cut) and writes
// it to the server log through pfnAlertMessage(at_logged, "%s", buffer).
void ServerLogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The getter table handed to the host at attach: a getter is listed exactly when the
// deliverable has the hook table it copies out.
META_FUNCTIONS FrameMetaFunctions();

// Date and time at which the deliverable was built ("Jan 18 2002, 16:00:01").
extern const char* const kBuildStamp;

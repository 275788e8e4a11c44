// The plug-in manager's interface: info record, getter table, globals and utility table.
#pragma once

#include <cstdarg>

#include "basic_types.h"
#include "dll_funcs.h"
#include "engine_funcs.h"
#include "entities.h"

enum PLUG_LOADTIME {
    PT_NEVER = 0,
    PT_STARTUP = 1,
    PT_CHANGELEVEL = 2,
    PT_ANYTIME = 3,
    PT_ANYPAUSE = 4,
};

enum PL_UNLOAD_REASON {
    PNL_NULL = 0,
    PNL_INI_DELETED = 1,
    PNL_FILE_NEWER = 2,
    PNL_COMMAND = 3,
    PNL_CMD_FORCED = 4,
    PNL_DELAYED = 5,
    PNL_PLUGIN = 6,
    PNL_PLG_FORCED = 7,
    PNL_RELOAD = 8,
};

enum META_RES {
    MRES_UNSET = 0,
    MRES_IGNORED = 1,
    MRES_HANDLED = 2,
    MRES_OVERRIDE = 3,
    MRES_SUPERCEDE = 4,
};

enum ginfo_t {
    GINFO_NAME = 0,
    GINFO_DESC = 1,
    GINFO_GAMEDIR = 2,
    GINFO_DLL_FULLPATH = 3,
    GINFO_DLL_FILENAME = 4,
    GINFO_REALDLL_FULLPATH = 5,
};

// Interface version of the current plug-in manager.
constexpr const char* META_INTERFACE_VERSION = "5:13";

struct plugin_info_t {
    const char* ifvers;
    const char* name;
    const char* version;
    const char* date;
    const char* author;
    const char* url;
    const char* logtag;
    PLUG_LOADTIME loadable;
    PLUG_LOADTIME unloadable;
};
typedef plugin_info_t* plid_t;

struct meta_globals_t {
    META_RES mres;
    META_RES prev_mres;
    META_RES status;
    void* orig_ret;
    void* override_ret;
};

struct gamedll_funcs_t {
    DLL_FUNCTIONS* dllapi_table;
    NEW_DLL_FUNCTIONS* newapi_table;
};

struct hudtextparms_t {
    float x;
    float y;
    int effect;
    byte r1;
    byte g1;
    byte b1;
    byte a1;
    byte r2;
    byte g2;
    byte b2;
    byte a2;
    float fadeinTime;
    float fadeoutTime;
    float holdTime;
    float fxTime;
    int channel;
};

typedef int (*GETENTITYAPI_FN)(DLL_FUNCTIONS* pFunctionTable, int interfaceVersion);
typedef int (*GETENTITYAPI2_FN)(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
typedef int (*GETNEWDLLFUNCTIONS_FN)(NEW_DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion);
typedef int (*GET_ENGINE_FUNCTIONS_FN)(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion);

struct META_FUNCTIONS {
    GETENTITYAPI_FN pfnGetEntityAPI;
    GETENTITYAPI_FN pfnGetEntityAPI_Post;
    GETENTITYAPI2_FN pfnGetEntityAPI2;
    GETENTITYAPI2_FN pfnGetEntityAPI2_Post;
    GETNEWDLLFUNCTIONS_FN pfnGetNewDLLFunctions;
    GETNEWDLLFUNCTIONS_FN pfnGetNewDLLFunctions_Post;
    GET_ENGINE_FUNCTIONS_FN pfnGetEngineFunctions;
    GET_ENGINE_FUNCTIONS_FN pfnGetEngineFunctions_Post;
};
constexpr int META_FUNCTIONS_SLOTS = 8;

struct mutil_funcs_t {
    void (*pfnLogConsole)(plid_t plid, const char* fmt, ...);
    void (*pfnLogMessage)(plid_t plid, const char* fmt, ...);
    void (*pfnLogError)(plid_t plid, const char* fmt, ...);
    void (*pfnLogDeveloper)(plid_t plid, const char* fmt, ...);
    void (*pfnCenterSay)(plid_t plid, const char* fmt, ...);
    void (*pfnCenterSayParms)(plid_t plid, hudtextparms_t tparms, const char* fmt, ...);
    void (*pfnCenterSayVarargs)(plid_t plid, hudtextparms_t tparms, const char* fmt, va_list ap);
    int (*pfnCallGameEntity)(plid_t plid, const char* entStr, entvars_t* pev);
    int (*pfnGetUserMsgID)(plid_t plid, const char* msgname, int* size);
    const char* (*pfnGetUserMsgName)(plid_t plid, int msgid, int* size);
    const char* (*pfnGetPluginPath)(plid_t plid);
    const char* (*pfnGetGameInfo)(plid_t plid, ginfo_t tag);
    int (*pfnLoadPlugin)(plid_t plid, const char* cmdline, PLUG_LOADTIME now, void** plugin_handle);
    int (*pfnUnloadPlugin)(plid_t plid, const char* cmdline, PLUG_LOADTIME now, PL_UNLOAD_REASON reason);
    int (*pfnUnloadPluginByHandle)(plid_t plid, void* plugin_handle, PLUG_LOADTIME now,
                                   PL_UNLOAD_REASON reason);
    const char* (*pfnIsQueryingClientCvar)(plid_t plid, const edict_t* player);
    int (*pfnMakeRequestID)(plid_t plid);
    void (*pfnGetHookTables)(plid_t plid, enginefuncs_t** peng, DLL_FUNCTIONS** pdll,
                             NEW_DLL_FUNCTIONS** pnewdll);
};
constexpr int MUTIL_FUNCS_SLOTS = 18;

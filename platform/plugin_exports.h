// Signatures of the functions a plug-in exports to the plug-in manager, and the
// attributes that make them reachable under their plain names.
#pragma once

#include "dll_funcs.h"
#include "engine_funcs.h"
#include "entities.h"
#include "metamod_api.h"

// The engine hands over its table through a stdcall function on Windows; everything
// else is cdecl on every platform.
#if defined(_WIN32)
#define ENGINE_STDCALL __stdcall
#define PLUGIN_EXPORT extern "C"
#else
#define ENGINE_STDCALL
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef void(ENGINE_STDCALL* GIVE_ENGINE_FUNCTIONS_FN)(enginefuncs_t* pengfuncsFromEngine,
                                                       globalvars_t* pGlobals);
typedef int (*META_QUERY_FN)(const char* interfaceVersion, plugin_info_t** pinfo,
                             mutil_funcs_t* pMetaUtilFuncs);
typedef int (*META_ATTACH_FN)(PLUG_LOADTIME now, META_FUNCTIONS* pFunctionTable,
                              meta_globals_t* pMGlobals, gamedll_funcs_t* pGamedllFuncs);
typedef int (*META_DETACH_FN)(PLUG_LOADTIME now, PL_UNLOAD_REASON reason);

// The recoil plug-in's hook tables: only its own hooks are set, every other slot is null.
#pragma once

#include "dll_funcs.h"
#include "engine_funcs.h"

extern const enginefuncs_t kEnginePreHooks;
extern const enginefuncs_t kEnginePostHooks;
extern const DLL_FUNCTIONS kGamePreHooks;

// Getters through which the plug-in manager collects the deliverable's hook tables,
// and the getter table (META_FUNCTIONS) that lists those the deliverable has.
#include <cstring>

#include "frame.h"

namespace {

// Engine tables: the pre and post getters check alike and both log under the pre name.
int CopyEngineTable(const enginefuncs_t* table, enginefuncs_t* pengfuncsFromEngine,
                    int* interfaceVersion) {
    if (pengfuncsFromEngine == nullptr) {
        ServerLogPrintf("%s: GetEngineFunctions called with null pengfuncsFromEngine",
                        Plugin_info.logtag);
        return 0;
    }
    if (interfaceVersion == nullptr) {
        return 0;
    }
    if (*interfaceVersion != ENGINE_INTERFACE_VERSION) {
        ServerLogPrintf("%s: GetEngineFunctions version mismatch; requested=%d ours=%d",
                        Plugin_info.logtag, *interfaceVersion, ENGINE_INTERFACE_VERSION);
        *interfaceVersion = ENGINE_INTERFACE_VERSION;
        return 0;
    }
    if (table == nullptr) {
        return 0;
    }
    std::memcpy(pengfuncsFromEngine, table,
                static_cast<std::size_t>(kFramePlugin.engineSlots) * sizeof(void*));
    return 1;
}

struct EntityGetterTexts {
    const char* calledFormat;
    const char* mismatchFormat;
    const char* nullTableText;
};

int CopyGameTable(const DLL_FUNCTIONS* table, DLL_FUNCTIONS* pFunctionTable,
                  int* interfaceVersion, const EntityGetterTexts& texts) {
    if (interfaceVersion == nullptr) {
        return 0;
    }
    plid_t plid = &Plugin_info;
    gpMetaUtilFuncs->pfnLogDeveloper(plid, texts.calledFormat, *interfaceVersion);
    if (pFunctionTable == nullptr) {
        gpMetaUtilFuncs->pfnLogError(plid, texts.nullTableText);
        return 0;
    }
    if (*interfaceVersion != INTERFACE_VERSION) {
        gpMetaUtilFuncs->pfnLogError(plid, texts.mismatchFormat, *interfaceVersion,
                                     INTERFACE_VERSION);
        *interfaceVersion = INTERFACE_VERSION;
        return 0;
    }
    if (table == nullptr) {
        return 0;
    }
    std::memcpy(pFunctionTable, table, sizeof(DLL_FUNCTIONS));
    return 1;
}

}  // namespace

PLUGIN_EXPORT int GetEngineFunctions(enginefuncs_t* pengfuncsFromEngine, int* interfaceVersion) {
    return CopyEngineTable(kFramePlugin.hooks.enginePre, pengfuncsFromEngine, interfaceVersion);
}

PLUGIN_EXPORT int GetEngineFunctions_Post(enginefuncs_t* pengfuncsFromEngine,
                                          int* interfaceVersion) {
    return CopyEngineTable(kFramePlugin.hooks.enginePost, pengfuncsFromEngine, interfaceVersion);
}

PLUGIN_EXPORT int GetEntityAPI2(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion) {
    const EntityGetterTexts texts = {"called: GetEntityAPI2; version=%d",
                                     "GetEntityAPI2 version mismatch; requested=%d ours=%d",
                                     kFramePlugin.entityApi2NullText};
    return CopyGameTable(kFramePlugin.hooks.gamePre, pFunctionTable, interfaceVersion, texts);
}

PLUGIN_EXPORT int GetEntityAPI2_Post(DLL_FUNCTIONS* pFunctionTable, int* interfaceVersion) {
    const EntityGetterTexts texts = {"called: GetEntityAPI2_Post; version=%d",
                                     "GetEntityAPI2_Post version mismatch; requested=%d ours=%d",
                                     kFramePlugin.entityApi2PostNullText};
    return CopyGameTable(kFramePlugin.hooks.gamePost, pFunctionTable, interfaceVersion, texts);
}

META_FUNCTIONS FrameMetaFunctions() {
    META_FUNCTIONS functions{};
    if (kFramePlugin.hooks.gamePre != nullptr) {
        functions.pfnGetEntityAPI2 = &GetEntityAPI2;
    }
    if (kFramePlugin.hooks.gamePost != nullptr) {
        functions.pfnGetEntityAPI2_Post = &GetEntityAPI2_Post;
    }
    if (kFramePlugin.hooks.enginePre != nullptr) {
        functions.pfnGetEngineFunctions = &GetEngineFunctions;
    }
    if (kFramePlugin.hooks.enginePost != nullptr) {
        functions.pfnGetEngineFunctions_Post = &GetEngineFunctions_Post;
    }
    return functions;
}

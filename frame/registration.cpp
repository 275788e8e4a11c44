// Entry points through which the plug-in manager binds the plug-in: engine table
// hand-over, interface-version negotiation, attach with banner, detach, and the
// server-log function.
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame.h"
#include "layout_pins.h"

enginefuncs_t g_engfuncs;
globalvars_t* gpGlobals = nullptr;
mutil_funcs_t* gpMetaUtilFuncs = nullptr;
meta_globals_t* gpMetaGlobals = nullptr;
gamedll_funcs_t* gpGamedllFuncs = nullptr;

// GCC takes both from SOURCE_DATE_EPOCH when it is set, so a rebuild is reproducible.
const char* const kBuildStamp = __DATE__ ", " __TIME__;

namespace {

constexpr std::size_t kLogBufferSize = 1024;
char logBuffer[kLogBufferSize];

// The interface-version text adopted from a newer host, owned until unload.
char* adoptedIfvers = nullptr;

// Releases the adopted text when the library is unloaded.
struct AdoptedIfversOwner {
    ~AdoptedIfversOwner() {
        if (adoptedIfvers != nullptr && Plugin_info.ifvers == adoptedIfvers) {
            Plugin_info.ifvers = kFramePlugin.builtinIfvers;
        }
        std::free(adoptedIfvers);
        adoptedIfvers = nullptr;
    }
};
AdoptedIfversOwner adoptedIfversOwner;

// Reads one decimal integer the way "%d" does (leading blanks, optional sign, digits);
// a value out of range saturates instead of overflowing. Returns the character after
// the number, or null when there is no number.
const char* ReadDecimal(const char* text, int& value) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    if (*text < '0' || *text > '9') {
        return nullptr;
    }
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) {
            magnitude = magnitude * 10 + (*text - '0');
        }
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) {
        signedValue = INT_MAX;
    } else if (signedValue < INT_MIN) {
        signedValue = INT_MIN;
    }
    value = static_cast<int>(signedValue);
    return text;
}

// "major:minor"; a part that does not parse leaves its integer alone.
void ParseVersion(const char* text, int& major, int& minor) {
    const char* rest = ReadDecimal(text, major);
    if (rest != nullptr && *rest == ':') {
        ReadDecimal(rest + 1, minor);
    }
}

// Replaces ifvers by a copy of the host's text; the copy it replaces is released.
void AdoptHostVersion(const char* hostVersion) {
    std::size_t length = std::strlen(hostVersion) + 1;
    char* copy = static_cast<char*>(std::malloc(length));
    if (copy == nullptr) {
        return;
    }
    std::memcpy(copy, hostVersion, length);
    Plugin_info.ifvers = copy;
    std::free(adoptedIfvers);
    adoptedIfvers = copy;
}

// Refusals of Meta_Attach and Meta_Detach go through the utility table kept by Meta_Query.
void LogError(const char* text) {
    if (gpMetaUtilFuncs != nullptr) {
        gpMetaUtilFuncs->pfnLogError(&Plugin_info, text);
    }
}

bool DeveloperMode() {
    // Truncated toward zero, the value is non-zero exactly when its magnitude reaches 1.
    float developer = g_engfuncs.pfnCVarGetFloat("developer");
    return developer >= 1.0f || developer <= -1.0f;
}

}  // namespace

void ServerLogPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(logBuffer, sizeof logBuffer, format, args);
    va_end(args);
    if (g_engfuncs.pfnAlertMessage != nullptr) {
        g_engfuncs.pfnAlertMessage(at_logged, "%s", logBuffer);
    }
}

PLUGIN_EXPORT void ENGINE_STDCALL GiveFnptrsToDll(enginefuncs_t* pengfuncsFromEngine,
                                                  globalvars_t* pGlobals) {
    if (pengfuncsFromEngine != nullptr) {
        std::memcpy(&g_engfuncs, pengfuncsFromEngine,
                    static_cast<std::size_t>(kFramePlugin.engineSlots) * sizeof(void*));
    }
    gpGlobals = pGlobals;
    ServerLogPrintf("[%s] dev: called: GiveFnptrsToDll\n", Plugin_info.logtag);
    if (kFramePlugin.afterGiveFnptrs != nullptr) {
        kFramePlugin.afterGiveFnptrs();
    }
}

PLUGIN_EXPORT int Meta_Query(const char* interfaceVersion, plugin_info_t** pinfo,
                             mutil_funcs_t* pMetaUtilFuncs) {
    const char* hostVersion = interfaceVersion != nullptr ? interfaceVersion : "";
    if (DeveloperMode()) {
        ServerLogPrintf("[%s] dev: called: Meta_Query; version=%s, ours=%s\n",
                        Plugin_info.logtag, hostVersion, Plugin_info.ifvers);
    }
    if (pMetaUtilFuncs == nullptr) {
        ServerLogPrintf("[%s] ERROR: Meta_Query called with null pMetaUtilFuncs\n",
                        Plugin_info.logtag);
        return 0;
    }
    gpMetaUtilFuncs = pMetaUtilFuncs;
    if (pinfo != nullptr) {
        *pinfo = &Plugin_info;
    }
    if (std::strcmp(hostVersion, Plugin_info.ifvers) == 0) {
        return 1;
    }

    int mmajor = 0;
    int mminor = 0;
    int pmajor = 0;
    int pminor = 0;
    ParseVersion(hostVersion, mmajor, mminor);
    ParseVersion(kFramePlugin.builtinIfvers, pmajor, pminor);

    const bool newerMinor = pmajor == mmajor && pminor < mminor;
    if (newerMinor && kFramePlugin.adoptNewerMinor) {
        AdoptHostVersion(hostVersion);
        return 1;
    }
    plid_t plid = &Plugin_info;
    gpMetaUtilFuncs->pfnLogMessage(plid, "WARNING: meta-interface version mismatch; requested=%s ours=%s",
                                   hostVersion, Plugin_info.ifvers);
    if (pmajor > mmajor || (pmajor == mmajor && pminor > mminor)) {
        gpMetaUtilFuncs->pfnLogError(plid, "metamod version is too old for this plugin; update metamod");
        return 0;
    }
    if (pmajor < mmajor) {
        gpMetaUtilFuncs->pfnLogError(plid, "metamod version is incompatible with this plugin; "
                                           "please find a newer version of this plugin");
        return 0;
    }
    if (newerMinor) {
        gpMetaUtilFuncs->pfnLogMessage(plid, "WARNING: metamod version is newer than expected; "
                                             "consider finding a newer version of this plugin");
        return 1;
    }
    gpMetaUtilFuncs->pfnLogError(plid, "unexpected version comparison; metavers=%s, mmajor=%d, "
                                       "mminor=%d; plugvers=%s, pmajor=%d, pminor=%d",
                                 hostVersion, mmajor, mminor, kFramePlugin.builtinIfvers,
                                 pmajor, pminor);
    return 1;
}

PLUGIN_EXPORT int Meta_Attach(PLUG_LOADTIME now, META_FUNCTIONS* pFunctionTable,
                              meta_globals_t* pMGlobals, gamedll_funcs_t* pGamedllFuncs) {
    if (now > Plugin_info.loadable) {
        LogError("Can't load plugin right now");
        return 0;
    }
    if (pMGlobals == nullptr) {
        LogError("Meta_Attach called with null pMGlobals");
        return 0;
    }
    gpMetaGlobals = pMGlobals;
    if (pFunctionTable == nullptr) {
        LogError("Meta_Attach called with null pFunctionTable");
        return 0;
    }
    *pFunctionTable = FrameMetaFunctions();
    gpGamedllFuncs = pGamedllFuncs;
    plid_t plid = &Plugin_info;
    gpMetaUtilFuncs->pfnLogMessage(plid, "%s v%s, %s", Plugin_info.name, Plugin_info.version,
                                   Plugin_info.date);
    gpMetaUtilFuncs->pfnLogMessage(plid, "by %s", Plugin_info.author);
    gpMetaUtilFuncs->pfnLogMessage(plid, "   %s", Plugin_info.url);
    gpMetaUtilFuncs->pfnLogMessage(plid, "compiled: %s EET", kBuildStamp);
    if (kFramePlugin.afterAttach != nullptr) {
        kFramePlugin.afterAttach();
    }
    return 1;
}

PLUGIN_EXPORT int Meta_Detach(PLUG_LOADTIME now, PL_UNLOAD_REASON reason) {
    if (now > Plugin_info.unloadable && reason != PNL_CMD_FORCED) {
        LogError("Can't unload plugin right now");
        return 0;
    }
    return 1;
}

#if defined(_WIN32)
// The library's load and unload entry routine: nothing to do for any reason.
extern "C" int __stdcall DllMain(void* /*instance*/, unsigned long /*reason*/, void* /*reserved*/) {
    return 1;
}
#endif

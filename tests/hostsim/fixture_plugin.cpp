// A tiny plug-in for the simulated host's own tests. It hooks a few engine and game
// calls and writes a server-log line from each hook, so that a transcript shows what
// reached it and in which order.
//
// Its behaviour is chosen by the engine cvar "fixture_options" (read when the engine
// table arrives): blank-separated words
//   ifvers=A:B   interface version it claims (default "5:13")
//   query=N      Meta_Query answers N          noinfo   Meta_Query gives no info
//   attach=N     Meta_Attach answers N         detach=N Meta_Detach answers N
//   fail         every getter answers 0 (after filling its table)
//   api1         lists GetEntityAPI/_Post instead of GetEntityAPI2/_Post
//   unset        hooks leave mres unset        supercede  the pre pfnSpawn hook supercedes
//   echo         the pre pfnMessageBegin hook sends its own "FixtureMsg" first
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "layout_pins.h"
#include "plugin_exports.h"

namespace {

enginefuncs_t g_eng;
globalvars_t* g_globals = nullptr;
mutil_funcs_t* g_util = nullptr;
meta_globals_t* g_meta = nullptr;
char g_options[256];
char g_ifvers[32] = "5:13";
int g_fixtureMsgId = 0;

plugin_info_t g_info = {g_ifvers, "Fixture", "1.0", "today", "tests", "none", "Fixture",
                        PT_ANYTIME, PT_ANYTIME};

bool Has(const char* word) {
    const std::size_t n = std::strlen(word);
    for (const char* p = g_options; (p = std::strstr(p, word)) != nullptr; p += n) {
        const bool startOk = p == g_options || p[-1] == ' ';
        const char end = p[n];
        if (startOk && (end == '\0' || end == ' ' || end == '=')) return true;
    }
    return false;
}

int Number(const char* word, int fallback) {
    char key[32];
    std::snprintf(key, sizeof key, "%s=", word);
    const char* p = std::strstr(g_options, key);
    return p != nullptr ? std::atoi(p + std::strlen(key)) : fallback;
}

void Log(const char* text) { g_eng.pfnAlertMessage(at_logged, "[Fixture] %s\n", text); }

void SetResult(META_RES result) {
    if (!Has("unset")) g_meta->mres = result;
}

int Index(const edict_t* e) { return e != nullptr ? g_eng.pfnIndexOfEdict(e) : -1; }

// ---- hooks ----
void PreMessageBegin(int dest, int type, const float*, edict_t* target) {
    char line[128];
    std::snprintf(line, sizeof line, "pre pfnMessageBegin dest=%d type=%d target=%d", dest, type,
                  Index(target));
    Log(line);
    if (Has("echo") && g_fixtureMsgId != 0) {
        g_eng.pfnMessageBegin(dest, g_fixtureMsgId, nullptr, target);
        g_eng.pfnWriteByte(7);
        g_eng.pfnMessageEnd();
    }
    SetResult(MRES_IGNORED);
}
void PreWriteByte(int value) {
    char line[64];
    std::snprintf(line, sizeof line, "pre pfnWriteByte %d", value);
    Log(line);
    SetResult(MRES_IGNORED);
}
void PreMessageEnd() {
    Log("pre pfnMessageEnd");
    SetResult(MRES_IGNORED);
}
int PostRegUserMsg(const char* name, int size) {
    char line[128];
    const int id = *static_cast<int*>(g_meta->orig_ret);
    std::snprintf(line, sizeof line, "post pfnRegUserMsg %s %d -> %d", name, size, id);
    Log(line);
    SetResult(MRES_IGNORED);
    return 0;
}
int PreSpawn(edict_t* e) {
    char line[128];
    std::snprintf(line, sizeof line, "pre pfnSpawn %s", g_globals->pStringBase + e->v.classname);
    Log(line);
    if (Has("supercede")) {
        g_meta->mres = MRES_SUPERCEDE;
        return 7;
    }
    SetResult(MRES_IGNORED);
    return 0;
}
int PostSpawn(edict_t* e) {
    char line[128];
    std::snprintf(line, sizeof line, "post pfnSpawn %s -> %d", g_globals->pStringBase + e->v.classname,
                  *static_cast<int*>(g_meta->orig_ret));
    Log(line);
    SetResult(MRES_IGNORED);
    return 0;
}
void LogEntityCall(const char* what, edict_t* e) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %d flags=%d", what, Index(e), e->v.flags);
    Log(line);
    SetResult(MRES_IGNORED);
}
int PreClientConnect(edict_t* e, const char*, const char*, char*) {
    LogEntityCall("pre pfnClientConnect", e);
    return 0;
}
void PreClientPutInServer(edict_t* e) {
    LogEntityCall("pre pfnClientPutInServer", e);
    // Sent from inside ClientPutInServer: the engine discards it.
    if (g_fixtureMsgId != 0) {
        g_eng.pfnMessageBegin(MSG_ONE, g_fixtureMsgId, nullptr, e);
        g_eng.pfnWriteByte(1);
        g_eng.pfnMessageEnd();
    }
}
void PreClientDisconnect(edict_t* e) { LogEntityCall("pre pfnClientDisconnect", e); }
void PrePlayerPostThink(edict_t* e) { LogEntityCall("pre pfnPlayerPostThink", e); }
void PreServerDeactivate() {
    Log("pre pfnServerDeactivate");
    SetResult(MRES_IGNORED);
}

constexpr enginefuncs_t EnginePre() {
    enginefuncs_t t{};
    t.pfnMessageBegin = &PreMessageBegin;
    t.pfnWriteByte = &PreWriteByte;
    t.pfnMessageEnd = &PreMessageEnd;
    return t;
}
constexpr enginefuncs_t EnginePost() {
    enginefuncs_t t{};
    t.pfnRegUserMsg = &PostRegUserMsg;
    return t;
}
constexpr DLL_FUNCTIONS GamePre() {
    DLL_FUNCTIONS t{};
    t.pfnSpawn = &PreSpawn;
    t.pfnClientConnect = &PreClientConnect;
    t.pfnClientPutInServer = &PreClientPutInServer;
    t.pfnClientDisconnect = &PreClientDisconnect;
    t.pfnPlayerPostThink = &PrePlayerPostThink;
    t.pfnServerDeactivate = &PreServerDeactivate;
    return t;
}
constexpr DLL_FUNCTIONS GamePost() {
    DLL_FUNCTIONS t{};
    t.pfnSpawn = &PostSpawn;
    return t;
}
constexpr enginefuncs_t kEnginePre = EnginePre();
constexpr enginefuncs_t kEnginePost = EnginePost();
constexpr DLL_FUNCTIONS kGamePre = GamePre();
constexpr DLL_FUNCTIONS kGamePost = GamePost();

// Getters: report the buffer they were given (usable size, all zero or not) and the
// version asked for, then fill it.
template <typename Table>
void ReportBuffer(const char* getter, const Table* table, int version) {
    bool zero = true;
    const auto* bytes = reinterpret_cast<const unsigned char*>(table);
    for (std::size_t i = 0; i < sizeof(Table); ++i) zero = zero && bytes[i] == 0;
    char line[160];
    std::snprintf(line, sizeof line, "%s version=%d size=%zu zeroed=%d", getter, version,
                  malloc_usable_size(const_cast<Table*>(table)), zero ? 1 : 0);
    Log(line);
}

int Answer() { return Has("fail") ? 0 : 1; }

int GetEngineFunctions(enginefuncs_t* table, int* version) {
    ReportBuffer("GetEngineFunctions", table, *version);
    *table = kEnginePre;
    return Answer();
}
int GetEngineFunctionsPost(enginefuncs_t* table, int* version) {
    ReportBuffer("GetEngineFunctions_Post", table, *version);
    *table = kEnginePost;
    return Answer();
}
int GetEntityAPI2(DLL_FUNCTIONS* table, int* version) {
    ReportBuffer("GetEntityAPI2", table, *version);
    *table = kGamePre;
    return Answer();
}
int GetEntityAPI2Post(DLL_FUNCTIONS* table, int* version) {
    ReportBuffer("GetEntityAPI2_Post", table, *version);
    *table = kGamePost;
    return Answer();
}
int GetEntityAPI(DLL_FUNCTIONS* table, int version) {
    ReportBuffer("GetEntityAPI", table, version);
    *table = kGamePre;
    return Answer();
}
int GetEntityAPIPost(DLL_FUNCTIONS* table, int version) {
    ReportBuffer("GetEntityAPI_Post", table, version);
    *table = kGamePost;
    return Answer();
}
int GetNewDLLFunctions(NEW_DLL_FUNCTIONS* table, int* version) {
    ReportBuffer("GetNewDLLFunctions", table, *version);
    return Answer();
}

// ---- server commands ----
cvar_t g_cvar = {"fixture_value", "1", FCVAR_EXTDLL, 0.0f, nullptr};

void CommandReport() {
    char line[160];
    const cvar_t* engine = g_eng.pfnCVarGetPointer("fixture_value");
    std::snprintf(line, sizeof line, "own=%s/%g engine=%s/%g float=%g", g_cvar.string,
                  static_cast<double>(g_cvar.value), engine != nullptr ? engine->string : "(none)",
                  engine != nullptr ? static_cast<double>(engine->value) : 0.0,
                  static_cast<double>(g_eng.pfnCVarGetFloat("fixture_value")));
    Log(line);
}
void CommandMsgId() {
    char line[128];
    int size = -99;
    const char* name = g_eng.pfnCmd_Argv(1);
    const int id = g_util->pfnGetUserMsgID(&g_info, name, &size);
    std::snprintf(line, sizeof line, "msgid %s=%d size=%d", name, id, size);
    Log(line);
}
void CommandLog() {
    g_util->pfnLogMessage(&g_info, "message %d", 1);
    g_util->pfnLogError(&g_info, "error %s", "two");
    g_util->pfnLogDeveloper(&g_info, "developer %c", '3');
}
void CommandUnexpected() { g_eng.pfnPrecacheModel("models/none.mdl"); }
void CommandSend() {
    g_eng.pfnMessageBegin(MSG_ONE, g_fixtureMsgId, nullptr,
                          g_eng.pfnPEntityOfEntIndex(std::atoi(g_eng.pfnCmd_Argv(1))));
    g_eng.pfnWriteByte(5);
    g_eng.pfnMessageEnd();
}

}  // namespace

// The plug-in's own cvar record, for tests that compare it with the engine's.
PLUGIN_EXPORT cvar_t* Fixture_OwnCvar() { return &g_cvar; }

PLUGIN_EXPORT void GiveFnptrsToDll(enginefuncs_t* engine, globalvars_t* globals) {
    std::memcpy(&g_eng, engine, sizeof g_eng);
    g_globals = globals;
    std::snprintf(g_options, sizeof g_options, "%s", g_eng.pfnCVarGetString("fixture_options"));
    const char* ifvers = std::strstr(g_options, "ifvers=");
    if (ifvers != nullptr) std::sscanf(ifvers + 7, "%31[^ ]", g_ifvers);
    Log("GiveFnptrsToDll");
}

PLUGIN_EXPORT int Meta_Query(const char* ifvers, plugin_info_t** info, mutil_funcs_t* util) {
    char line[96];
    std::snprintf(line, sizeof line, "Meta_Query %s util=%d", ifvers, util != nullptr ? 1 : 0);
    Log(line);
    g_util = util;
    if (!Has("noinfo")) *info = &g_info;
    return Number("query", 1);
}

PLUGIN_EXPORT int Meta_Attach(PLUG_LOADTIME now, META_FUNCTIONS* functions, meta_globals_t* globals,
                              gamedll_funcs_t*) {
    bool zero = true;
    const auto* bytes = reinterpret_cast<const unsigned char*>(functions);
    for (std::size_t i = 0; i < sizeof *functions; ++i) zero = zero && bytes[i] == 0;
    char line[96];
    std::snprintf(line, sizeof line, "Meta_Attach now=%d zeroed=%d msgid CurWeapon=%d", now,
                  zero ? 1 : 0,
                  g_util != nullptr ? g_util->pfnGetUserMsgID(&g_info, "CurWeapon", nullptr) : -1);
    Log(line);
    g_meta = globals;
    if (Has("api1")) {
        functions->pfnGetEntityAPI = &GetEntityAPI;
        functions->pfnGetEntityAPI_Post = &GetEntityAPIPost;
    } else {
        functions->pfnGetEntityAPI2 = &GetEntityAPI2;
        functions->pfnGetEntityAPI2_Post = &GetEntityAPI2Post;
    }
    functions->pfnGetNewDLLFunctions = &GetNewDLLFunctions;
    functions->pfnGetEngineFunctions = &GetEngineFunctions;
    functions->pfnGetEngineFunctions_Post = &GetEngineFunctionsPost;
    g_eng.pfnCVarRegister(&g_cvar);
    g_fixtureMsgId = g_eng.pfnRegUserMsg("FixtureMsg", -1);
    g_eng.pfnAddServerCommand("fixture_report", &CommandReport);
    g_eng.pfnAddServerCommand("fixture_msgid", &CommandMsgId);
    g_eng.pfnAddServerCommand("fixture_log", &CommandLog);
    g_eng.pfnAddServerCommand("fixture_unexpected", &CommandUnexpected);
    g_eng.pfnAddServerCommand("fixture_send", &CommandSend);
    return Number("attach", 1);
}

PLUGIN_EXPORT int Meta_Detach(PLUG_LOADTIME now, PL_UNLOAD_REASON reason) {
    char line[64];
    std::snprintf(line, sizeof line, "Meta_Detach now=%d reason=%d", now, reason);
    Log(line);
    return Number("detach", 1);
}

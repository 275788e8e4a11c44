#include "bench_engine.h"

#include <dlfcn.h>

#include <cstring>

#include "layout_pins.h"

namespace bench {
namespace {

World world;

// Entity names live here; a classname is an offset into it.
const char kStrings[] = "\0worldspawn\0player";
constexpr string_t kWorldspawnName = 1;
constexpr string_t kPlayerName = 12;

// ---- engine stubs: only what the entry points and the measured hooks call ----
void AlertMessage(ALERT_TYPE, const char*, ...) {}
void CVarRegister(cvar_t*) {}
float CVarGetFloat(const char*) { return 0.0f; }
const char* CVarGetString(const char*) { return "Bench server"; }
cvar_t* CVarGetPointer(const char* name) {
    if (std::strcmp(name, "kestrum_multiplier") == 0) return &world.multiplier;
    if (std::strcmp(name, "kestrum_debug") == 0) return &world.debug;
    return nullptr;
}
void GetGameDir(char* out) { std::strcpy(out, "valve"); }
int IndexOfEdict(const edict_t* e) { return static_cast<int>(e - world.edicts); }
int GetPlayerUserId(edict_t* e) {
    const int index = IndexOfEdict(e);
    return index >= 1 && index <= kPlayers ? 100 + index : -1;
}
void MakeVectors(const float*) { world.globals.v_forward = {1.0f, 0.0f, 0.0f}; }
int RegUserMsg(const char*, int) { return kServerNameId; }
void MessageBegin(int, int type, const float*, edict_t*) {
    if (type == kServerNameId) ++world.serverNamesBegun;
}
void MessageEnd() {}
void WriteString(const char*) {}

// ---- utility table stubs ----
void LogAny(plid_t, const char*, ...) {}
struct MessageName {
    const char* name;
    int id;
};
constexpr MessageName kGameMessages[] = {
    {"CurWeapon", kCurWeaponId}, {"AmmoX", kAmmoXId}, {"WeaponList", kWeaponListId},
    {"Health", kHealthId},       {"SetFOV", kSetFovId}, {"MOTD", kMotdId},
};
int GetUserMsgID(plid_t, const char* name, int* size) {
    if (size != nullptr) *size = -1;
    for (const MessageName& m : kGameMessages) {
        if (std::strcmp(name, m.name) == 0) return m.id;
    }
    return 0;
}

constexpr enginefuncs_t MakeEngineTable() {
    enginefuncs_t t{};
    t.pfnAlertMessage = AlertMessage;
    t.pfnCVarRegister = CVarRegister;
    t.pfnCVarGetFloat = CVarGetFloat;
    t.pfnCVarGetString = CVarGetString;
    t.pfnCVarGetPointer = CVarGetPointer;
    t.pfnGetGameDir = GetGameDir;
    t.pfnIndexOfEdict = IndexOfEdict;
    t.pfnGetPlayerUserId = GetPlayerUserId;
    t.pfnMakeVectors = MakeVectors;
    t.pfnRegUserMsg = RegUserMsg;
    t.pfnMessageBegin = MessageBegin;
    t.pfnMessageEnd = MessageEnd;
    t.pfnWriteString = WriteString;
    return t;
}

constexpr mutil_funcs_t MakeUtilTable() {
    mutil_funcs_t u{};
    u.pfnLogConsole = LogAny;
    u.pfnLogMessage = LogAny;
    u.pfnLogError = LogAny;
    u.pfnLogDeveloper = LogAny;
    u.pfnGetUserMsgID = GetUserMsgID;
    return u;
}

// Each plug-in copies the engine table it is given at GiveFnptrsToDll.
enginefuncs_t engineTable = MakeEngineTable();
mutil_funcs_t utilTable = MakeUtilTable();

void SetUpWorld() {
    static bool done = false;
    if (done) return;
    done = true;
    world.globals.deathmatch = 1.0f;
    world.globals.maxClients = kPlayers;
    world.globals.time = 1.0f;
    world.globals.pStringBase = kStrings;
    world.edicts[0].v.classname = kWorldspawnName;
    for (int i = 1; i <= kPlayers; ++i) {
        world.edicts[i].v.classname = kPlayerName;
        ResetPlayer(&world.edicts[i]);
    }
    world.multiplier.name = "kestrum_multiplier";
    world.multiplier.string = "1";
    world.multiplier.value = 1.0f;
    world.debug.name = "kestrum_debug";
    world.debug.string = "0";
    world.debug.value = 0.0f;
}

template <typename F>
F Symbol(void* handle, const char* name) {
    return reinterpret_cast<F>(dlsym(handle, name));
}

}  // namespace

World& TheWorld() {
    SetUpWorld();
    return world;
}

edict_t* Player(int index) { return &TheWorld().edicts[index]; }
edict_t* WorldEntity() { return &TheWorld().edicts[0]; }

void ResetPlayer(edict_t* player) {
    entvars_t& v = player->v;
    v.health = 100.0f;
    v.deadflag = DEAD_NO;
    v.flags = 0;
    v.spawnflags = 0;
    v.velocity = {0.0f, 0.0f, 0.0f};
    v.v_angle = {0.0f, 0.0f, 0.0f};
    v.punchangle = {0.0f, 0.0f, 0.0f};
}

bool LoadPlugin(const std::string& path, PluginTables& out, std::string& error) {
    SetUpWorld();
    out.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (out.handle == nullptr) {
        error = dlerror();
        return false;
    }
    auto give = Symbol<GIVE_ENGINE_FUNCTIONS_FN>(out.handle, "GiveFnptrsToDll");
    auto query = Symbol<META_QUERY_FN>(out.handle, "Meta_Query");
    auto attach = Symbol<META_ATTACH_FN>(out.handle, "Meta_Attach");
    if (give == nullptr || query == nullptr || attach == nullptr) {
        error = "entry point missing in " + path;
        return false;
    }
    enginefuncs_t copy = engineTable;
    give(&copy, &world.globals);
    plugin_info_t* info = nullptr;
    if (query(META_INTERFACE_VERSION, &info, &utilTable) != 1) {
        error = "Meta_Query refused";
        return false;
    }
    META_FUNCTIONS getters{};
    gamedll_funcs_t gamedll{};
    if (attach(PT_STARTUP, &getters, &out.globals, &gamedll) != 1) {
        error = "Meta_Attach refused";
        return false;
    }
    int version = ENGINE_INTERFACE_VERSION;
    if (getters.pfnGetEngineFunctions != nullptr) getters.pfnGetEngineFunctions(&out.enginePre, &version);
    version = ENGINE_INTERFACE_VERSION;
    if (getters.pfnGetEngineFunctions_Post != nullptr)
        getters.pfnGetEngineFunctions_Post(&out.enginePost, &version);
    version = INTERFACE_VERSION;
    if (getters.pfnGetEntityAPI2 != nullptr) getters.pfnGetEntityAPI2(&out.gamePre, &version);
    version = INTERFACE_VERSION;
    if (getters.pfnGetEntityAPI2_Post != nullptr) getters.pfnGetEntityAPI2_Post(&out.gamePost, &version);
    return true;
}

void RegisterGameMessages(PluginTables& plugin) {
    if (plugin.enginePost.pfnRegUserMsg == nullptr) return;
    for (const MessageName& m : kGameMessages) {
        int id = m.id;
        plugin.globals.orig_ret = &id;
        plugin.enginePost.pfnRegUserMsg(m.name, -1);
        plugin.globals.orig_ret = nullptr;
    }
}

}  // namespace bench

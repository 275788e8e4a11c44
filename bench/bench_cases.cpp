#include "bench_cases.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace bench {
namespace {

Scene scene;

// Clip of the weapon in hand; every shot takes one round.
int clip = 1 << 30;
constexpr int kWeapon = 2;       // the sample INI's primary multiplier for it is 15
constexpr int kAmmoType = 1;     // its primary ammunition
constexpr int kAmmoCount = 68;

// The manager skips slots a plug-in left empty.
template <typename F, typename... A>
inline void Call(F f, A... args) {
    if (f != nullptr) f(args...);
}

using FloorTablesFn = void (*)(meta_globals_t*, enginefuncs_t*, DLL_FUNCTIONS*);

void MakeFloor(FloorTablesFn floorTables, const PluginTables& plugin, PluginTables& floor) {
    floor = plugin;
    floor.handle = nullptr;
    floorTables(&floor.globals, &floor.enginePre, &floor.gamePre);
    floorTables(&floor.globals, &floor.enginePost, &floor.gamePost);
}

void WeaponList(const Hooks& h, int weaponId, int ammo1Type, int ammo2Type) {
    const enginefuncs_t& t = *h.enginePre;
    Call(t.pfnMessageBegin, MSG_ONE, kWeaponListId, nullptr, Player(1));
    Call(t.pfnWriteString, "weapon_9mmhandgun");
    const int fields[] = {ammo1Type, 250, ammo2Type, -1, 1, 0, weaponId, 0};
    for (int v : fields) Call(t.pfnWriteByte, v);
    Call(t.pfnMessageEnd);
}

void CurWeapon(const Hooks& h, int state, int weaponId, int clipValue) {
    const enginefuncs_t& t = *h.enginePre;
    Call(t.pfnMessageBegin, MSG_ONE, kCurWeaponId, nullptr, Player(1));
    Call(t.pfnWriteByte, state);
    Call(t.pfnWriteByte, weaponId);
    Call(t.pfnWriteByte, clipValue);
    Call(t.pfnMessageEnd);
}

void AmmoX(const Hooks& h, int type, int count) {
    const enginefuncs_t& t = *h.enginePre;
    Call(t.pfnMessageBegin, MSG_ONE, kAmmoXId, nullptr, Player(1));
    Call(t.pfnWriteByte, type);
    Call(t.pfnWriteByte, count);
    Call(t.pfnMessageEnd);
}

bool Fail(std::string& error, const std::string& what) {
    error = what;
    return false;
}

// Runs each sequence once through the plug-ins and checks its effect.
bool CheckSequences(std::string& error) {
    entvars_t& pev = Player(1)->v;
    World& w = TheWorld();

    OtherMessage(KestrumHooks());
    if (scene.kestrum.globals.mres != MRES_IGNORED)
        return Fail(error, "kestrum_mm followed a message it should ignore");

    pev.velocity = {0.0f, 0.0f, 0.0f};
    CurWeaponShot(KestrumHooks());
    if (pev.velocity.x != -15.0f || pev.velocity.y != 0.0f || pev.velocity.z != 0.0f)
        return Fail(error, "a shot did not push the player back by 15");

    AmmoXUnchanged(KestrumHooks());
    if (scene.kestrum.globals.mres != MRES_HANDLED || pev.velocity.x != -15.0f)
        return Fail(error, "an unchanged AmmoX was not captured, or it pushed");

    const int announced = w.serverNamesBegun;
    PostThinkNotDue(HopwickHooks());
    if (scene.hopwick.globals.mres != MRES_HANDLED || w.serverNamesBegun != announced)
        return Fail(error, "a post-think that was not due announced, or was ignored");

    pev.fov = 0.0f;
    OtherMessage(HopwickHooks());
    if (scene.hopwick.globals.mres != MRES_HANDLED || pev.fov != 0.0f || w.serverNamesBegun != announced)
        return Fail(error, "hopwick_mm acted on a message it should pass");

    MapStart(KestrumHooks());
    if (scene.kestrum.globals.mres != MRES_HANDLED)
        return Fail(error, "the world's spawn did not start a map");
    if (std::filesystem::exists("valve/kestrum_mm.in~"))
        return Fail(error, "the configuration load left its working copy behind");
    // The load reset the player's record: learn the weapon again, then one shot must
    // push by the loaded multiplier.
    CurWeapon(KestrumHooks(), 1, kWeapon, clip);
    AmmoX(KestrumHooks(), kAmmoType, kAmmoCount);
    pev.velocity = {0.0f, 0.0f, 0.0f};
    CurWeaponShot(KestrumHooks());
    if (pev.velocity.x != -15.0f) return Fail(error, "the configuration reloaded at map start is not in effect");

    if (!PlainCopy() || std::filesystem::exists(scene.copyPath))
        return Fail(error, "the plain copy of " + scene.iniPath + " failed");
    return true;
}

}  // namespace

Scene& TheScene() { return scene; }

Hooks KestrumHooks() { return {&scene.kestrum.enginePre, &scene.kestrum.gamePre, &scene.kestrum.gamePost}; }
Hooks KestrumFloor() {
    return {&scene.kestrumFloor.enginePre, &scene.kestrumFloor.gamePre, &scene.kestrumFloor.gamePost};
}
Hooks HopwickHooks() { return {&scene.hopwick.enginePre, &scene.hopwick.gamePre, &scene.hopwick.gamePost}; }
Hooks HopwickFloor() {
    return {&scene.hopwickFloor.enginePre, &scene.hopwickFloor.gamePre, &scene.hopwickFloor.gamePost};
}

void OtherMessage(const Hooks& h) {
    const enginefuncs_t& t = *h.enginePre;
    Call(t.pfnMessageBegin, MSG_ONE, kHealthId, nullptr, Player(1));
    Call(t.pfnWriteByte, 100);
    Call(t.pfnWriteChar, -3);
    Call(t.pfnWriteShort, 1200);
    Call(t.pfnWriteLong, 70000);
    Call(t.pfnMessageEnd);
}

void CurWeaponShot(const Hooks& h) { CurWeapon(h, 1, kWeapon, --clip); }

void AmmoXUnchanged(const Hooks& h) { AmmoX(h, kAmmoType, kAmmoCount); }

void PostThinkNotDue(const Hooks& h) { Call(h.gamePost->pfnPlayerPostThink, Player(1)); }

void MapStart(const Hooks& h) {
    const auto spawn = h.gamePre->pfnSpawn;
    if (spawn != nullptr) spawn(WorldEntity());
}

bool PlainCopy() {
    FILE* in = std::fopen(scene.iniPath.c_str(), "rb");
    if (in == nullptr) return false;
    FILE* out = std::fopen(scene.copyPath.c_str(), "wb");
    if (out == nullptr) {
        std::fclose(in);
        return false;
    }
    char buffer[4096];
    bool ok = true;
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
        ok = ok && std::fwrite(buffer, 1, n, out) == n;
    }
    ok = std::fclose(out) == 0 && ok;
    std::fclose(in);
    return std::remove(scene.copyPath.c_str()) == 0 && ok;
}

bool SetUpScene(std::string& error) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "hook-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return Fail(error, "cannot make a temporary folder");
    scene.workDir = pattern;
    std::error_code ec;
    fs::create_directories(fs::path(scene.workDir) / "valve", ec);
    fs::copy_file(BENCH_SAMPLE_INI, fs::path(scene.workDir) / "valve" / "kestrum_mm.ini", ec);
    if (ec) return Fail(error, std::string("cannot copy ") + BENCH_SAMPLE_INI + ": " + ec.message());
    fs::current_path(scene.workDir, ec);
    if (ec) return Fail(error, "cannot enter " + scene.workDir);
    scene.iniPath = "valve/kestrum_mm.ini";
    scene.copyPath = "valve/kestrum_mm.copy";

    if (!LoadPlugin(BENCH_KESTRUM_PATH, scene.kestrum, error)) return false;
    if (!LoadPlugin(BENCH_HOPWICK_PATH, scene.hopwick, error)) return false;
    void* floorLibrary = dlopen(BENCH_FLOOR_PATH, RTLD_NOW | RTLD_LOCAL);
    if (floorLibrary == nullptr) return Fail(error, dlerror());
    auto floorTables = reinterpret_cast<FloorTablesFn>(dlsym(floorLibrary, "FloorTables"));
    if (floorTables == nullptr) return Fail(error, std::string("FloorTables missing in ") + BENCH_FLOOR_PATH);
    MakeFloor(floorTables, scene.kestrum, scene.kestrumFloor);
    MakeFloor(floorTables, scene.hopwick, scene.hopwickFloor);

    RegisterGameMessages(scene.kestrum);
    MapStart(KestrumHooks());
    WeaponList(KestrumHooks(), kWeapon, kAmmoType, -1);
    CurWeapon(KestrumHooks(), 1, kWeapon, clip);
    AmmoX(KestrumHooks(), kAmmoType, kAmmoCount);
    // The first post-think announces; later ones at the same server time are not due.
    PostThinkNotDue(HopwickHooks());
    return CheckSequences(error);
}

void TearDownScene() {
    std::error_code ec;
    if (scene.workDir.empty()) return;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(scene.workDir, ec);
    scene.workDir.clear();
}

}  // namespace bench

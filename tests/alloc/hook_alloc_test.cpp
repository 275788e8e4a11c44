// Both plug-ins run through a scenario of map starts, weapon messages with pushes,
// disconnects and host-name announcements. Every hook the plug-in manager calls is
// wrapped so that allocations are counted inside it, with the host's own engine calls
// left out. Only the map start, which loads the configuration, may allocate, and it
// must release all of it before it returns.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>

#include "alloc_counter.h"
#include "host.h"
#include "layout_pins.h"
#include "slot_lists.h"

namespace {

using hostsim::MsgField;

enum TableKind { kEnginePre, kEnginePost, kGamePre, kGamePost, kTableKinds };
const char* const kTableNames[] = {"engine pre", "engine post", "game pre", "game post"};
constexpr int kPlugins = 2;
const char* const kPluginNames[] = {"kestrum_mm", "hopwick_mm"};
constexpr int kMaxSlots = ENGINE_FUNCS_SLOTS > DLL_FUNCTIONS_SLOTS ? ENGINE_FUNCS_SLOTS : DLL_FUNCTIONS_SLOTS;
constexpr int kSpawnSlot = static_cast<int>(offsetof(DLL_FUNCTIONS, pfnSpawn) / sizeof(void*));

// What the hook of one slot did over the scenario.
struct SlotTally {
    bool wrapped = false;
    const char* slot = "";
    long calls = 0;
    long allocations = 0;  // in calls other than a world spawn
    long releases = 0;
    long worldSpawns = 0;
    long worldSpawnAllocations = 0;
    long unbalancedWorldSpawns = 0;  // world spawns that did not release all they allocated
};

SlotTally tallies[kPlugins][kTableKinds][kMaxSlots];
const edict_t* worldEntity = nullptr;
std::string unwrappable;  // hooks in slots whose calls cannot be forwarded

// One hook call, counted from entry to return.
class HookCall {
public:
    HookCall(SlotTally& tally, bool worldSpawn)
        : tally_(tally), worldSpawn_(worldSpawn), before_(alloc_counter::Now()) {}
    ~HookCall() {
        region_.reset();
        const alloc_counter::Counts after = alloc_counter::Now();
        const long allocations = after.allocations - before_.allocations;
        const long releases = after.releases - before_.releases;
        ++tally_.calls;
        if (worldSpawn_) {
            ++tally_.worldSpawns;
            tally_.worldSpawnAllocations += allocations;
            if (allocations != releases) ++tally_.unbalancedWorldSpawns;
        } else {
            tally_.allocations += allocations;
            tally_.releases += releases;
        }
    }

private:
    SlotTally& tally_;
    bool worldSpawn_;
    alloc_counter::Counts before_;
    std::unique_ptr<alloc_counter::Region> region_ = std::make_unique<alloc_counter::Region>();
};

// The spawn hook's entity is the world: a map starts.
template <typename First, typename... Rest>
bool IsWorld(First entity, Rest...) {
    if constexpr (std::is_convertible_v<First, const edict_t*>) {
        return entity == worldEntity;
    } else {
        return false;
    }
}

template <int Plugin, TableKind Table, int Slot, typename F>
struct Counted;

template <int Plugin, TableKind Table, int Slot, typename R, typename... A>
struct Counted<Plugin, Table, Slot, R (*)(A...)> {
    static inline R (*original)(A...) = nullptr;
    static R Call(A... args) {
        bool worldSpawn = false;
        if constexpr ((Table == kGamePre || Table == kGamePost) && Slot == kSpawnSlot) {
            worldSpawn = IsWorld(args...);
        }
        HookCall call(tallies[Plugin][Table][Slot], worldSpawn);
        return original(args...);
    }
};

template <int Plugin, TableKind Table, int Slot, typename R, typename... A>
void Wrap(R (*&hook)(A...), const char* name) {
    if (hook == nullptr) return;
    using Wrapper = Counted<Plugin, Table, Slot, R (*)(A...)>;
    Wrapper::original = hook;
    hook = &Wrapper::Call;
    SlotTally& tally = tallies[Plugin][Table][Slot];
    tally.wrapped = true;
    tally.slot = name;
}

template <int Plugin, TableKind Table, int Slot, typename R, typename... A>
void Wrap(R (*&hook)(A..., ...), const char* name) {
    if (hook != nullptr) unwrappable += std::string(kPluginNames[Plugin]) + " " + name + "; ";
}

template <int Plugin>
void WrapHooks(hostsim::PluginRecord& record) {
#define WRAP_ENGINE(name, index)                                   \
    Wrap<Plugin, kEnginePre, index>(record.enginePre.name, #name); \
    Wrap<Plugin, kEnginePost, index>(record.enginePost.name, #name);
    HOSTSIM_ENGINE_SLOTS(WRAP_ENGINE)
#undef WRAP_ENGINE
#define WRAP_GAME(name, index)                                 \
    Wrap<Plugin, kGamePre, index>(record.gamePre.name, #name); \
    Wrap<Plugin, kGamePost, index>(record.gamePost.name, #name);
    HOSTSIM_GAME_SLOTS(WRAP_GAME)
#undef WRAP_GAME
}

// ---- the host's side: engine and utility calls made from inside a hook ----

template <int Slot, typename F>
struct Paused;

template <int Slot, typename R, typename... A>
struct Paused<Slot, R (*)(A...)> {
    static inline R (*original)(A...) = nullptr;
    static R Call(A... args) {
        alloc_counter::Pause pause;
        return original(args...);
    }
};

template <int Slot, typename R, typename... A>
void PauseIn(R (*&call)(A...)) {
    if (call == nullptr) return;
    Paused<Slot, R (*)(A...)>::original = call;
    call = &Paused<Slot, R (*)(A...)>::Call;
}

// Variadic engine calls other than pfnAlertMessage are left as they are; should a hook
// use one, the host's allocations there count against the hook and the test fails.
template <int Slot, typename R, typename... A>
void PauseIn(R (*&)(A..., ...)) {}

void (*originalAlert)(ALERT_TYPE, const char*, ...) = nullptr;
void PausedAlert(ALERT_TYPE type, const char* format, ...) {
    alloc_counter::Pause pause;
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    originalAlert(type, "%s", text);
}

int (*originalGetUserMsgID)(plid_t, const char*, int*) = nullptr;
int PausedGetUserMsgID(plid_t plid, const char* name, int* size) {
    alloc_counter::Pause pause;
    return originalGetUserMsgID(plid, name, size);
}

void PauseHostCalls(hostsim::Host& host) {
    enginefuncs_t& engine = *host.engineTable();
#define PAUSE_ENGINE(name, index) PauseIn<index>(engine.name);
    HOSTSIM_ENGINE_SLOTS(PAUSE_ENGINE)
#undef PAUSE_ENGINE
    originalAlert = engine.pfnAlertMessage;
    engine.pfnAlertMessage = PausedAlert;
    mutil_funcs_t& util = *host.utilFuncs();
    originalGetUserMsgID = util.pfnGetUserMsgID;
    util.pfnGetUserMsgID = PausedGetUserMsgID;
}

// ---- the scenario ----

class HookAllocationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        namespace fs = std::filesystem;
        previousDir_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "hook-alloc-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        workDir_ = pattern;
        fs::create_directories(workDir_ / "valve");
        fs::copy_file(SAMPLE_INI, workDir_ / "valve" / "kestrum_mm.ini");
        fs::current_path(workDir_);

        host_ = new hostsim::Host();
        PauseHostCalls(*host_);
        const int kestrum = host_->load(KESTRUM_MM_PATH);
        const int hopwick = host_->load(HOPWICK_MM_PATH);
        ASSERT_GE(kestrum, 0);
        ASSERT_GE(hopwick, 0);
        worldEntity = host_->edict(0);
        WrapHooks<0>(host_->plugin(kestrum));
        WrapHooks<1>(host_->plugin(hopwick));
        RunScenario(*host_);
    }

    static void TearDownTestSuite() {
        delete host_;
        host_ = nullptr;
        std::error_code ignored;
        std::filesystem::current_path(previousDir_, ignored);
        std::filesystem::remove_all(workDir_, ignored);
    }

    static void Alive(hostsim::Host& h, int player) {
        entvars_t& pev = h.edict(player)->v;
        pev.health = 100.0f;
        pev.deadflag = DEAD_NO;
        pev.v_angle = {0.0f, 0.0f, 0.0f};
        pev.punchangle = {0.0f, 0.0f, 0.0f};
    }

    static void Shooting(hostsim::Host& h, int player) {
        h.sendMessage(MSG_ONE, "WeaponList", player,
                      {MsgField::String("weapon_mp5"), MsgField::Byte(1), MsgField::Byte(250), MsgField::Byte(2),
                       MsgField::Byte(10), MsgField::Byte(2), MsgField::Byte(0), MsgField::Byte(4),
                       MsgField::Byte(0)});
        h.sendMessage(MSG_ONE, "CurWeapon", player, {MsgField::Byte(1), MsgField::Char(4), MsgField::Short(50)});
        h.sendMessage(MSG_ONE, "AmmoX", player, {MsgField::Byte(2), MsgField::Long(10)});
        for (int clip = 49; clip >= 45; --clip) {
            h.sendMessage(MSG_ONE, "CurWeapon", player,
                          {MsgField::Byte(1), MsgField::Coord(1.0f), MsgField::Byte(4), MsgField::Long(clip)});
        }
        h.sendMessage(MSG_ONE, "AmmoX", player, {MsgField::Byte(2), MsgField::Short(9)});  // a grenade
        h.sendMessage(MSG_ONE, "CurWeapon", player,
                      {MsgField::Byte(1), MsgField::Byte(4), MsgField::String("stray"), MsgField::Byte(45)});
        h.sendMessage(MSG_ONE, "Health", player, {MsgField::Byte(90), MsgField::Angle(3.0f)});
    }

    static void Announcing(hostsim::Host& h, int player) {
        h.sendMessage(MSG_ONE, "SetFOV", player, {MsgField::Byte(40)});
        h.sendMessage(MSG_ONE, "MOTD", player, {MsgField::Byte(1), MsgField::String("welcome")});
        for (int i = 0; i < 14; ++i) h.frame(0.5f);
    }

    static void RunScenario(hostsim::Host& h) {
        h.mapStart("crossfire");
        const int alice = h.connect("alice");
        const int bob = h.connect("bob");
        const int rex = h.connect("rex", true);
        ASSERT_GT(alice, 0);
        ASSERT_GT(bob, 0);
        ASSERT_GT(rex, 0);
        for (int p : {alice, bob, rex}) Alive(h, p);
        for (int p : {alice, bob, rex}) Shooting(h, p);
        pushedVelocity_ = h.edict(alice)->v.velocity.x;
        Announcing(h, alice);
        Announcing(h, rex);

        // The debug lines are formatted by the engine from the hooks' arguments.
        h.setCvar("kestrum_debug", "2");
        Shooting(h, bob);
        h.setCvar("kestrum_debug", "0");
        h.disconnect(bob);
        Shooting(h, bob);  // marked as gone: not followed

        h.serverDeactivate();
        h.mapStart("bounce");
        const int carol = h.connect("carol");
        ASSERT_GT(carol, 0);
        Alive(h, carol);
        Shooting(h, carol);
        Announcing(h, carol);

        // A map start whose configuration load fails, then outside deathmatch.
        std::filesystem::remove("valve/kestrum_mm.ini");
        h.serverDeactivate();
        h.mapStart("datacore");
        h.setDeathmatch(0.0f);
        Shooting(h, carol);
        Announcing(h, carol);
        h.serverDeactivate();
        h.mapStart("stalkyard");
        h.setDeathmatch(1.0f);
        h.disconnect(carol);

        for (const hostsim::SentMessage& m : h.sentMessages()) {
            if (m.name == "ServerName" && !m.dropped) ++announcements_;
        }
    }

    static inline hostsim::Host* host_ = nullptr;
    static inline std::filesystem::path previousDir_;
    static inline std::filesystem::path workDir_;
    static inline float pushedVelocity_ = 0.0f;
    static inline int announcements_ = 0;
};

TEST_F(HookAllocationTest, ScenarioRunsEveryHookAndHasItsEffects) {
    EXPECT_EQ(unwrappable, "");
    int hooks = 0;
    for (int p = 0; p < kPlugins; ++p) {
        for (int t = 0; t < kTableKinds; ++t) {
            for (const SlotTally& tally : tallies[p][t]) {
                if (!tally.wrapped) continue;
                ++hooks;
                EXPECT_GT(tally.calls, 0) << kPluginNames[p] << " " << kTableNames[t] << " " << tally.slot
                                          << " was never called";
            }
        }
    }
    // kestrum_mm: 7 engine pre, 1 engine post, 2 game pre; hopwick_mm: 3, 0, 1 and 1 post.
    EXPECT_EQ(hooks, 15);
    EXPECT_LT(pushedVelocity_, 0.0f) << "no shot pushed the player";
    EXPECT_GE(announcements_, 4) << "too few ServerName messages";
    EXPECT_EQ(host_->edict(1)->v.fov, 40.0f);
    EXPECT_TRUE(host_->unsetResults().empty());
}

TEST_F(HookAllocationTest, NoHookAllocatesExceptTheConfigurationLoad) {
    for (int p = 0; p < kPlugins; ++p) {
        for (int t = 0; t < kTableKinds; ++t) {
            for (const SlotTally& tally : tallies[p][t]) {
                EXPECT_EQ(tally.allocations, 0) << kPluginNames[p] << " " << kTableNames[t] << " " << tally.slot;
                EXPECT_EQ(tally.releases, 0) << kPluginNames[p] << " " << kTableNames[t] << " " << tally.slot;
            }
        }
    }
}

TEST_F(HookAllocationTest, MapStartReleasesAllThatItsConfigurationLoadAllocates) {
    const SlotTally& spawn = tallies[0][kGamePre][kSpawnSlot];
    EXPECT_EQ(spawn.worldSpawns, 4);
    // The loads that found the INI allocate (this also shows the counting is live).
    EXPECT_GT(spawn.worldSpawnAllocations, 0);
    EXPECT_EQ(spawn.unbalancedWorldSpawns, 0);
}

}  // namespace

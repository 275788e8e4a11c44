// Hook-stream fuzz target for the recoil plug-in. The input is a sequence of steps (map
// starts, spawns, connects and disconnects, frames, console variables, deathmatch on and
// off, message registrations, messages written field by field or whole) that the
// simulated host plays through the plug-in's hooks. After every step: each hook left a
// result, the player weapon table holds each user id at most once and only ids the
// engine handed out, a map start in deathmatch left every slot free, the plug-in sent
// no message of its own, every player's velocity is a finite vector, and a velocity
// changes only at the end of a message, in deathmatch, with a multiplier that is a
// number other than 0, for a player who is alive.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "hook_fuzz_support.h"
#include "weapon_table.h"

using hookfuzz::Input;
using hookfuzz::Require;
using hostsim::Host;
using hostsim::MsgField;

namespace {

constexpr const char* kGameDir = "valve";

// Configurations the input can switch between; kick entries for weapon ids across the
// table, also at its ends.
const char kIniPlain[] =
    "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=0\nAllWeaponsClipless=0\n"
    "[standard(valve,gearbox,etc)-AMMO1]\n0=1\n2=3\n3=5\n7=10\n9=2147483647\n31=2\n63=4\n"
    "[standard(valve,gearbox,etc)-AMMO2]\n3=7\n9=20\n63=1\n";
const char kIniFlagIds[] =
    "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=1\nAllWeaponsClipless=0\n"
    "[standard(valve,gearbox,etc)-AMMO1]\n1=2\n2=3\n4=6\n30=9\n31=1\n"
    "[standard(valve,gearbox,etc)-AMMO2]\n2=4\n";
const char kIniClipless[] =
    "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=0\nAllWeaponsClipless=1\n"
    "[standard(valve,gearbox,etc)-AMMO1]\n2=3\n3=-5\n7=10\n"
    "[standard(valve,gearbox,etc)-AMMO2]\n3=7\n";

struct State {
    int connects = 0;       // successful connects since the host was made: user ids 1..connects
    bool freshMap = false;  // the last step was a map start in deathmatch
};
State g_state;

PlayerWeaponRecord* g_table = nullptr;

std::string IniPath() { return hookfuzz::ScratchDir() + "/" + kGameDir + "/kestrum_mm.ini"; }

void WriteIni(Input& in) {
    const std::string path = IniPath();
    switch (in.below(6)) {
        case 0: hookfuzz::WriteFile(path, kIniPlain); break;
        case 1: hookfuzz::WriteFile(path, kIniFlagIds); break;
        case 2: hookfuzz::WriteFile(path, kIniClipless); break;
        case 3: unlink(path.c_str()); break;
        case 4: hookfuzz::WriteFile(path, ""); break;
        default: {
            // A heading followed by lines from the input.
            hookfuzz::WriteFile(path, "[standard(valve,gearbox,etc)-AMMO1]\n" + in.text(80));
            break;
        }
    }
}

bool Deathmatch(Host& host) {
    const float dm = host.globals().deathmatch;
    return dm == dm && dm != 0.0f;
}

int MessageType(Host& host, Input& in) {
    static const char* const kNames[] = {"CurWeapon", "AmmoX", "WeaponList", "SetFOV", "Health",
                                         "CurWeapon", "AmmoX", "WeaponList"};
    const uint8_t how = in.byte();
    if (how < 224) {
        const int id = host.messageId(kNames[how % 8]);
        if (id != 0) return id;
    }
    return in.int16();  // any type, 0 and unregistered ones included
}

// 0 = no target; players, then entities that may be free or spawned.
int Target(Input& in) { return in.below(48); }

int IntValue(Input& in) {
    const uint8_t how = in.byte();
    if (how < 160) return static_cast<int8_t>(in.byte());  // small values, ids and counts
    if (how < 200) return 1 << in.below(32);                // bit values of weapon ids
    return in.int32();
}

void WriteInteger(Host& host, Input& in) {
    const int value = IntValue(in);
    switch (in.below(4)) {
        case 0: host.writeField(MsgField::Byte(value)); break;
        case 1: host.writeField(MsgField::Char(value)); break;
        case 2: host.writeField(MsgField::Short(value)); break;
        default: host.writeField(MsgField::Long(value)); break;
    }
}

void WriteOther(Host& host, Input& in) {
    switch (in.below(4)) {
        case 0: host.writeField(MsgField::String(in.text(100))); break;
        case 1: host.writeField(MsgField::Angle(in.int16())); break;
        case 2: host.writeField(MsgField::Coord(in.int16())); break;
        default: host.writeField(MsgField::Entity(in.below(48))); break;
    }
}

void SetCvar(Host& host, Input& in) {
    static const char* const kValues[] = {"0", "1", "2", "3", "0.5", "-1", "10", "11", "nan",
                                          "1e30", "-0", "inf", "abc", ""};
    const char* name = in.byte() % 2 == 0 ? "kestrum_multiplier" : "kestrum_debug";
    host.setCvar(name, in.pick(kValues));
}

void SetPlayerField(Host& host, Input& in) {
    const int index = 1 + in.below(32);
    switch (in.below(4)) {
        case 0: host.setField(index, "health", {static_cast<double>(in.int16())}); break;
        case 1: host.setField(index, "deadflag", {static_cast<double>(in.below(4))}); break;
        case 2:
            host.setField(index, "v_angle",
                          {static_cast<double>(in.int16()), static_cast<double>(in.int16()),
                           static_cast<double>(in.int16())});
            break;
        default:
            host.setField(index, "punchangle",
                          {static_cast<double>(in.int16()) / 64, static_cast<double>(in.int16()) / 64, 0.0});
            break;
    }
}

// A connect clears the new player's entity, velocity included.
enum class StepKind { Other, MapStart, MessageEnd, Connect };

// One step; says whether it ended a message or started a map.
StepKind Step(Host& host, Input& in) {
    static const char* const kClassNames[] = {"worldspawn", "WorldSpawn", "WORLDSPAWN", "worldspawn ",
                                              "worldspaw", "player", "", "weapon_9mmAR"};
    static const char* const kMessageNames[] = {"CurWeapon", "AmmoX", "WeaponList", "SetFOV", "MOTD",
                                                "curweapon", "AmmoX2", ""};
    switch (in.below(20)) {
        case 0: host.messageBegin(in.below(10), MessageType(host, in), nullptr, Target(in)); break;
        case 1:
        case 2: WriteInteger(host, in); break;
        case 3: WriteOther(host, in); break;
        case 4: host.messageEnd(); return StepKind::MessageEnd;
        case 5:
        case 6: {
            // A whole message: the common case of the game's weapon messages.
            host.messageBegin(1, MessageType(host, in), nullptr, Target(in));
            const int fields = in.below(10);
            for (int i = 0; i < fields; ++i) {
                if (in.byte() < 16) {
                    WriteOther(host, in);
                } else {
                    WriteInteger(host, in);
                }
            }
            host.messageEnd();
            return StepKind::MessageEnd;
        }
        case 7:
            if (host.connect("p" + std::to_string(g_state.connects), in.byte() % 4 == 0) >= 0) {
                ++g_state.connects;
            }
            return StepKind::Connect;
        case 8: host.disconnect(in.below(34)); break;
        case 9: host.clientDisconnect(in.below(40)); break;  // also for entities that are no player
        case 10: host.spawn(in.pick(kClassNames)); break;
        case 11: host.mapStart("map" + std::to_string(in.below(4))); return StepKind::MapStart;
        case 12: host.frame(static_cast<float>(in.byte()) / 16.0f); break;
        case 13: SetCvar(host, in); break;
        case 14: {
            static const float kDeathmatch[] = {0.0f, 1.0f, 2.0f, NAN, -1.0f};
            host.setDeathmatch(kDeathmatch[in.below(5)]);
            break;
        }
        case 15: host.registerMessage(in.pick(kMessageNames), static_cast<int8_t>(in.byte())); break;
        case 16: SetPlayerField(host, in); break;
        case 17: host.serverCommand("kestrum_reload"); break;
        case 18: WriteIni(in); break;
        default: host.failMessageRegistration(in.byte() % 2 == 0); break;
    }
    return StepKind::Other;
}

struct PlayerBefore {
    vec3_t velocity;
    bool alive;
};

void Snapshot(Host& host, PlayerBefore (&players)[hostsim::kMaxPlayers + 1]) {
    for (int index = 1; index <= hostsim::kMaxPlayers; ++index) {
        const entvars_t& v = host.edict(index)->v;
        players[index] = {v.velocity, v.health > 0.0f && v.deadflag == DEAD_NO};
    }
}

void CheckPushes(Host& host, StepKind kind, const PlayerBefore (&players)[hostsim::kMaxPlayers + 1]) {
    if (kind == StepKind::Connect) return;
    const float multiplier = host.cvarFloat("kestrum_multiplier");
    const bool mayPush = kind == StepKind::MessageEnd && Deathmatch(host) && multiplier == multiplier &&
                         multiplier != 0.0f;
    for (int index = 1; index <= hostsim::kMaxPlayers; ++index) {
        const vec3_t& now = host.edict(index)->v.velocity;
        const vec3_t& before = players[index].velocity;
        if (now.x == before.x && now.y == before.y && now.z == before.z) continue;
        Require(mayPush, "a velocity changed outside a message end, the gate or the multiplier");
        Require(players[index].alive, "a player who is not alive was pushed");
    }
}

void CheckTable(Host& host, bool freshMap) {
    std::set<int> seen;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const int id = g_table[slot].userId;
        if (freshMap && id != -1) {
            hookfuzz::Fail("slot " + std::to_string(slot) + " holds " + std::to_string(id) +
                           " after a map start");
        }
        if (id == -1 || id == 0) continue;  // free, or never reset since the load
        Require(id > 0 && id <= g_state.connects, "a slot holds an id the engine never gave");
        Require(seen.insert(id).second, "a user id is held by two slots");
    }
    for (int index = 1; index <= hostsim::kMaxPlayers; ++index) {
        const vec3_t& v = host.edict(index)->v.velocity;
        Require(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z),
                "a push left a velocity that is not finite");
    }
    for (const hostsim::SentMessage& m : host.sentMessages()) {
        Require(!m.fromPlugin, "the recoil plug-in sent a message of its own");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string gameDir = hookfuzz::ScratchDir() + "/" + kGameDir;
    Require(mkdir(gameDir.c_str(), 0755) == 0, "no game folder");
    hookfuzz::WriteFile(IniPath(), kIniPlain);
    hookfuzz::ScratchCwd cwd;
    hostsim::HostConfig config;
    config.gameDir = kGameDir;
    Host& host = hookfuzz::LoadedHost(config);
    g_table = static_cast<PlayerWeaponRecord*>(host.symbol(0, "PlayerWeaponTable"));
    Require(g_table != nullptr, "PlayerWeaponTable not found in the plug-in");
    host.mapStart("start");
    host.clearRecords();
    hookfuzz::MarkStrings();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hookfuzz::ScratchCwd cwd;
    Host& host = hookfuzz::LoadedHost({});
    // Back to a known state: no open message, nobody connected, the plain configuration,
    // default variables, deathmatch on, a new map.
    hookfuzz::ResetGame(host);
    host.setMaxClients(hostsim::kMaxPlayers);
    host.setCvar("kestrum_multiplier", "1");
    host.setCvar("kestrum_debug", "0");
    hookfuzz::WriteFile(IniPath(), kIniPlain);
    host.setTime(0.0f);
    for (int index = 1; index <= hostsim::kMaxPlayers; ++index) host.edict(index)->v.velocity = vec3_t{};
    hookfuzz::RewindStrings();
    host.mapStart("map");
    host.clearRecords();
    CheckTable(host, true);

    Input in(data, size);
    while (!in.done()) {
        PlayerBefore players[hostsim::kMaxPlayers + 1];
        Snapshot(host, players);
        const StepKind kind = Step(host, in);
        hookfuzz::CheckHookResults(host);
        CheckTable(host, kind == StepKind::MapStart && Deathmatch(host));
        CheckPushes(host, kind, players);
        host.clearRecords();
    }
    return 0;
}

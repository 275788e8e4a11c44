// Hook-stream fuzz target for the bot-fix plug-in. The input is a sequence of steps
// (messages begun, written and ended in any order with any type and target, connects of
// players and bots, disconnects, frames and single post-thinks, map changes, host names,
// deathmatch on and off, message registrations, time jumps) that the simulated host plays
// through the plug-in's hooks. After every step: each hook left a result, every message
// the plug-in sent is a "ServerName" with the current host name to a human player, a
// whole "SetFOV" message to a human player leaves its byte as the player's fov, and no
// entity that is not a player had its fov touched.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "hook_fuzz_support.h"

using hookfuzz::Input;
using hookfuzz::Require;
using hostsim::Host;
using hostsim::MsgField;

namespace {

constexpr int kEntityTargets = 48;  // 0 = none, 1..32 players, the rest other entities

int MessageType(Host& host, Input& in) {
    static const char* const kNames[] = {"SetFOV", "MOTD", "SetFOV", "MOTD", "ServerName", "Health",
                                         "CurWeapon", "SetFOV"};
    const uint8_t how = in.byte();
    if (how < 224) {
        const int id = host.messageId(kNames[how % 8]);
        if (id != 0) return id;
    }
    return in.int16();
}

int IntValue(Input& in) {
    return in.byte() < 192 ? static_cast<int8_t>(in.byte()) : in.int32();
}

void WriteField(Host& host, Input& in) {
    switch (in.below(8)) {
        case 0:
        case 1:
        case 2: host.writeField(MsgField::Byte(IntValue(in))); break;
        case 3: host.writeField(MsgField::Char(IntValue(in))); break;
        case 4: host.writeField(MsgField::Short(IntValue(in))); break;
        case 5: host.writeField(MsgField::Long(IntValue(in))); break;
        case 6: host.writeField(MsgField::String(in.text(40))); break;
        default: host.writeField(MsgField::Coord(in.int16())); break;
    }
}

// A whole "SetFOV" message to a human player in deathmatch leaves the player's fov at the
// last byte written.
void CheckFov(Host& host, int type, int target) {
    const float dm = host.globals().deathmatch;
    if (dm == 0.0f || type == 0 || type != host.messageId("SetFOV") || target < 1 ||
        target > host.globals().maxClients || (host.edict(target)->v.flags & FL_FAKECLIENT) != 0) {
        return;
    }
    const std::vector<hostsim::SentMessage>& sent = host.sentMessages();
    if (sent.empty() || sent.back().fromPlugin || sent.back().type != type) return;
    const hostsim::MsgField* last = nullptr;
    for (const MsgField& field : sent.back().fields) {
        if (field.type == hostsim::FieldType::Byte) last = &field;
    }
    if (last != nullptr) {
        Require(host.edict(target)->v.fov == static_cast<float>(last->i), "fov is not the byte of SetFOV");
    }
}

void Step(Host& host, Input& in) {
    static const char* const kMessageNames[] = {"SetFOV", "MOTD", "ServerName", "setfov", "Health", ""};
    static const char* const kHostNames[] = {"Half-Life", "", "a %s %n name", "x"};
    switch (in.below(18)) {
        case 0: host.messageBegin(in.below(10), MessageType(host, in), nullptr, in.below(kEntityTargets)); break;
        case 1:
        case 2: WriteField(host, in); break;
        case 3: host.messageEnd(); break;
        case 4:
        case 5: {
            const int type = MessageType(host, in);
            const int target = in.below(kEntityTargets);
            host.messageBegin(1, type, nullptr, target);
            const int fields = in.below(4);
            for (int i = 0; i < fields; ++i) WriteField(host, in);
            host.messageEnd();
            CheckFov(host, type, target);
            break;
        }
        case 6: host.connect("p", in.byte() % 3 == 0); break;
        case 7: host.disconnect(in.below(34)); break;
        case 8: host.frame(static_cast<float>(in.byte()) / 8.0f); break;
        case 9: host.playerPostThink(in.below(kEntityTargets)); break;
        case 10: host.serverDeactivate(); break;
        case 11: host.mapStart("map"); break;
        case 12: {
            static const float kDeathmatch[] = {0.0f, 1.0f, 3.0f, NAN};
            host.setDeathmatch(kDeathmatch[in.below(4)]);
            break;
        }
        case 13: host.setCvar("hostname", in.pick(kHostNames)); break;
        case 14: host.registerMessage(in.pick(kMessageNames), static_cast<int8_t>(in.byte())); break;
        case 15: host.failMessageRegistration(in.byte() % 2 == 0); break;
        case 16: {
            static const float kTimes[] = {0.0f, 4.99f, 5.0f, 1e9f, -10.0f, NAN};
            host.setTime(kTimes[in.below(6)]);
            break;
        }
        default: host.spawn(in.byte() % 2 == 0 ? "info_target" : "worldspawn"); break;
    }
}

void CheckSent(Host& host) {
    // The plug-in reads the name as a C text: it ends at its first byte 0.
    const std::string hostname = host.cvarString("hostname").c_str();
    for (const hostsim::SentMessage& m : host.sentMessages()) {
        if (!m.fromPlugin) continue;
        Require(m.name == "ServerName", "the plug-in sent a message other than ServerName");
        Require(m.dest == MSG_ONE, "ServerName not sent to one client");
        Require(m.target >= 1 && m.target <= hostsim::kMaxPlayers, "ServerName sent to no player");
        Require((host.edict(m.target)->v.flags & FL_FAKECLIENT) == 0, "ServerName sent to a bot");
        Require(m.fields.size() == 1 && m.fields[0].type == hostsim::FieldType::String &&
                    m.fields[0].s == hostname,
                "ServerName does not hold exactly the host name");
    }
    for (int index = hostsim::kMaxPlayers + 1; index < kEntityTargets; ++index) {
        Require(host.edict(index)->v.fov == 0.0f, "fov written into an entity that is no player");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    hookfuzz::ScratchCwd cwd;
    Host& host = hookfuzz::LoadedHost({});
    host.mapStart("start");
    host.clearRecords();
    hookfuzz::MarkStrings();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hookfuzz::ScratchCwd cwd;
    Host& host = hookfuzz::LoadedHost({});
    hookfuzz::ResetGame(host);
    host.setCvar("hostname", "Half-Life");
    host.setTime(0.0f);
    hookfuzz::RewindStrings();
    host.mapStart("map");
    host.clearRecords();

    Input in(data, size);
    while (!in.done()) {
        Step(host, in);
        hookfuzz::CheckHookResults(host);
        CheckSent(host);
        host.clearRecords();
    }
    return 0;
}

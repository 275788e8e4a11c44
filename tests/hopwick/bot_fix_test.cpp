// The bot fix through the simulated host: field-of-view mirroring, "ServerName" ahead
// of every "MOTD" and every 5 s per human player, and the results its hooks report.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host.h"

namespace {

using hostsim::Host;
using hostsim::HostConfig;
using hostsim::MsgField;
using hostsim::SentMessage;

constexpr float kUntouchedFov = 33.0f;

HostConfig EightPlayers() {
    HostConfig config;
    config.maxClients = 8;
    config.hostname = "Hopwick Test Server";
    return config;
}

class BotFix : public ::testing::Test {
protected:
    void SetUp() override {
        plugin = host.load(HOPWICK_MM_PATH);
        ASSERT_GE(plugin, 0);
        host.mapStart("crossfire");
        alice = host.connect("Alice");
        bob = host.connect("Bob");
        bot = host.connect("Bot", true);
        ASSERT_TRUE(alice > 0 && bob > 0 && bot > 0);
        for (int index : {alice, bob, bot}) {
            host.edict(index)->v.fov = kUntouchedFov;
        }
        host.setTime(0.0f);
        host.clearRecords();
    }

    void TearDown() override {
        EXPECT_TRUE(host.unsetResults().empty()) << "a hook left mres unset";
        EXPECT_TRUE(host.unexpectedCalls().empty());
    }

    // An entity past the players, with the given lowest index.
    int SpawnEntityFrom(int lowest) {
        for (int i = 0; i < 64; ++i) {
            int index = host.spawn("info_target");
            if (index >= lowest) {
                host.edict(index)->v.fov = kUntouchedFov;
                return index;
            }
        }
        ADD_FAILURE() << "no entity at index " << lowest << " or above";
        return -1;
    }

    // Sent messages as "name>target", plug-in sends marked with a leading '+'.
    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const SentMessage& m : host.sentMessages()) {
            out.push_back((m.fromPlugin ? "+" : "") + m.name + ">" + std::to_string(m.target));
        }
        return out;
    }

    int ServerNamesTo(int target) const {
        int count = 0;
        for (const SentMessage& m : host.sentMessages()) {
            count += m.name == "ServerName" && m.target == target ? 1 : 0;
        }
        return count;
    }

    void ThinkAt(int index, float time) {
        host.setTime(time);
        host.playerPostThink(index);
    }

    Host host{EightPlayers()};
    int plugin = -1;
    int alice = 0;
    int bob = 0;
    int bot = 0;
};

TEST_F(BotFix, SetFovIsMirroredForHumansInDeathmatchOnly) {
    const int pastMaxClients = EightPlayers().maxClients + 1;  // an edict, but no player slot
    const int entity = SpawnEntityFrom(33);
    struct Row {
        const char* label;
        float deathmatch;
        int target;
        int dest;
        std::vector<int> bytes;
        float fov;
    };
    const Row rows[] = {
        {"human", 1.0f, alice, MSG_ONE, {90}, 90.0f},
        {"the last of several bytes stands", 1.0f, bob, MSG_ONE, {90, 75, 110}, 110.0f},
        {"no deathmatch", 0.0f, alice, MSG_ONE, {45}, kUntouchedFov},
        {"bot", 1.0f, bot, MSG_ONE, {45}, kUntouchedFov},
        {"index above maxClients", 1.0f, pastMaxClients, MSG_ONE, {45}, kUntouchedFov},
        {"entity beyond the players", 1.0f, entity, MSG_ONE, {45}, kUntouchedFov},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        host.edict(row.target)->v.fov = kUntouchedFov;
        host.setDeathmatch(row.deathmatch);
        std::vector<MsgField> fields;
        for (int b : row.bytes) {
            fields.push_back(MsgField::Byte(b));
        }
        host.sendMessage(row.dest, "SetFOV", row.target, fields);
        EXPECT_EQ(host.edict(row.target)->v.fov, row.fov);
    }
}

TEST_F(BotFix, BytesOutsideAnOpenSetFovChangeNothing) {
    // A broadcast opens no capture, and neither does another message to a player.
    host.sendMessage(MSG_ALL, "SetFOV", 0, {MsgField::Byte(20)});
    host.sendMessage(MSG_ONE, "Health", alice, {MsgField::Byte(55)});
    EXPECT_EQ(host.edict(alice)->v.fov, kUntouchedFov);

    // The capture ends with its message: later bytes to the same player are left alone.
    host.sendMessage(MSG_ONE, "SetFOV", alice, {MsgField::Byte(90)});
    host.sendMessage(MSG_ONE, "Health", alice, {MsgField::Byte(55)});
    EXPECT_EQ(host.edict(alice)->v.fov, 90.0f);
}

TEST_F(BotFix, EveryMotdToAHumanIsPrecededByItsServerName) {
    const std::string a = std::to_string(alice);
    for (int part = 0; part < 3; ++part) {
        host.sendMessage(MSG_ONE, "MOTD", alice, {MsgField::Byte(part == 2 ? 1 : 0),
                                                  MsgField::String("welcome, part " + std::to_string(part))});
    }
    EXPECT_EQ(Sent(), (std::vector<std::string>{"+ServerName>" + a, "MOTD>" + a, "+ServerName>" + a,
                                                "MOTD>" + a, "+ServerName>" + a, "MOTD>" + a}));
    const SentMessage& serverName = host.sentMessages().front();
    EXPECT_EQ(serverName.dest, MSG_ONE);
    EXPECT_EQ(serverName.type, host.messageId("ServerName"));
    ASSERT_EQ(serverName.fields.size(), 1u);
    EXPECT_EQ(serverName.fields[0].type, hostsim::FieldType::String);
    EXPECT_EQ(serverName.fields[0].s, "Hopwick Test Server");

    // The current hostname is read at each send.
    host.setCvar("hostname", "Renamed");
    host.sendMessage(MSG_ONE, "MOTD", bob, {MsgField::String("hi")});
    ASSERT_EQ(ServerNamesTo(bob), 1);
    EXPECT_EQ(host.sentMessages()[host.sentMessages().size() - 2].fields[0].s, "Renamed");
}

TEST_F(BotFix, MotdToNonPlayersOrOutsideDeathmatchGetsNoServerName) {
    host.sendMessage(MSG_ONE, "MOTD", bot, {MsgField::String("hi")});
    host.sendMessage(MSG_ALL, "MOTD", 0, {MsgField::String("hi")});
    const int pastMaxClients = EightPlayers().maxClients + 1;
    host.sendMessage(MSG_ONE, "MOTD", pastMaxClients, {MsgField::String("hi")});
    host.setDeathmatch(0.0f);
    host.sendMessage(MSG_ONE, "MOTD", alice, {MsgField::String("hi")});
    EXPECT_EQ(Sent(), (std::vector<std::string>{"MOTD>" + std::to_string(bot), "MOTD>-1",
                                                "MOTD>" + std::to_string(pastMaxClients),
                                                "MOTD>" + std::to_string(alice)}));
}

TEST_F(BotFix, PeriodicServerNameAtMostEveryFiveSecondsInAnyGameMode) {
    struct Step {
        float time;
        int sent;
    };
    const Step steps[] = {{0.0f, 0}, {0.5f, 1}, {5.5f, 0}, {5.6f, 1}, {10.6f, 0}, {10.7f, 1}};
    for (float deathmatch : {1.0f, 0.0f}) {
        SCOPED_TRACE(deathmatch);
        host.serverDeactivate();
        host.setDeathmatch(deathmatch);
        for (const Step& step : steps) {
            SCOPED_TRACE(step.time);
            host.clearRecords();
            ThinkAt(alice, step.time);
            ThinkAt(bot, step.time);
            EXPECT_EQ(ServerNamesTo(alice), step.sent);
            EXPECT_EQ(ServerNamesTo(bot), 0);
        }
    }
    // Each player has its own time.
    host.clearRecords();
    ThinkAt(bob, 10.7f);
    EXPECT_EQ(ServerNamesTo(bob), 1);
}

TEST_F(BotFix, MotdLeavesThePeriodicTimeAlone) {
    host.setTime(0.5f);
    host.sendMessage(MSG_ONE, "MOTD", alice, {MsgField::String("hi")});
    host.playerPostThink(alice);
    EXPECT_EQ(ServerNamesTo(alice), 2);
}

TEST_F(BotFix, MapEndAndAttachMakeEveryPlayerDueAgain) {
    ThinkAt(alice, 0.5f);
    ThinkAt(alice, 1.0f);
    ASSERT_EQ(ServerNamesTo(alice), 1);

    host.serverDeactivate();
    host.clearRecords();
    ThinkAt(alice, 0.0f);  // not above 0.0 yet
    ThinkAt(alice, 1.0f);
    EXPECT_EQ(ServerNamesTo(alice), 1);

    // A new attach (at a map change) clears the times after its banner.
    host.clearRecords();
    META_FUNCTIONS functions{};
    auto attach = reinterpret_cast<META_ATTACH_FN>(host.symbol(plugin, "Meta_Attach"));
    ASSERT_EQ(attach(PT_CHANGELEVEL, &functions, &host.plugin(plugin).globals,
                     &host.plugin(plugin).gamedllFuncs),
              1);
    ThinkAt(alice, 1.5f);
    EXPECT_EQ(ServerNamesTo(alice), 1);
}

TEST_F(BotFix, FailedRegistrationSendsNothingAndIsRetried) {
    host.failMessageRegistration(true);
    host.setTime(0.5f);
    host.sendMessage(MSG_ONE, "MOTD", alice, {MsgField::String("hi")});
    host.playerPostThink(alice);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"MOTD>" + std::to_string(alice)}));

    host.failMessageRegistration(false);
    ThinkAt(alice, 1.0f);  // the periodic time advanced all the same
    EXPECT_EQ(ServerNamesTo(alice), 0);
    host.sendMessage(MSG_ONE, "MOTD", alice, {MsgField::String("hi")});
    EXPECT_EQ(ServerNamesTo(alice), 1);
    ThinkAt(alice, 5.6f);
    EXPECT_EQ(ServerNamesTo(alice), 2);
}

// The hooks called one by one with globals of the test's own, to read each result.
TEST_F(BotFix, HooksReportTheirResults) {
    const int withinArray = EightPlayers().maxClients + 1;
    const int beyondArray = SpawnEntityFrom(33);
    meta_globals_t globals{};
    META_FUNCTIONS functions{};
    auto attach = reinterpret_cast<META_ATTACH_FN>(host.symbol(plugin, "Meta_Attach"));
    ASSERT_EQ(attach(PT_STARTUP, &functions, &globals, &host.plugin(plugin).gamedllFuncs), 1);
    const enginefuncs_t& engine = host.plugin(plugin).enginePre;
    const DLL_FUNCTIONS& gamePre = host.plugin(plugin).gamePre;
    const DLL_FUNCTIONS& gamePost = host.plugin(plugin).gamePost;
    const int setFov = host.messageId("SetFOV");
    host.setTime(1.0f);

    struct Row {
        const char* label;
        std::function<void()> call;
        META_RES result;
        int serverNames;
    };
    const std::vector<Row> rows = {
        {"begin, qualifying", [&] { engine.pfnMessageBegin(MSG_ONE, setFov, nullptr, host.edict(alice)); },
         MRES_HANDLED, 0},
        {"byte in capture", [&] { engine.pfnWriteByte(70); }, MRES_HANDLED, 0},
        {"end of capture", [&] { engine.pfnMessageEnd(); }, MRES_HANDLED, 0},
        {"begin, broadcast", [&] { engine.pfnMessageBegin(MSG_ALL, setFov, nullptr, nullptr); },
         MRES_HANDLED, 0},
        {"byte, no capture", [&] { engine.pfnWriteByte(71); }, MRES_HANDLED, 0},
        {"end, no capture", [&] { engine.pfnMessageEnd(); }, MRES_HANDLED, 0},
        {"server deactivate", [&] { gamePre.pfnServerDeactivate(); }, MRES_HANDLED, 0},
        {"think, human", [&] { gamePost.pfnPlayerPostThink(host.edict(bob)); }, MRES_HANDLED, 1},
        {"think, bot", [&] { gamePost.pfnPlayerPostThink(host.edict(bot)); }, MRES_IGNORED, 0},
        {"think, world", [&] { gamePost.pfnPlayerPostThink(host.edict(0)); }, MRES_IGNORED, 0},
        {"think, index past maxClients within 32", [&] { gamePost.pfnPlayerPostThink(host.edict(withinArray)); },
         MRES_HANDLED, 1},
        {"think, index 33 or more", [&] { gamePost.pfnPlayerPostThink(host.edict(beyondArray)); },
         MRES_IGNORED, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        host.clearRecords();
        globals.mres = MRES_UNSET;
        row.call();
        EXPECT_EQ(globals.mres, row.result);
        EXPECT_EQ(static_cast<int>(host.sentMessages().size()), row.serverNames);
    }
    EXPECT_EQ(host.edict(alice)->v.fov, 70.0f);
}

// Before the game registers "SetFOV" and "MOTD" their look-ups yield 0; each qualifying
// message tries again, so both work as soon as the game has registered them.
TEST(BotFixLookups, RetriedUntilTheGameRegistersTheMessages) {
    Host host(EightPlayers());
    const int plugin = host.load(HOPWICK_MM_PATH);
    ASSERT_GE(plugin, 0);
    const int alice = host.connect("Alice");
    ASSERT_GT(alice, 0);
    host.edict(alice)->v.fov = kUntouchedFov;
    const int health = host.registerMessage("Health", 1);
    host.sendMessageId(MSG_ONE, health, alice, {MsgField::Byte(60)});
    EXPECT_TRUE(host.sentMessages().size() == 1u && host.edict(alice)->v.fov == kUntouchedFov);

    // Each id is looked up on its own: "MOTD" known first, "SetFOV" still found later.
    host.clearRecords();
    const int motd = host.registerMessage("MOTD", -1);
    host.sendMessageId(MSG_ONE, motd, alice, {MsgField::String("hi")});
    ASSERT_EQ(host.sentMessages().size(), 2u);
    EXPECT_EQ(host.sentMessages()[0].name, "ServerName");

    const int setFov = host.registerMessage("SetFOV", 1);
    host.sendMessageId(MSG_ONE, setFov, alice, {MsgField::Byte(60)});
    EXPECT_EQ(host.edict(alice)->v.fov, 60.0f);
    EXPECT_TRUE(host.unsetResults().empty());
}

}  // namespace

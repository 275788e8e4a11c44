// The simulated engine and game: clients and bots, entity reuse, message delivery,
// frames, watches and the angle-to-vector math.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "angle_vectors.h"
#include "host.h"
#include "test_support.h"

namespace hostsim {
namespace {

TEST(Clients, BotsAreFakeClientsThatSkipConnectAndPutInServer) {
    FixtureHost f;
    f.host.mapStart("crossfire");
    f.host.clearRecords();
    const int bot = f.host.connect("bot1", true);
    ASSERT_EQ(bot, 1);
    EXPECT_EQ(f.host.edict(bot)->v.flags, FL_FAKECLIENT | FL_CLIENT);
    EXPECT_EQ(Find(FixtureLines(f.host), "pre pfnClient"), -1);

    // The engine drops messages to a fake client.
    f.host.sendMessage(MSG_ONE, "SetFOV", bot, {MsgField::Byte(90)});
    ASSERT_EQ(f.host.sentMessages().size(), 1u);
    EXPECT_TRUE(f.host.sentMessages()[0].dropped);
    EXPECT_EQ(f.host.sentMessages()[0].dropReason, "fake client");

    // No ClientDisconnect for a client that never spawned.
    f.host.disconnect(bot);
    EXPECT_EQ(Find(FixtureLines(f.host), "pre pfnClientDisconnect"), -1);
}

TEST(Clients, HumansConnectSpawnAndDisconnectThroughTheGame) {
    FixtureHost f;
    f.host.mapStart("crossfire");
    f.host.clearRecords();
    const int alice = f.host.connect("alice");
    ASSERT_EQ(alice, 1);
    // Messages sent from inside ClientPutInServer are discarded.
    ASSERT_EQ(f.host.sentMessages().size(), 1u);
    EXPECT_TRUE(f.host.sentMessages()[0].dropped);
    f.host.disconnect(alice);
    EXPECT_EQ(FixtureLines(f.host), (std::vector<std::string>{"pre pfnClientConnect 1 flags=0",
                                                              "pre pfnClientPutInServer 1 flags=0",
                                                              "pre pfnClientDisconnect 1 flags=8"}));
}

TEST(Clients, ReusedEntityIsClearedAndUserIdsKeepRising) {
    Host host;
    host.mapStart("crossfire");
    enginefuncs_t* eng = host.engineTable();
    const int first = host.connect("alice");
    EXPECT_EQ(eng->pfnGetPlayerUserId(host.edict(first)), 1);
    host.edict(first)->v.velocity = {1.0f, 2.0f, 3.0f};
    host.edict(first)->v.spawnflags = 1 << 27;
    host.edict(first)->v.fov = 90.0f;
    host.disconnect(first);
    EXPECT_EQ(eng->pfnGetPlayerUserId(host.edict(first)), -1);

    const int second = host.connect("bob");
    ASSERT_EQ(second, first);  // the slot is reused
    const entvars_t& v = host.edict(second)->v;
    EXPECT_EQ(v.velocity.x, 0.0f);
    EXPECT_EQ(v.spawnflags, 0);
    EXPECT_EQ(v.fov, 0.0f);
    EXPECT_EQ(eng->pfnGetPlayerUserId(host.edict(second)), 2);
    EXPECT_EQ(eng->pfnGetPlayerUserId(host.edict(0)), -1);  // the world is no player
    EXPECT_EQ(eng->pfnIndexOfEdict(host.edict(second)), second);
    EXPECT_EQ(eng->pfnPEntityOfEntIndex(second), host.edict(second));
}

TEST(Clients, ConnectFailsWhenTheServerIsFull) {
    HostConfig config;
    config.maxClients = 2;
    Host host(config);
    EXPECT_EQ(host.connect("a"), 1);
    EXPECT_EQ(host.connect("b", true), 2);
    EXPECT_EQ(host.connect("c"), -1);
}

TEST(Frames, EachFrameAdvancesTimeAndThinksForEveryConnectedPlayer) {
    FixtureHost f;
    f.host.mapStart("crossfire");
    f.host.connect("alice");
    f.host.connect("bot1", true);
    f.host.setTime(1.0f);
    f.host.clearRecords();
    f.host.frame(0.5f);
    f.host.frame(0.5f);
    EXPECT_EQ(f.host.globals().time, 2.0f);
    const auto lines = FixtureLines(f.host);
    EXPECT_EQ(Count(lines, "pre pfnPlayerPostThink 1 flags=8"), 2);
    EXPECT_EQ(Count(lines, "pre pfnPlayerPostThink 2 flags=8200"), 2);
}

TEST(Watches, ChangesAppearInTheTranscriptOnce) {
    Host host;
    const int alice = host.connect("alice");
    host.watch(alice, "velocity");
    host.watch(alice, "spawnflags");
    ASSERT_TRUE(host.setField(alice, "velocity", {1.5, 0, -2}));
    host.frame(0.1f);  // no further change
    host.edict(alice)->v.spawnflags = (1 << 27) | (1 << 29);
    host.frame(0.1f);
    std::vector<std::string> watched;
    for (const std::string& line : host.transcript())
        if (line.rfind("watch: ", 0) == 0) watched.push_back(line);
    EXPECT_EQ(watched, (std::vector<std::string>{
                           "watch: #1 velocity (0, 0, 0) -> (1.5, 0, -2)",
                           "watch: #1 spawnflags 0x00000000 -> 0x28000000"}));
    EXPECT_FALSE(host.setField(alice, "velocity", {1.0}));
    EXPECT_FALSE(host.setField(alice, "nosuchfield", {1.0}));
}

TEST(Cvars, SetFloatWritesWholeNumbersWithoutDecimals) {
    Host host;
    enginefuncs_t* eng = host.engineTable();
    const struct {
        float value;
        const char* text;
    } cases[] = {{3.0f, "3"}, {-2.0f, "-2"}, {0.5f, "0.500000"}, {1e20f, "100000002004087734272.000000"}};
    for (const auto& c : cases) {
        eng->pfnCVarSetFloat("hostname", c.value);
        EXPECT_STREQ(eng->pfnCVarGetString("hostname"), c.text);
        EXPECT_EQ(eng->pfnCVarGetFloat("hostname"), c.value);
    }
    eng->pfnCVarSetString("no_such_cvar", "1");  // the engine creates nothing
    EXPECT_EQ(eng->pfnCVarGetPointer("no_such_cvar"), nullptr);
    EXPECT_STREQ(eng->pfnCVarGetString("no_such_cvar"), "");
}

TEST(AngleVectorMath, AgreesWithTheTrigonometryAndIsExactAtRightAngles) {
    const double kPi = 3.14159265358979323846;
    for (double deg = -720.0; deg <= 720.0; deg += 0.37) {
        const SinCos sc = SinCosDegrees(deg);
        const double rad = std::fmod(deg, 360.0) * kPi / 180.0;  // reduced, as accurate
        EXPECT_NEAR(sc.sin, std::sin(rad), 2e-15) << deg;
        EXPECT_NEAR(sc.cos, std::cos(rad), 2e-15) << deg;
    }
    const struct {
        double deg, sin, cos;
    } exact[] = {{0, 0, 1}, {90, 1, 0}, {180, 0, -1}, {270, -1, 0}, {-90, -1, 0}, {450, 1, 0}};
    for (const auto& e : exact) {
        const SinCos sc = SinCosDegrees(e.deg);
        EXPECT_EQ(sc.sin, e.sin) << e.deg;
        EXPECT_EQ(sc.cos, e.cos) << e.deg;
    }
}

TEST(AngleVectorMath, MakeVectorsFillsForwardRightAndUpInTheGlobals) {
    Host host;
    const float yaw90[3] = {0.0f, 90.0f, 0.0f};
    host.engineTable()->pfnMakeVectors(yaw90);
    const globalvars_t& g = host.globals();
    EXPECT_EQ(g.v_forward.x, 0.0f);
    EXPECT_EQ(g.v_forward.y, 1.0f);
    EXPECT_EQ(g.v_forward.z, 0.0f);
    EXPECT_EQ(g.v_right.x, 1.0f);
    EXPECT_EQ(g.v_right.y, 0.0f);
    EXPECT_EQ(g.v_up.z, 1.0f);

    const float pitchDown[3] = {30.0f, 0.0f, 0.0f};  // positive pitch looks down
    host.engineTable()->pfnMakeVectors(pitchDown);
    EXPECT_FLOAT_EQ(g.v_forward.x, std::sqrt(3.0f) / 2.0f);
    EXPECT_FLOAT_EQ(g.v_forward.z, -0.5f);
    EXPECT_FLOAT_EQ(g.v_up.x, 0.5f);
}

}  // namespace
}  // namespace hostsim

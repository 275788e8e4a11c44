// The scenario runner: the fixture's hook scenario, and script errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "host.h"
#include "test_support.h"

namespace hostsim {
namespace {

ScenarioOptions WithFixtureDir() {
    ScenarioOptions options;
    options.pluginDirs.push_back(std::filesystem::path(FIXTURE_PLUGIN).parent_path().string());
    return options;
}

TEST(Scenario, FixtureHooksRunAroundTheRealCalls) {
    Host host;
    std::string error;
    ASSERT_TRUE(RunScenario(host, SCENARIO_DIR "/fixture_hooks.scn", WithFixtureDir(), error)) << error;
    const auto& t = host.transcript();
    // pfnSpawn: pre hook, the game's spawn, post hook with the spawn's result.
    const int spawnPre = Find(t, "log: [Fixture] pre pfnSpawn worldspawn");
    const int spawn = Find(t, "call: game pfnSpawn #0 worldspawn");
    const int spawnPost = Find(t, "log: [Fixture] post pfnSpawn worldspawn -> 0");
    EXPECT_GE(spawnPre, 0);
    EXPECT_GT(spawn, spawnPre);
    EXPECT_GT(spawnPost, spawn);
    // pfnMessageBegin: pre hook, then the engine's begin, then the message goes out.
    const int setFov = host.messageId("SetFOV");
    const int beginPre = Find(t, "log: [Fixture] pre pfnMessageBegin dest=1 type=" + std::to_string(setFov), spawnPost);
    const int begin = Find(t, "call: engine pfnMessageBegin 1 " + std::to_string(setFov), spawnPost);
    const int sent = Find(t, "msg: MSG_ONE SetFOV(" + std::to_string(setFov) + ") -> #1 alice: byte 90");
    EXPECT_GE(beginPre, 0);
    EXPECT_GT(begin, beginPre);
    EXPECT_GT(sent, begin);
}

TEST(Scenario, BadLinesNameTheFileAndLine) {
    const struct {
        const char* script;
        const char* error;
    } cases[] = {
        {"map c1a0\nfrobnicate\n", "t.scn:2: a command, not 'frobnicate' (see hlsim --help)"},
        {"frames two 0.1\n", "t.scn:1: a number of frames after 'frames'"},
        {"frames 2\n", "t.scn:1: expected 'frames N DT'"},
        {"# note\n\nset nobody health 5\n", "t.scn:3: a connected player's name or #N, not 'nobody'"},
        {"connect a\nset a velocity 1 2\n", "t.scn:2: three values for velocity"},
        {"connect a\nset a colour 1\n", "t.scn:2: a field ("},
        {"send one NoSuchMsg none\n", "t.scn:1: a registered message name or a number, not 'NoSuchMsg'"},
        {"register M 1\nsend one M none word\n", "t.scn:2: a field TYPE:VALUE, not 'word'"},
        {"register M 1\nsend one M none byte:x\n", "t.scn:2: an integer after 'byte:'"},
        {"hostname \"unterminated\n", "t.scn:1: expected a closing '\"'"},
        {"load no_such_plugin\n", "t.scn:1: a plug-in file for 'no_such_plugin'"},
        {"maxclients 33\n", "t.scn:1: a number from 1 to 32 after 'maxclients'"},
        {"unload nothing\n", "t.scn:1: the alias of a loaded plug-in, not 'nothing'"},
    };
    for (const auto& c : cases) {
        Host host;
        std::string error;
        EXPECT_FALSE(RunScenarioText(host, c.script, "t.scn", {}, error)) << c.script;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

TEST(Scenario, CommandsDriveTheHostAndEchoToTheOutput) {
    Host host;
    std::ostringstream out;
    ScenarioOptions options = WithFixtureDir();
    options.out = &out;
    std::string error;
    const char* script =
        "load fixture_plugin as fx   # a comment\n"
        "gamedir /srv/hlds/valve\n"
        "map crossfire\n"
        "connect \"Alice Smith\"\n"
        "bot bot1\n"
        "deathmatch 0\n"
        "set \"Alice Smith\" flags FL_CLIENT|0x10\n"
        "watch #1 fov\n"
        "send all Health none byte:80 string:\"a b\" coord:-1.5 entity:2\n"
        "command fixture_report\n"
        "time 10\n"
        "frames 2 0.25\n"
        "disconnect bot1\n"
        "unload fx anytime cmd-forced\n";
    ASSERT_TRUE(RunScenarioText(host, script, "s.scn", options, error)) << error;
    EXPECT_EQ(host.config().gameDir, "/srv/hlds/valve");
    EXPECT_EQ(host.globals().deathmatch, 0.0f);
    EXPECT_EQ(host.globals().time, 10.5f);
    EXPECT_EQ(host.edict(1)->v.flags, FL_CLIENT | 0x10);
    ASSERT_FALSE(host.sentMessages().empty());
    const SentMessage& m = host.sentMessages().back();
    EXPECT_EQ(m.dest, MSG_ALL);
    ASSERT_EQ(m.fields.size(), 4u);
    EXPECT_EQ(m.fields[1].s, "a b");
    EXPECT_EQ(m.fields[2].f, -1.5f);
    EXPECT_FALSE(host.plugin(0).attached);
    const std::string text = out.str();
    EXPECT_NE(text.find("> load fixture_plugin as fx   # a comment\n"), std::string::npos);
    EXPECT_NE(text.find("msg: MSG_ALL Health("), std::string::npos);
    EXPECT_NE(text.find(": byte 80, string \"a b\", coord -1.5, entity 2\n"), std::string::npos);
    EXPECT_NE(text.find("log: [Fixture] Meta_Detach now=3 reason=4\n"), std::string::npos);
}

}  // namespace
}  // namespace hostsim

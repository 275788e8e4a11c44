// How calls reach the plug-ins' hooks, and the utility and engine calls they make.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "test_support.h"

namespace hostsim {
namespace {

TEST(Dispatch, PreHooksRunBeforeTheRealCallAndPostHooksAfterWithItsResult) {
    FixtureHost f;
    f.host.setTraceCalls(true);
    f.host.mapStart("crossfire");
    const auto& t = f.host.transcript();
    const int pre = Find(t, "log: [Fixture] pre pfnSpawn worldspawn");
    const int real = Find(t, "call: game pfnSpawn #0 worldspawn");
    const int registered = Find(t, "call: engine pfnRegUserMsg CurWeapon");
    const int post = Find(t, "log: [Fixture] post pfnSpawn worldspawn -> 0");
    EXPECT_TRUE(pre >= 0 && pre < real && real < registered && registered < post);

    // orig_ret of the post pfnRegUserMsg hook points at the id the engine gave.
    const std::string expected = "post pfnRegUserMsg CurWeapon 3 -> " +
                                 std::to_string(f.host.messageId("CurWeapon"));
    EXPECT_EQ(Count(FixtureLines(f.host), expected), 1);
    EXPECT_TRUE(f.host.unsetResults().empty());
}

TEST(Dispatch, SupercedeSkipsTheRealCallAndPostHooksSeeThePluginsValue) {
    FixtureHost f("supercede");
    f.host.setTraceCalls(true);
    EXPECT_GT(f.host.spawn("info_target"), 0);
    EXPECT_EQ(Find(f.host.transcript(), "call: game pfnSpawn"), -1);
    EXPECT_EQ(Count(FixtureLines(f.host), "post pfnSpawn info_target -> 7"), 1);
}

TEST(Dispatch, HooksThatLeaveMresUnsetDrawAWarningEachCall) {
    FixtureHost f("unset");
    f.host.mapStart("crossfire");
    f.host.spawn("info_target");
    const auto& warnings = f.host.unsetResults();
    EXPECT_EQ(Count(warnings, "Fixture: pre hook pfnSpawn left mres unset"), 2);
    EXPECT_EQ(Count(warnings, "Fixture: post hook pfnSpawn left mres unset"), 2);
    EXPECT_GE(Find(f.host.transcript(), "warning: Fixture: pre hook pfnSpawn left mres unset"), 0);
}

TEST(Dispatch, OnlyTheGamesEngineCallsPassThroughEngineHooks) {
    FixtureHost f("echo");
    f.host.mapStart("crossfire");
    const int alice = f.host.connect("alice");
    f.host.clearRecords();
    f.host.sendMessage(MSG_ONE, "SetFOV", alice, {MsgField::Byte(90)});

    // The hook's own message went straight to the engine, before the game's message,
    // and did not come back through the hook.
    const auto lines = FixtureLines(f.host);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "pre pfnMessageBegin dest=1 type=" +
                             std::to_string(f.host.messageId("SetFOV")) + " target=1",
                         "pre pfnWriteByte 90", "pre pfnMessageEnd"}));
    const auto& sent = f.host.sentMessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].name, "FixtureMsg");
    EXPECT_TRUE(sent[0].fromPlugin);
    EXPECT_EQ(sent[1].name, "SetFOV");
    EXPECT_FALSE(sent[1].fromPlugin);
    EXPECT_EQ(sent[1].target, alice);
    ASSERT_EQ(sent[1].fields.size(), 1u);
    EXPECT_EQ(sent[1].fields[0].i, 90);
}

TEST(Dispatch, GetUserMsgIdKnowsOnlyTheGamesRegistrations) {
    FixtureHost f;
    f.host.serverCommand("fixture_msgid CurWeapon");
    f.host.mapStart("crossfire");  // the game registers at the world's spawn
    f.host.serverCommand("fixture_msgid CurWeapon");
    f.host.serverCommand("fixture_msgid FixtureMsg");
    f.host.serverCommand("fixture_msgid NoSuchMsg");
    const auto lines = FixtureLines(f.host);
    EXPECT_EQ(Count(lines, "msgid CurWeapon=0 size=-99"), 1);
    const int id = f.host.messageId("CurWeapon");
    EXPECT_GE(id, 64);
    EXPECT_EQ(Count(lines, "msgid CurWeapon=" + std::to_string(id) + " size=3"), 1);
    EXPECT_EQ(Count(lines, "msgid FixtureMsg=0 size=-99"), 1);
    EXPECT_EQ(f.host.messageId("FixtureMsg"), 64);  // registered before the game's
    EXPECT_EQ(Count(lines, "msgid NoSuchMsg=0 size=-99"), 1);
}

TEST(Dispatch, MessageRegistrationFailsWhenTold) {
    Host host;
    host.failMessageRegistration(true);
    EXPECT_EQ(host.registerMessage("Later", -1), 0);
    host.failMessageRegistration(false);
    const int id = host.registerMessage("Later", -1);
    EXPECT_EQ(id, 64);
    EXPECT_EQ(host.registerMessage("Later", -1), id);  // the same name keeps its id
    EXPECT_EQ(host.registerMessage("Other", 1), 65);
}

TEST(Dispatch, TheEngineKeepsItsOwnCopyOfAPluginsCvar) {
    FixtureHost f;
    ASSERT_TRUE(f.host.cvarRegistered("fixture_value"));
    f.host.setCvar("fixture_value", "5.5");
    f.host.serverCommand("fixture_report");
    EXPECT_EQ(Count(FixtureLines(f.host), "own=1/0 engine=5.5/5.5 float=5.5"), 1);
}

TEST(Dispatch, UtilityLogCallsWriteTaggedLinesAndDeveloperOnlyWhenSet) {
    FixtureHost f;
    f.host.serverCommand("fixture_log");
    f.host.setCvar("developer", "1");
    f.host.serverCommand("fixture_log");
    std::vector<std::string> tagged;
    for (const std::string& line : f.host.serverLog())
        if (line.rfind("[Fixture] ", 0) == 0 && line.back() != '\n') tagged.push_back(line);
    EXPECT_EQ(tagged, (std::vector<std::string>{
                          "[Fixture] message 1", "[Fixture] ERROR: error two",
                          "[Fixture] message 1", "[Fixture] ERROR: error two",
                          "[Fixture] dev: developer 3"}));
}

TEST(Dispatch, UnimplementedEngineSlotsAreRecorded) {
    FixtureHost f;
    f.host.serverCommand("fixture_unexpected");
    EXPECT_EQ(f.host.unexpectedCalls(), std::vector<std::string>{"pfnPrecacheModel"});
    EXPECT_GE(Find(f.host.transcript(), "unexpected engine call: pfnPrecacheModel"), 0);
}

TEST(Dispatch, EngineTableCarriesTrailingNullsAndAlertMessageWritesExactText) {
    Host host;
    const auto* slots = reinterpret_cast<void* const*>(host.engineTable());
    // The table the manager hands out is followed by five null pointers.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(slots[ENGINE_FUNCS_SLOTS + i], nullptr);

    host.engineTable()->pfnAlertMessage(at_logged, "%s=%d\n", "a", 1);
    host.engineTable()->pfnAlertMessage(at_console, "%.1f", 2.25);
    EXPECT_EQ(host.serverLog(), std::vector<std::string>{"a=1\n"});
    EXPECT_EQ(host.console(), std::vector<std::string>{"2.2"});
}

}  // namespace
}  // namespace hostsim

namespace hostsim {
namespace {

TEST(Dispatch, ServerCommandRunsEachCommandOfTheTextAtOnce) {
    FixtureHost f;
    f.host.engineTable()->pfnServerCommand("fixture_value 3; fixture_report\nhostname \"a;b\"\n");
    EXPECT_EQ(Count(FixtureLines(f.host), "own=1/0 engine=3/3 float=3"), 1);
    EXPECT_EQ(f.host.cvarString("hostname"), "a;b");
}

}  // namespace
}  // namespace hostsim

// The plug-in manager's load protocol, driven with the fixture plug-in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "test_support.h"

namespace hostsim {
namespace {

TEST(LoadProtocol, CallsEntryPointsAndGettersInTheManagersOrder) {
    FixtureHost f;
    ASSERT_EQ(f.index, 0);
    EXPECT_EQ(WithoutSizes(FixtureLines(f.host)),
              (std::vector<std::string>{
                  "GiveFnptrsToDll",
                  "Meta_Query 5:13 util=1",
                  "Meta_Attach now=1 zeroed=1 msgid CurWeapon=0",
                  "GetNewDLLFunctions version=1 zeroed=1",
                  "GetEntityAPI2 version=140 zeroed=1",
                  "GetEntityAPI2_Post version=140 zeroed=1",
                  "GetEngineFunctions version=138 zeroed=1",
                  "GetEngineFunctions_Post version=138 zeroed=1",
              }));
    const PluginRecord& p = f.host.plugin(0);
    EXPECT_TRUE(p.attached);
    EXPECT_TRUE(p.hasEnginePre && p.hasEnginePost && p.hasGamePre && p.hasGamePost);
    EXPECT_NE(p.enginePre.pfnMessageBegin, nullptr);
    EXPECT_NE(p.gamePost.pfnSpawn, nullptr);
    EXPECT_EQ(p.gamePre.pfnStartFrame, nullptr);
}

TEST(LoadProtocol, GetterBuffersHoldExactlyTheManagersSlotCount) {
    FixtureHost f;
    std::vector<std::string> lines = FixtureLines(f.host);
    const struct {
        const char* getter;
        std::size_t bytes;
    } cases[] = {
        {"GetNewDLLFunctions ", 5 * sizeof(void*)},
        {"GetEntityAPI2 ", 50 * sizeof(void*)},
        {"GetEntityAPI2_Post ", 50 * sizeof(void*)},
        {"GetEngineFunctions ", 158 * sizeof(void*)},
        {"GetEngineFunctions_Post ", 158 * sizeof(void*)},
    };
    for (const auto& c : cases) {
        const int at = Find(lines, c.getter);
        ASSERT_GE(at, 0) << c.getter;
        const std::string& line = lines[static_cast<std::size_t>(at)];
        const std::size_t size = std::stoul(line.substr(line.find("size=") + 5));
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_EQ(size, c.bytes) << line;  // the allocation's exact size
#else
        EXPECT_GE(size, c.bytes) << line;
#endif
    }
}

TEST(LoadProtocol, RejectsWhatTheManagerRejects) {
    const struct {
        const char* options;
        const char* ifvers;
        bool loads;
        const char* managerLine;  // start of the "[META] " line expected, "" for none
    } cases[] = {
        {"", "5:13", true, ""},
        {"ifvers=5:10", "5:13", true, "[META] Fixture: older interface version accepted"},
        {"ifvers=5:14", "5:13", false, "[META] Fixture: rejected: interface version too new"},
        {"ifvers=6:0", "5:13", false, "[META] Fixture: rejected: interface version too new"},
        {"ifvers=4:20", "5:13", false, "[META] Fixture: rejected: interface version too old"},
        {"ifvers=5:13", "5:20", true, "[META] Fixture: older interface version accepted"},
        {"query=0", "5:13", false, "[META] fixture_plugin.so: rejected: Meta_Query answered 0"},
        {"query=2", "5:13", false, "[META] fixture_plugin.so: rejected: Meta_Query answered 2"},
        {"noinfo", "5:13", false, "[META] fixture_plugin.so: rejected: Meta_Query gave no plugin info"},
        {"attach=0", "5:13", false, "[META] Fixture: rejected: Meta_Attach answered 0"},
        {"attach=2", "5:13", false, "[META] Fixture: rejected: Meta_Attach answered 2"},
    };
    for (const auto& c : cases) {
        LoadOptions load;
        load.ifvers = c.ifvers;
        FixtureHost f(c.options, load);
        SCOPED_TRACE(c.options);
        EXPECT_EQ(f.index >= 0, c.loads);
        std::vector<std::string> meta;
        for (const std::string& line : f.host.serverLog())
            if (line.rfind("[META] ", 0) == 0) meta.push_back(line);
        if (c.managerLine[0] == '\0') {
            EXPECT_TRUE(meta.empty());
        } else {
            ASSERT_EQ(meta.size(), 1u);
            EXPECT_EQ(meta[0].rfind(c.managerLine, 0), 0u) << meta[0];
        }
        // A rejected plug-in is never attached, so its getters are not called.
        EXPECT_EQ(Find(FixtureLines(f.host), "GetEngineFunctions ") >= 0, c.loads);
    }
}

TEST(LoadProtocol, MissingFileIsRejectedWithAManagerLine) {
    Host host;
    EXPECT_EQ(host.load("no/such/plugin.so"), -1);
    ASSERT_EQ(host.serverLog().size(), 1u);
    EXPECT_EQ(host.serverLog()[0].rfind("[META] plugin.so: rejected: cannot copy", 0), 0u);
    EXPECT_EQ(host.pluginCount(), 0);
}

TEST(LoadProtocol, FailingGetterIsLoggedAndItsTableKept) {
    LoadOptions load;
    load.engineVersion = 137;
    FixtureHost f("fail", load);
    ASSERT_EQ(f.index, 0);
    EXPECT_GE(Find(FixtureLines(f.host), "GetEngineFunctions version=137 "), 0);
    EXPECT_EQ(Count(f.host.serverLog(),
                    "[META] Fixture: GetEngineFunctions failed (asked for version 137, plug-in "
                    "has 137); its table is kept"),
              1);
    // The hooks stay active.
    f.host.mapStart("crossfire");
    EXPECT_EQ(Count(FixtureLines(f.host), "pre pfnSpawn worldspawn"), 1);
}

TEST(LoadProtocol, OldEntityApiOnlyWhenNoApi2GetterIsListed) {
    FixtureHost f("api1");
    const auto lines = WithoutSizes(FixtureLines(f.host));
    EXPECT_EQ(Find(lines, "GetEntityAPI2"), -1);
    const int pre = Find(lines, "GetEntityAPI version=140");
    const int post = Find(lines, "GetEntityAPI_Post version=140");
    const int engine = Find(lines, "GetEngineFunctions ");
    EXPECT_TRUE(pre >= 0 && pre < post && post < engine);
    EXPECT_TRUE(f.host.plugin(0).hasGamePre);
}

TEST(LoadProtocol, NullUtilityTableIsPassedWhenAsked) {
    LoadOptions load;
    load.nullUtilFuncs = true;
    load.loadTime = PT_CHANGELEVEL;
    // The fixture cannot attach without a utility table (it reads a message id there),
    // so answer 0 from Meta_Query instead.
    FixtureHost f("query=0", load);
    EXPECT_EQ(f.index, -1);
    EXPECT_EQ(Count(FixtureLines(f.host), "Meta_Query 5:13 util=0"), 1);
}

TEST(LoadProtocol, EachLoadGetsFreshStaticState) {
    FixtureHost f;
    const int second = f.host.load(FIXTURE_PLUGIN);
    ASSERT_EQ(second, 1);
    using OwnCvar = cvar_t* (*)();
    auto first = reinterpret_cast<OwnCvar>(f.host.symbol(0, "Fixture_OwnCvar"));
    auto other = reinterpret_cast<OwnCvar>(f.host.symbol(1, "Fixture_OwnCvar"));
    ASSERT_TRUE(first && other);
    EXPECT_NE(first(), other());
    EXPECT_NE(f.host.plugin(0).loadedCopy, f.host.plugin(1).loadedCopy);
    EXPECT_EQ(f.host.plugin(0).path, f.host.plugin(1).path);
}

TEST(LoadProtocol, UnloadCallsMetaDetachAndHonoursItsAnswer) {
    FixtureHost refuses("detach=0");
    EXPECT_EQ(refuses.host.unload(0, PT_ANYPAUSE, PNL_CMD_FORCED), 0);
    EXPECT_EQ(Count(FixtureLines(refuses.host), "Meta_Detach now=4 reason=4"), 1);
    EXPECT_TRUE(refuses.host.plugin(0).attached);

    FixtureHost agrees;
    EXPECT_EQ(agrees.host.unload(0, PT_ANYTIME, PNL_COMMAND), 1);
    EXPECT_FALSE(agrees.host.plugin(0).attached);
    agrees.host.mapStart("crossfire");  // its hooks are gone
    EXPECT_EQ(Find(FixtureLines(agrees.host), "pre pfnSpawn"), -1);
}

TEST(LoadProtocol, ShutdownDoesNotDetach) {
    std::vector<std::string> lines;
    {
        FixtureHost f;
        f.host.onTranscript([&lines](const std::string& line) { lines.push_back(line); });
    }
    EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace hostsim

// Version negotiation, attach and detach of both deliverables, the banner, the
// developer trace and the server-log function, called as the plug-in manager calls them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "plugin_under_test.h"

namespace frametest {
namespace {

enum class Step { Query, Attach, Detach };

struct Case {
    const char* label = "";
    Step step = Step::Query;
    const char* hostVersion = nullptr;  // Query
    PLUG_LOADTIME now = PT_STARTUP;     // Attach, Detach
    bool nullGlobals = false;           // Attach
    bool nullTable = false;             // Attach
    PL_UNLOAD_REASON reason = PNL_COMMAND;  // Detach
    int result = 0;
    std::vector<UtilCall> calls;
    const char* ifversAfter = nullptr;  // Query: ifvers afterwards
};

UtilCall Message(std::string text) { return {"LogMessage", std::move(text)}; }
UtilCall Error(std::string text) { return {"LogError", std::move(text)}; }
UtilCall Mismatch(const std::string& requested, const std::string& ours) {
    return Message("WARNING: meta-interface version mismatch; requested=" + requested +
                   " ours=" + ours);
}
const UtilCall kTooOld = Error("metamod version is too old for this plugin; update metamod");
const UtilCall kIncompatible = Error(
    "metamod version is incompatible with this plugin; please find a newer version of this plugin");
const UtilCall kNewer = Message(
    "WARNING: metamod version is newer than expected; consider finding a newer version of this "
    "plugin");
const UtilCall kCantLoad = Error("Can't load plugin right now");
const UtilCall kCantUnload = Error("Can't unload plugin right now");
const UtilCall kNullGlobals = Error("Meta_Attach called with null pMGlobals");
const UtilCall kNullTable = Error("Meta_Attach called with null pFunctionTable");
const UtilCall kStampLine = Message("compiled: <stamp> EET");

Case Query(const char* label, const char* hostVersion, int result, std::vector<UtilCall> calls,
           const char* ifversAfter) {
    Case c;
    c.label = label;
    c.step = Step::Query;
    c.hostVersion = hostVersion;
    c.result = result;
    c.calls = std::move(calls);
    c.ifversAfter = ifversAfter;
    return c;
}

Case Attach(const char* label, PLUG_LOADTIME now, bool nullGlobals, bool nullTable, int result,
            std::vector<UtilCall> calls) {
    Case c;
    c.label = label;
    c.step = Step::Attach;
    c.now = now;
    c.nullGlobals = nullGlobals;
    c.nullTable = nullTable;
    c.result = result;
    c.calls = std::move(calls);
    return c;
}

Case Detach(const char* label, PLUG_LOADTIME now, PL_UNLOAD_REASON reason, int result,
            std::vector<UtilCall> calls) {
    Case c;
    c.label = label;
    c.step = Step::Detach;
    c.now = now;
    c.reason = reason;
    c.result = result;
    c.calls = std::move(calls);
    return c;
}

// The stamp varies with the build; its format does not.
std::vector<UtilCall> WithStampPlaceholder(std::vector<UtilCall> calls) {
    static const std::regex stamp(
        R"(compiled: (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 1-3][0-9] [0-9]{4}, [0-2][0-9]:[0-5][0-9]:[0-6][0-9] EET)");
    for (UtilCall& call : calls) {
        if (call.slot == "LogMessage" && std::regex_match(call.text, stamp)) {
            call.text = kStampLine.text;
        }
    }
    return calls;
}

std::vector<UtilCall> Banner(const plugin_info_t& info) {
    return {Message(std::string(info.name) + " v" + info.version + ", " + info.date),
            Message(std::string("by ") + info.author), Message(std::string("   ") + info.url),
            kStampLine};
}

// The getters the deliverable lists in META_FUNCTIONS, by slot.
META_FUNCTIONS ExpectedGetters(PluginUnderTest& plugin, const std::vector<const char*>& names) {
    META_FUNCTIONS functions{};
    for (const char* name : names) {
        if (std::strcmp(name, "GetEntityAPI2") == 0) {
            functions.pfnGetEntityAPI2 = plugin.entry<GETENTITYAPI2_FN>(name);
        } else if (std::strcmp(name, "GetEntityAPI2_Post") == 0) {
            functions.pfnGetEntityAPI2_Post = plugin.entry<GETENTITYAPI2_FN>(name);
        } else if (std::strcmp(name, "GetEngineFunctions") == 0) {
            functions.pfnGetEngineFunctions = plugin.entry<GET_ENGINE_FUNCTIONS_FN>(name);
        } else if (std::strcmp(name, "GetEngineFunctions_Post") == 0) {
            functions.pfnGetEngineFunctions_Post = plugin.entry<GET_ENGINE_FUNCTIONS_FN>(name);
        }
    }
    return functions;
}

void RunCases(const Deliverable& deliverable, const std::vector<const char*>& getters,
              const std::vector<Case>& cases) {
    if (deliverable.path[0] == '\0') {
        GTEST_SKIP() << deliverable.name << " is not built";
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PluginUnderTest plugin(deliverable);
        ASSERT_TRUE(plugin.loaded());
        ASSERT_NE(plugin.info(), nullptr);
        plugin.calls().clear();
        int result = -1;
        std::vector<UtilCall> expected = c.calls;
        switch (c.step) {
            case Step::Query: {
                plugin_info_t* info = nullptr;
                result = plugin.entry<META_QUERY_FN>("Meta_Query")(c.hostVersion, &info,
                                                                  plugin.utilTable());
                EXPECT_EQ(info, plugin.info()) << "the record's address is handed out";
                EXPECT_STREQ(plugin.info()->ifvers, c.ifversAfter);
                break;
            }
            case Step::Attach: {
                META_FUNCTIONS table;
                std::memset(&table, 0xA5, sizeof table);
                const META_FUNCTIONS untouched = table;
                meta_globals_t globals{};
                gamedll_funcs_t gameTables{};
                result = plugin.entry<META_ATTACH_FN>("Meta_Attach")(
                    c.now, c.nullTable ? nullptr : &table, c.nullGlobals ? nullptr : &globals,
                    &gameTables);
                const META_FUNCTIONS wanted =
                    result == 1 ? ExpectedGetters(plugin, getters) : untouched;
                EXPECT_EQ(std::memcmp(&table, &wanted, sizeof table), 0)
                    << "META_FUNCTIONS filled exactly with the listed getters";
                if (result == 1) {
                    expected = Banner(*plugin.info());
                }
                break;
            }
            case Step::Detach:
                result = plugin.entry<META_DETACH_FN>("Meta_Detach")(c.now, c.reason);
                break;
        }
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(WithStampPlaceholder(plugin.calls()), expected);
        for (const UtilCall& call : plugin.calls()) {
            EXPECT_EQ(call.plid, plugin.info()) << "plid of " << call.text;
        }
    }
}

TEST(Registration, HopwickNegotiatesAttachesAndDetaches) {
    const std::vector<Case> cases = {
        Query("same version", "5:8", 1, {}, "5:8"),
        Query("newer minor is adopted silently", "5:9", 1, {}, "5:9"),
        Query("older minor", "5:7", 0, {Mismatch("5:7", "5:8"), kTooOld}, "5:8"),
        Query("newer major", "6:0", 0, {Mismatch("6:0", "5:8"), kIncompatible}, "5:8"),
        Query("older major", "4:20", 0, {Mismatch("4:20", "5:8"), kTooOld}, "5:8"),
        Query("same numbers, other text", "5:08", 1,
              {Mismatch("5:08", "5:8"),
               Error("unexpected version comparison; metavers=5:08, mmajor=5, mminor=8; "
                     "plugvers=5:8, pmajor=5, pminor=8")},
              "5:8"),
        Query("letters count as 0:0", "abc", 0, {Mismatch("abc", "5:8"), kTooOld}, "5:8"),
        Query("no colon counts as n:0", "5", 0, {Mismatch("5", "5:8"), kTooOld}, "5:8"),
        Query("out-of-range numbers", "99999999999:1", 0,
              {Mismatch("99999999999:1", "5:8"), kIncompatible}, "5:8"),
        Attach("at startup", PT_STARTUP, false, false, 1, {}),
        Attach("at a map change", PT_CHANGELEVEL, false, false, 1, {}),
        Attach("at any time", PT_ANYTIME, false, false, 0, {kCantLoad}),
        Attach("load time checked first", PT_ANYPAUSE, true, true, 0, {kCantLoad}),
        Attach("null globals and table", PT_STARTUP, true, true, 0, {kNullGlobals}),
        Attach("null table", PT_STARTUP, false, true, 0, {kNullTable}),
        Detach("at a map change", PT_CHANGELEVEL, PNL_COMMAND, 1, {}),
        Detach("at any time", PT_ANYTIME, PNL_COMMAND, 0, {kCantUnload}),
        Detach("at any time, forced", PT_ANYTIME, PNL_CMD_FORCED, 1, {}),
        Detach("paused, forced by a plug-in", PT_ANYPAUSE, PNL_PLG_FORCED, 0, {kCantUnload}),
    };
    RunCases(Hopwick(), {"GetEntityAPI2", "GetEntityAPI2_Post", "GetEngineFunctions"}, cases);
}

TEST(Registration, KestrumNegotiatesAttachesAndDetaches) {
    const std::vector<Case> cases = {
        Query("same version", "5:6", 1, {}, "5:6"),
        Query("newer minor warns", "5:7", 1, {Mismatch("5:7", "5:6"), kNewer}, "5:6"),
        Query("older minor", "5:5", 0, {Mismatch("5:5", "5:6"), kTooOld}, "5:6"),
        Query("newer major", "6:0", 0, {Mismatch("6:0", "5:6"), kIncompatible}, "5:6"),
        Query("older major", "4:20", 0, {Mismatch("4:20", "5:6"), kTooOld}, "5:6"),
        Query("same numbers, other text", "5:06", 1,
              {Mismatch("5:06", "5:6"),
               Error("unexpected version comparison; metavers=5:06, mmajor=5, mminor=6; "
                     "plugvers=5:6, pmajor=5, pminor=6")},
              "5:6"),
        Query("letters count as 0:0", "abc", 0, {Mismatch("abc", "5:6"), kTooOld}, "5:6"),
        Query("no colon counts as n:0", "5", 0, {Mismatch("5", "5:6"), kTooOld}, "5:6"),
        Attach("at startup", PT_STARTUP, false, false, 1, {}),
        Attach("at a map change", PT_CHANGELEVEL, false, false, 0, {kCantLoad}),
        Attach("null globals and table", PT_STARTUP, true, true, 0, {kNullGlobals}),
        Attach("null table", PT_STARTUP, false, true, 0, {kNullTable}),
        Detach("at any time", PT_ANYTIME, PNL_COMMAND, 1, {}),
        Detach("paused", PT_ANYPAUSE, PNL_COMMAND, 1, {}),
    };
    RunCases(Kestrum(), {"GetEntityAPI2", "GetEngineFunctions", "GetEngineFunctions_Post"}, cases);
}

// The record the host reads: display name, version, date, tag and load times.
TEST(Registration, InfoRecordsHoldTheirValues) {
    struct Row {
        const Deliverable& (*deliverable)();
        const char* ifvers;
        const char* name;
        const char* version;
        const char* date;
        const char* logtag;
        PLUG_LOADTIME loadable;
        PLUG_LOADTIME unloadable;
    };
    const Row rows[] = {
        {Hopwick, "5:8", "Hopwick Plugin", "1.1", "15.5.2002", "Hopwick MM", PT_CHANGELEVEL,
         PT_CHANGELEVEL},
        {Kestrum, "5:6", "Gunkestrum", "1.6", "18.1.2002 (dd.mm.yy)", "Kestrum", PT_STARTUP,
         PT_ANYPAUSE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.deliverable().name);
        if (row.deliverable().path[0] == '\0') {
            continue;
        }
        PluginUnderTest plugin(row.deliverable());
        ASSERT_TRUE(plugin.loaded());
        const plugin_info_t& info = *plugin.info();
        EXPECT_STREQ(info.ifvers, row.ifvers);
        EXPECT_STREQ(info.name, row.name);
        EXPECT_STREQ(info.version, row.version);
        EXPECT_STREQ(info.date, row.date);
        EXPECT_STREQ(info.logtag, row.logtag);
        EXPECT_EQ(info.loadable, row.loadable);
        EXPECT_EQ(info.unloadable, row.unloadable);
        EXPECT_GT(std::strlen(info.author), 0u);
        EXPECT_GT(std::strlen(info.url), 0u);
    }
}

TEST(Registration, HopwickAdoptsEachNewerHostVersionInTurn) {
    PluginUnderTest plugin(Hopwick());
    ASSERT_TRUE(plugin.loaded());
    auto query = plugin.entry<META_QUERY_FN>("Meta_Query");
    plugin_info_t* info = nullptr;
    EXPECT_EQ(query("5:9", &info, plugin.utilTable()), 1);
    EXPECT_STREQ(info->ifvers, "5:9");
    EXPECT_EQ(query("5:9", &info, plugin.utilTable()), 1);
    EXPECT_EQ(query("5:10", &info, plugin.utilTable()), 1);
    EXPECT_STREQ(info->ifvers, "5:10");
    // The built-in version still decides: the host's older 5:8 now differs from the
    // adopted text but has the same numbers.
    plugin.calls().clear();
    EXPECT_EQ(query("5:8", &info, plugin.utilTable()), 1);
    EXPECT_EQ(plugin.calls(),
              (std::vector<UtilCall>{
                  Mismatch("5:8", "5:10"),
                  Error("unexpected version comparison; metavers=5:8, mmajor=5, mminor=8; "
                        "plugvers=5:8, pmajor=5, pminor=8")}));
    EXPECT_STREQ(info->ifvers, "5:10");
}

#if defined(__SANITIZE_ADDRESS__)
#define HL_LEAK_CHECKED 1
#else
#include <malloc.h>
#endif

// Each adoption replaces the previous copy; the replaced copy is released. Under the
// address sanitizer its leak checker reports a lost copy at exit; elsewhere the heap's
// own count shows it.
TEST(Registration, AdoptingAgainReleasesTheReplacedCopy) {
    PluginUnderTest plugin(Hopwick());
    ASSERT_TRUE(plugin.loaded());
    auto query = plugin.entry<META_QUERY_FN>("Meta_Query");
    plugin_info_t* info = nullptr;
    const std::string texts[2] = {"5:9 " + std::string(8000, 'a'), "5:9 " + std::string(8000, 'b')};
    ASSERT_EQ(query(texts[1].c_str(), &info, plugin.utilTable()), 1);
#if !defined(HL_LEAK_CHECKED)
    const auto before = mallinfo2().uordblks;
#endif
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(query(texts[i % 2].c_str(), &info, plugin.utilTable()), 1);
        ASSERT_EQ(info->ifvers, texts[i % 2]);
    }
#if !defined(HL_LEAK_CHECKED)
    const auto after = mallinfo2().uordblks;
    EXPECT_LT(after - before, std::size_t{64 * 1024}) << "heap grew by " << after - before;
#endif
    EXPECT_TRUE(plugin.calls().empty());
}

TEST(Registration, NullUtilityTableIsRefusedInTheServerLog) {
    hostsim::Host host;
    hostsim::LoadOptions options;
    options.nullUtilFuncs = true;
    EXPECT_EQ(host.load(HOPWICK_MM_PATH, options), -1);
    EXPECT_TRUE(ServerLogHas(host, "[Hopwick MM] ERROR: Meta_Query called with null pMetaUtilFuncs\n"));

    // Called directly: the place for the record's address is left alone.
    PluginUnderTest plugin(Hopwick());
    ASSERT_TRUE(plugin.loaded());
    plugin_info_t sentinel{};
    plugin_info_t* place = &sentinel;
    EXPECT_EQ(plugin.entry<META_QUERY_FN>("Meta_Query")("5:8", &place, nullptr), 0);
    EXPECT_EQ(place, &sentinel);
}

TEST(Registration, DeveloperTraceFollowsTheTruncatedValue) {
    struct Row {
        float developer;
        bool trace;
    };
    for (const Row& row : {Row{0.0f, false}, Row{0.9f, false}, Row{-0.9f, false},
                           Row{1.0f, true}, Row{2.5f, true}, Row{-1.0f, true}}) {
        SCOPED_TRACE(row.developer);
        hostsim::HostConfig config;
        config.developer = row.developer;
        hostsim::Host host(config);
        hostsim::LoadOptions options;
        options.ifvers = "5:13";
        ASSERT_GE(host.load(HOPWICK_MM_PATH, options), 0);
        EXPECT_TRUE(ServerLogHas(host, "[Hopwick MM] dev: called: GiveFnptrsToDll\n"));
        EXPECT_EQ(ServerLogHas(host, "[Hopwick MM] dev: called: Meta_Query; version=5:13, ours=5:8\n"),
                  row.trace);
    }
}

// The log buffer holds 1023 characters and the terminator; longer text is cut there.
TEST(Registration, OverlongServerLogTextIsCut) {
    hostsim::HostConfig config;
    config.developer = 1.0f;
    hostsim::Host host(config);
    hostsim::LoadOptions options;
    options.ifvers = "5:9" + std::string(3000, 'x');
    ASSERT_GE(host.load(HOPWICK_MM_PATH, options), 0);
    const std::string prefix = "[Hopwick MM] dev: called: Meta_Query; version=5:9xxx";
    const std::vector<std::string> log = host.serverLog();
    auto line = std::find_if(log.begin(), log.end(), [&](const std::string& l) {
        return l.find(prefix) != std::string::npos;
    });
    ASSERT_NE(line, log.end());
    const std::string text = line->substr(line->find(prefix));
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_EQ(text.find_first_not_of('x', prefix.size()), std::string::npos);
}

}  // namespace
}  // namespace frametest

// The hook-table getters of both deliverables: their checks, their log texts, the
// extent of the copy, and exactly which hooks the handed-out tables hold.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "plugin_under_test.h"

namespace frametest {
namespace {

#define ENGINE_SLOT(name) static_cast<int>(offsetof(enginefuncs_t, name) / sizeof(void*))
#define GAME_SLOT(name) static_cast<int>(offsetof(DLL_FUNCTIONS, name) / sizeof(void*))

template <typename Table>
std::set<int> SetSlots(const Table& table) {
    void* slots[sizeof(Table) / sizeof(void*)];
    std::memcpy(slots, &table, sizeof slots);
    std::set<int> set;
    for (std::size_t i = 0; i < sizeof(Table) / sizeof(void*); ++i) {
        if (slots[i] != nullptr) {
            set.insert(static_cast<int>(i));
        }
    }
    return set;
}

bool Skip(const Deliverable& deliverable) { return deliverable.path[0] == '\0'; }

TEST(HandedOutTables, HopwickHoldsExactlyItsHooks) {
    PluginUnderTest plugin(Hopwick());
    ASSERT_TRUE(plugin.loaded());
    const hostsim::PluginRecord& record = plugin.record();
    ASSERT_TRUE(record.hasEnginePre && record.hasGamePre && record.hasGamePost);
    EXPECT_FALSE(record.hasEnginePost);
    EXPECT_EQ(SetSlots(record.enginePre),
              (std::set<int>{ENGINE_SLOT(pfnMessageBegin), ENGINE_SLOT(pfnMessageEnd),
                             ENGINE_SLOT(pfnWriteByte)}));
    EXPECT_EQ(SetSlots(record.gamePre), (std::set<int>{GAME_SLOT(pfnServerDeactivate)}));
    EXPECT_EQ(SetSlots(record.gamePost), (std::set<int>{GAME_SLOT(pfnPlayerPostThink)}));
}

TEST(HandedOutTables, KestrumHoldsExactlyItsHooks) {
    if (Skip(Kestrum())) {
        GTEST_SKIP() << "kestrum_mm is not built";
    }
    PluginUnderTest plugin(Kestrum());
    ASSERT_TRUE(plugin.loaded());
    const hostsim::PluginRecord& record = plugin.record();
    ASSERT_TRUE(record.hasEnginePre && record.hasEnginePost && record.hasGamePre);
    EXPECT_FALSE(record.hasGamePost);
    EXPECT_EQ(SetSlots(record.enginePre),
              (std::set<int>{ENGINE_SLOT(pfnMessageBegin), ENGINE_SLOT(pfnMessageEnd),
                             ENGINE_SLOT(pfnWriteString), ENGINE_SLOT(pfnWriteByte),
                             ENGINE_SLOT(pfnWriteChar), ENGINE_SLOT(pfnWriteShort),
                             ENGINE_SLOT(pfnWriteLong)}));
    // The four integer writes share one hook.
    EXPECT_EQ(record.enginePre.pfnWriteChar, record.enginePre.pfnWriteByte);
    EXPECT_EQ(record.enginePre.pfnWriteShort, record.enginePre.pfnWriteByte);
    EXPECT_EQ(record.enginePre.pfnWriteLong, record.enginePre.pfnWriteByte);
    EXPECT_EQ(SetSlots(record.enginePost), (std::set<int>{ENGINE_SLOT(pfnRegUserMsg)}));
    EXPECT_EQ(SetSlots(record.gamePre),
              (std::set<int>{GAME_SLOT(pfnSpawn), GAME_SLOT(pfnClientDisconnect)}));
}

struct EngineCase {
    const char* label;
    const Deliverable& (*deliverable)();
    const char* getter;
    bool nullTable;
    int version;
    int result;
    int versionAfter;
    const char* logText;  // "" for none
    int slotsCopied;      // 0 for no copy
};

// The host's buffer is prefilled with a sentinel: a copy covers exactly the
// deliverable's slots, a refusal leaves the buffer alone.
TEST(Getters, EngineGettersCheckAndCopyTheirSlots) {
    const EngineCase cases[] = {
        {"hopwick copies 144", Hopwick, "GetEngineFunctions", false, 138, 1, 138, "", 144},
        {"hopwick wrong version", Hopwick, "GetEngineFunctions", false, 137, 0, 138,
         "Hopwick MM: GetEngineFunctions version mismatch; requested=137 ours=138", 0},
        {"hopwick null table", Hopwick, "GetEngineFunctions", true, 137, 0, 137,
         "Hopwick MM: GetEngineFunctions called with null pengfuncsFromEngine", 0},
        {"kestrum copies 143", Kestrum, "GetEngineFunctions", false, 138, 1, 138, "", 143},
        {"kestrum post copies 143", Kestrum, "GetEngineFunctions_Post", false, 138, 1, 138, "",
         143},
        {"kestrum wrong version", Kestrum, "GetEngineFunctions", false, 139, 0, 138,
         "Kestrum: GetEngineFunctions version mismatch; requested=139 ours=138", 0},
        {"kestrum post wrong version", Kestrum, "GetEngineFunctions_Post", false, 137, 0, 138,
         "Kestrum: GetEngineFunctions version mismatch; requested=137 ours=138", 0},
        {"kestrum post null table", Kestrum, "GetEngineFunctions_Post", true, 138, 0, 138,
         "Kestrum: GetEngineFunctions called with null pengfuncsFromEngine", 0},
    };
    for (const EngineCase& c : cases) {
        SCOPED_TRACE(c.label);
        if (Skip(c.deliverable())) {
            continue;
        }
        PluginUnderTest plugin(c.deliverable());
        ASSERT_TRUE(plugin.loaded());
        plugin.host().clearRecords();
        const bool post = std::strcmp(c.getter, "GetEngineFunctions_Post") == 0;
        const enginefuncs_t& handedOut = post ? plugin.record().enginePost : plugin.record().enginePre;

        enginefuncs_t buffer;
        std::memset(&buffer, 0x5A, sizeof buffer);
        const enginefuncs_t before = buffer;
        int version = c.version;
        auto getter = plugin.entry<GET_ENGINE_FUNCTIONS_FN>(c.getter);
        ASSERT_NE(getter, nullptr);
        EXPECT_EQ(getter(c.nullTable ? nullptr : &buffer, &version), c.result);
        EXPECT_EQ(version, c.versionAfter);

        const std::size_t copied = static_cast<std::size_t>(c.slotsCopied) * sizeof(void*);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&buffer);
        EXPECT_EQ(std::memcmp(bytes, &handedOut, copied), 0) << "the hook table is copied";
        EXPECT_EQ(std::memcmp(bytes + copied, reinterpret_cast<const unsigned char*>(&before) + copied,
                              sizeof buffer - copied),
                  0)
            << "slots past the copy are untouched";
        if (c.logText[0] != '\0') {
            EXPECT_TRUE(ServerLogHas(plugin.host(), c.logText));
        } else {
            EXPECT_TRUE(plugin.host().serverLog().empty());
        }
    }
}

struct GameCase {
    const char* label;
    const Deliverable& (*deliverable)();
    const char* getter;
    bool nullTable;
    int version;
    int result;
    int versionAfter;
    std::vector<UtilCall> calls;
};

UtilCall Developer(std::string text) { return {"LogDeveloper", std::move(text)}; }
UtilCall Error(std::string text) { return {"LogError", std::move(text)}; }

TEST(Getters, GameGettersTraceCheckAndCopy) {
    const GameCase cases[] = {
        {"hopwick pre", Hopwick, "GetEntityAPI2", false, 140, 1, 140,
         {Developer("called: GetEntityAPI2; version=140")}},
        {"hopwick pre null table", Hopwick, "GetEntityAPI2", true, 139, 0, 139,
         {Developer("called: GetEntityAPI2; version=139"),
          Error("GetEntityAPI2 called with null\tpFunctionTable")}},
        {"hopwick pre wrong version", Hopwick, "GetEntityAPI2", false, 139, 0, 140,
         {Developer("called: GetEntityAPI2; version=139"),
          Error("GetEntityAPI2 version mismatch; requested=139 ours=140")}},
        {"hopwick post", Hopwick, "GetEntityAPI2_Post", false, 140, 1, 140,
         {Developer("called: GetEntityAPI2_Post; version=140")}},
        {"hopwick post null table", Hopwick, "GetEntityAPI2_Post", true, 140, 0, 140,
         {Developer("called: GetEntityAPI2_Post; version=140"),
          Error("GetEntityAPI2_Post called with\tnull pFunctionTable")}},
        {"hopwick post wrong version", Hopwick, "GetEntityAPI2_Post", false, 141, 0, 140,
         {Developer("called: GetEntityAPI2_Post; version=141"),
          Error("GetEntityAPI2_Post version mismatch; requested=141 ours=140")}},
        {"kestrum pre", Kestrum, "GetEntityAPI2", false, 140, 1, 140,
         {Developer("called: GetEntityAPI2; version=140")}},
        {"kestrum pre null table", Kestrum, "GetEntityAPI2", true, 140, 0, 140,
         {Developer("called: GetEntityAPI2; version=140"),
          Error("GetEntityAPI2 called with null pFunctionTable")}},
        {"kestrum pre wrong version", Kestrum, "GetEntityAPI2", false, 0, 0, 140,
         {Developer("called: GetEntityAPI2; version=0"),
          Error("GetEntityAPI2 version mismatch; requested=0 ours=140")}},
    };
    for (const GameCase& c : cases) {
        SCOPED_TRACE(c.label);
        if (Skip(c.deliverable())) {
            continue;
        }
        PluginUnderTest plugin(c.deliverable());
        ASSERT_TRUE(plugin.loaded());
        plugin.calls().clear();
        const bool post = std::strcmp(c.getter, "GetEntityAPI2_Post") == 0;
        const DLL_FUNCTIONS& handedOut = post ? plugin.record().gamePost : plugin.record().gamePre;

        DLL_FUNCTIONS buffer;
        std::memset(&buffer, 0x5A, sizeof buffer);
        const DLL_FUNCTIONS before = buffer;
        int version = c.version;
        auto getter = plugin.entry<GETENTITYAPI2_FN>(c.getter);
        ASSERT_NE(getter, nullptr);
        EXPECT_EQ(getter(c.nullTable ? nullptr : &buffer, &version), c.result);
        EXPECT_EQ(version, c.versionAfter);
        EXPECT_EQ(plugin.calls(), c.calls);
        const DLL_FUNCTIONS& wanted = c.result == 1 ? handedOut : before;
        EXPECT_EQ(std::memcmp(&buffer, &wanted, sizeof buffer), 0);
    }
}

}  // namespace
}  // namespace frametest

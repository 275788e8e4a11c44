// The hook tables kestrum_mm hands to the plug-in manager hold exactly its own hooks.
#include <cstddef>
#include <cstring>
#include <map>
#include <string>

#include "kestrum_fixture.h"

namespace {

template <typename Table>
std::map<std::size_t, void*> SetSlots(const Table& table) {
    std::map<std::size_t, void*> set;
    void* slots[sizeof(Table) / sizeof(void*)];
    static_assert(sizeof slots == sizeof(Table));
    std::memcpy(slots, &table, sizeof slots);
    for (std::size_t i = 0; i < sizeof(Table) / sizeof(void*); ++i) {
        if (slots[i] != nullptr) {
            set[i] = slots[i];
        }
    }
    return set;
}

#define SLOT(Table, field) (offsetof(Table, field) / sizeof(void*))

using HookTablesTest = KestrumTest;

TEST_F(HookTablesTest, ExactlyTheRecoilHooksAreHandedOut) {
    Start({}, false);
    const hostsim::PluginRecord& record = H().plugin(0);

    const META_FUNCTIONS& getters = record.metaFunctions;
    EXPECT_NE(getters.pfnGetEntityAPI2, nullptr);
    EXPECT_NE(getters.pfnGetEngineFunctions, nullptr);
    EXPECT_NE(getters.pfnGetEngineFunctions_Post, nullptr);
    EXPECT_EQ(SetSlots(getters).size(), 3u);

    ASSERT_TRUE(record.hasEnginePre && record.hasEnginePost && record.hasGamePre);
    EXPECT_FALSE(record.hasGamePost);

    const auto enginePre = SetSlots(record.enginePre);
    std::map<std::size_t, int> expectedPre = {
        {SLOT(enginefuncs_t, pfnMessageBegin), 0}, {SLOT(enginefuncs_t, pfnMessageEnd), 0},
        {SLOT(enginefuncs_t, pfnWriteByte), 0},    {SLOT(enginefuncs_t, pfnWriteChar), 0},
        {SLOT(enginefuncs_t, pfnWriteShort), 0},   {SLOT(enginefuncs_t, pfnWriteLong), 0},
        {SLOT(enginefuncs_t, pfnWriteString), 0}};
    EXPECT_EQ(enginePre.size(), expectedPre.size());
    for (const auto& [slot, unused] : expectedPre) {
        EXPECT_EQ(enginePre.count(slot), 1u) << "engine pre slot " << slot;
    }
    // One integer hook serves all four widths.
    const void* writeByte = reinterpret_cast<const void*>(record.enginePre.pfnWriteByte);
    EXPECT_EQ(reinterpret_cast<const void*>(record.enginePre.pfnWriteChar), writeByte);
    EXPECT_EQ(reinterpret_cast<const void*>(record.enginePre.pfnWriteShort), writeByte);
    EXPECT_EQ(reinterpret_cast<const void*>(record.enginePre.pfnWriteLong), writeByte);

    const auto enginePost = SetSlots(record.enginePost);
    EXPECT_EQ(enginePost.size(), 1u);
    EXPECT_EQ(enginePost.count(SLOT(enginefuncs_t, pfnRegUserMsg)), 1u);

    const auto gamePre = SetSlots(record.gamePre);
    EXPECT_EQ(gamePre.size(), 2u);
    EXPECT_EQ(gamePre.count(SLOT(DLL_FUNCTIONS, pfnSpawn)), 1u);
    EXPECT_EQ(gamePre.count(SLOT(DLL_FUNCTIONS, pfnClientDisconnect)), 1u);
}

TEST_F(HookTablesTest, EngineGettersCopyOnly143Slots) {
    Start({}, false);
    auto getter = H().plugin(0).metaFunctions.pfnGetEngineFunctions;
    ASSERT_NE(getter, nullptr);
    enginefuncs_t table;
    std::memset(&table, 0xAB, sizeof table);
    int version = ENGINE_INTERFACE_VERSION;
    ASSERT_EQ(getter(&table, &version), 1);
    void* slots[ENGINE_FUNCS_SLOTS];
    std::memcpy(slots, &table, sizeof slots);
    void* untouched;
    std::memset(&untouched, 0xAB, sizeof untouched);
    EXPECT_EQ(slots[142], nullptr);
    EXPECT_EQ(slots[143], untouched);
}

}  // namespace

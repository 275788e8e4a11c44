// The plug-in manager's load protocol, driven with the fixture plug-in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host.h"
#include "test_support.h"

namespace hostsim {
namespace {

TEST(LoadProtocol, CallsEntryPointsAndGettersInTheManagersOrder) {
    Host host;
    ASSERT_EQ(host.load(FIXTURE_PLUGIN), 0);
    EXPECT_EQ(WithoutSizes(FixtureLines(host)),
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
    EXPECT_TRUE(host.plugin(0).attached);
    EXPECT_TRUE(host.plugin(0).hasEnginePre && host.plugin(0).hasEnginePost);
    EXPECT_TRUE(host.plugin(0).hasGamePre && host.plugin(0).hasGamePost);
}

}  // namespace
}  // namespace hostsim

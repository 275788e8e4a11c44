// Every allocation of a configuration load failing in turn, in a build of the plug-in
// whose INI reader allocates through a counting allocator that fails on request.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstddef>

#include "fault_fixture.h"

namespace faults {
namespace {

using ResetFn = void (*)(std::size_t);
using MadeFn = std::size_t (*)();
using LiveFn = long (*)();

void ExpectNoProblems(const Problems& problems) {
    for (const std::string& problem : problems) ADD_FAILURE() << problem;
}

TEST(AllocationFaultTest, EachFailingAllocationFailsTheLoadCleanlyAndTheNextMapLoads) {
    ScratchDir scratch;
    ASSERT_EQ(mkdir(kGameDir, 0755), 0);
    WriteFile(kIni, kIniText);
    Problems problems;
    Server server(FAILING_ALLOC_PLUGIN_PATH, problems);
    ASSERT_TRUE(server.loaded());
    hostsim::Host& host = server.host();
    const auto reset = reinterpret_cast<ResetFn>(host.symbol(0, "FaultAllocatorReset"));
    const auto made = reinterpret_cast<MadeFn>(host.symbol(0, "FaultAllocatorMade"));
    const auto live = reinterpret_cast<LiveFn>(host.symbol(0, "FaultAllocatorLive"));
    ASSERT_TRUE(reset != nullptr && made != nullptr && live != nullptr);

    // How many allocations one load makes: path copy, file record, headings and keys.
    reset(0);
    server.StartMap(true, "counting map");
    const std::size_t allocations = made();
    ASSERT_GE(allocations, 4u);
    EXPECT_EQ(live(), 0);

    for (std::size_t failing = 1; failing <= allocations; ++failing) {
        const std::string when = "allocation " + std::to_string(failing) + " of " + std::to_string(allocations);
        reset(failing);
        server.StartMap(false, when);
        EXPECT_EQ(live(), 0) << when << ": blocks still held";
        server.CheckNoWorkingCopy(when);
        server.CheckShot(false, when);

        reset(0);
        server.StartMap(true, when + ", next map");
        EXPECT_EQ(made(), allocations) << when;
        EXPECT_EQ(live(), 0) << when;
        server.CheckShot(true, when + ", next map");
    }
    ExpectNoProblems(problems);
}

}  // namespace
}  // namespace faults

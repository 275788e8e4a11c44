// File faults at map start, each run in a child process without root's privileges: the
// configuration load ends as documented, the player's weapon is still followed, nothing
// is left behind or leaked, and the next map start after the fault is removed kicks again.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <ostream>

#include "fault_fixture.h"

namespace faults {
namespace {

constexpr char kAway[] = "valve/kestrum_mm.ini.away";
constexpr char kVictim[] = "valve/victim.txt";

void Require(Problems& p, bool condition, const std::string& what) {
    if (!condition) p.push_back(what);
}

struct FileFault {
    const char* name;
    bool loadsUnderFault;
    bool leavesCopyName;  // the fault itself stands at the working-copy name
    void (*apply)(Problems&);
    void (*checkUnderFault)(Problems&);
    void (*remove)(Problems&);
};

void Nothing(Problems&) {}

const FileFault kFaults[] = {
    {"IniMissing", false, false,
     [](Problems& p) { Require(p, std::rename(kIni, kAway) == 0, "cannot move the INI file away"); },
     [](Problems& p) { Require(p, !EntryExists(kIni), "the INI file came back"); },
     [](Problems& p) { Require(p, std::rename(kAway, kIni) == 0, "cannot put the INI file back"); }},
    {"IniIsADirectory", false, false,
     [](Problems& p) {
         Require(p, std::rename(kIni, kAway) == 0 && mkdir(kIni, 0755) == 0, "cannot put a folder in place");
     },
     [](Problems& p) {
         struct stat st;
         Require(p, stat(kIni, &st) == 0 && S_ISDIR(st.st_mode), "the folder at the INI name was touched");
     },
     [](Problems& p) {
         Require(p, rmdir(kIni) == 0 && std::rename(kAway, kIni) == 0, "cannot put the INI file back");
     }},
    {"WorkingCopyNameIsADirectory", false, true,
     [](Problems& p) {
         Require(p, mkdir(kWorkingCopy, 0755) == 0, "cannot make the folder");
         WriteFile(std::string(kWorkingCopy) + "/inside", "kept");
     },
     [](Problems& p) {
         Require(p, ReadFile(std::string(kWorkingCopy) + "/inside") == "kept",
                 "the folder at the working-copy name lost its content");
     },
     [](Problems&) { std::filesystem::remove_all(kWorkingCopy); }},
    // Whatever stands at the working-copy name is replaced, never written through.
    {"WorkingCopyNameIsASymbolicLink", true, false,
     [](Problems& p) {
         WriteFile(kVictim, "precious");
         Require(p, symlink("victim.txt", kWorkingCopy) == 0, "cannot plant the link");
     },
     [](Problems& p) {
         Require(p, ReadFile(kVictim) == "precious", "the link's target was written");
         Require(p, !EntryExists(kWorkingCopy), "the planted link is still there");
     },
     Nothing},
    {"GameDirectoryReadOnly", false, false,
     [](Problems& p) { Require(p, chmod(kGameDir, 0555) == 0, "cannot take write permission away"); },
     [](Problems& p) { Require(p, ReadFile(kIni) == kIniText, "the INI file changed"); },
     [](Problems& p) { Require(p, chmod(kGameDir, 0755) == 0, "cannot give write permission back"); }},
};

void PrintTo(const FileFault& fault, std::ostream* out) { *out << fault.name; }

const FileFault* g_fault = nullptr;  // the case the child process runs

void RunFault(Problems& p) {
    const FileFault& fault = *g_fault;
    Server server(KESTRUM_MM_PATH, p);
    if (!server.loaded()) return;
    server.CheckShot(true, "first map");
    fault.apply(p);
    server.StartMap(fault.loadsUnderFault, "under the fault");
    server.CheckShot(fault.loadsUnderFault, "under the fault");
    fault.checkUnderFault(p);
    if (!fault.leavesCopyName) server.CheckNoWorkingCopy("under the fault");
    fault.remove(p);
    server.StartMap(true, "fault removed");
    server.CheckShot(true, "fault removed");
    server.CheckNoWorkingCopy("fault removed");
}

class FileFaultTest : public ::testing::TestWithParam<FileFault> {};

TEST_P(FileFaultTest, MapStartEndsAsDocumentedAndRecovers) {
    ScratchDir scratch;
    ASSERT_EQ(mkdir(kGameDir, 0755), 0);
    WriteFile(kIni, kIniText);
    if (geteuid() == 0) {
        // The unprivileged child owns the game directory, as a server's user would.
        ASSERT_EQ(chown(kGameDir, 65534, 65534), 0);
    }
    g_fault = &GetParam();
    for (const std::string& problem : RunUnprivileged(RunFault)) ADD_FAILURE() << problem;
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<FileFault>& param) { return param.param.name; });

}  // namespace
}  // namespace faults

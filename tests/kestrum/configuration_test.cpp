// Console variables, the game directory name, the INI path and the contents read from it.
#include <filesystem>
#include <map>
#include <ostream>
#include <string>

#include "kestrum_fixture.h"

namespace {

const std::string kLoading = "[Kestrum] Loading gunkestrum config from '";

using ConfigurationTest = KestrumTest;

TEST_F(ConfigurationTest, ConsoleVariablesAreRegisteredWithTheirInitialValues) {
    Start({}, false);
    EXPECT_EQ(H().cvarString("kestrum_multiplier"), "1");
    EXPECT_EQ(H().cvarString("kestrum_debug"), "0");
    EXPECT_EQ(H().cvarString("kestrum_version"), "1.6");
}

struct PathCase {
    std::string gameDirReported;  // what the engine's pfnGetGameDir gives
    std::string iniDir;           // where the test puts the INI file ("" = nowhere)
    std::string expectedLine;     // the loading line with its ending
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << "game dir " << c.gameDirReported.size() << " characters, ending " << c.gameDirReported.substr(c.gameDirReported.size() > 12 ? c.gameDirReported.size() - 12 : 0);
}

class LoadingLineTest : public KestrumTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(LoadingLineTest, PathAndEnding) {
    const PathCase& c = GetParam();
    if (!c.iniDir.empty()) {
        WriteIni(c.iniDir, "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=1\n");
    }
    hostsim::HostConfig config;
    config.gameDir = c.gameDirReported;
    Start(config);
    EXPECT_EQ(ConsoleText(), c.expectedLine);
    if (!c.iniDir.empty()) {
        // The working copy is gone again and the file itself untouched.
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(c.iniDir) / "kestrum_mm.in~"));
        EXPECT_TRUE(std::filesystem::exists(IniPath(c.iniDir)));
    }
}

const std::string kLongName(240, 'd');
const std::string kTooLongName(241, 'd');

INSTANTIATE_TEST_SUITE_P(
    Paths, LoadingLineTest,
    ::testing::Values(
        PathCase{"valve", "valve", kLoading + "valve/kestrum_mm.ini' ... Successed!\n"},
        PathCase{"/srv/hlds/cstrike", "cstrike", kLoading + "cstrike/kestrum_mm.ini' ... Successed!\n"},
        PathCase{"valve", "", kLoading + "valve/kestrum_mm.ini' ... Failed!\n"},
        // A trailing separator leaves an empty name: nothing is opened.
        PathCase{"hlds/", "", kLoading + "/kestrum_mm.ini' ... Failed!\n"},
        PathCase{"/srv/" + kLongName, kLongName, kLoading + kLongName + "/kestrum_mm.ini' ... Successed!\n"},
        PathCase{"/srv/" + kTooLongName, kTooLongName,
                 kLoading + kTooLongName + "/kestrum_mm.ini' ... Failed!\n"}));

// Which heading a game directory reads: the standard one for the four standard names in
// any case, otherwise the directory's own name in its own case.
struct HeadingCase {
    std::string gameDir;
    std::string heading;
    bool found;
};

void PrintTo(const HeadingCase& c, std::ostream* os) {
    *os << c.gameDir << " reading [" << c.heading << "]";
}

class HeadingTest : public KestrumTest, public ::testing::WithParamInterface<HeadingCase> {};

TEST_P(HeadingTest, BaseHeadingAndTableHeadings) {
    const HeadingCase& c = GetParam();
    WriteIni(c.gameDir, "[" + c.heading + "]\nAmmoIdIsFlag=1\n[" + c.heading + "-AMMO1]\n0=3\n[" +
                            c.heading + "-AMMO2]\n0=4\n");
    hostsim::HostConfig config;
    config.gameDir = c.gameDir;
    Start(config);
    const int player = Connect();
    SetDebug(1);
    CurWeapon(player, 1, 8, 1);  // with AmmoIdIsFlag the id 8 is bit 3
    EXPECT_EQ(LastCurrentInfo().weaponId, c.found ? 3 : 8);
    // Weapon 0 reads the same with and without bit values.
    EXPECT_EQ(ProbeMultiplier(player, 0, false), c.found ? 3.0f : 0.0f);
    EXPECT_EQ(ProbeMultiplier(player, 0, true), c.found ? 4.0f : 0.0f);
}

const char kStandard[] = "standard(valve,gearbox,etc)";

INSTANTIATE_TEST_SUITE_P(
    GameDirs, HeadingTest,
    ::testing::Values(HeadingCase{"valve", kStandard, true}, HeadingCase{"VALVE", kStandard, true},
                      HeadingCase{"GearBox", kStandard, true}, HeadingCase{"marrowfen", kStandard, true},
                      HeadingCase{"TallowMere", kStandard, true},
                      HeadingCase{"valve", "valve", false},
                      HeadingCase{"cstrike", "cstrike", true}, HeadingCase{"cstrike", "CSTRIKE", false},
                      HeadingCase{"CStrike", "CStrike", true}, HeadingCase{"cstrike", kStandard, false},
                      HeadingCase{"valvex", kStandard, false}));

TEST_F(ConfigurationTest, MultiplierValuesAndKeys) {
    WriteIni("valve",
             "[standard(valve,gearbox,etc)-AMMO1]\n"
             "1=3\n2=0\n3=-4\n4=abc\n5=2.5\n07=9\n8= 12 ; remark\n9=\n10=+6\n31=5\n64=9\n"
             "[standard(valve,gearbox,etc)-AMMO2]\n"
             "4=6\n");
    Start();
    const int player = Connect();
    const std::map<int, float> primary = {{1, 3.0f}, {2, 0.0f}, {3, 0.0f}, {4, 0.0f}, {5, 2.0f},
                                          {7, 0.0f}, {8, 12.0f}, {9, 0.0f}, {10, 6.0f}, {31, 5.0f}};
    for (const auto& [id, expected] : primary) {
        EXPECT_EQ(ProbeMultiplier(player, id, false), expected) << "weapon " << id;
    }
    EXPECT_EQ(ProbeMultiplier(player, 4, true), 6.0f);
    EXPECT_EQ(ProbeMultiplier(player, 1, true), 0.0f);
}

struct SwitchCase {
    std::string line;  // line under the base heading
    bool on;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.line;
}

class SwitchTest : public KestrumTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTest, AmmoIdIsFlagValue) {
    WriteIni("valve", "[standard(valve,gearbox,etc)]\n" + GetParam().line + "\n");
    Start();
    const int player = Connect();
    SetDebug(1);
    CurWeapon(player, 1, 16, 1);
    EXPECT_EQ(LastCurrentInfo().weaponId, GetParam().on ? 4 : 16);
}

INSTANTIATE_TEST_SUITE_P(Values, SwitchTest,
                         ::testing::Values(SwitchCase{"AmmoIdIsFlag=1", true}, SwitchCase{"AmmoIdIsFlag=2", true},
                                           SwitchCase{"AmmoIdIsFlag=-1", true},
                                           SwitchCase{"AmmoIdIsFlag=0", false},
                                           SwitchCase{"AmmoIdIsFlag=on", false},
                                           SwitchCase{"AmmoIdIsFlag=", false},
                                           SwitchCase{"ammoidisflag=1", false},
                                           SwitchCase{"AllWeaponsClipless=1", false}));

TEST_F(ConfigurationTest, FailedReloadClearsTablesButKeepsSwitches) {
    WriteIni("valve",
             "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=1\n"
             "[standard(valve,gearbox,etc)-AMMO1]\n7=4\n");
    Start();
    int player = Connect();
    EXPECT_EQ(ProbeMultiplier(player, 1 << 7, false), 4.0f);

    RemoveIni("valve");
    H().clearRecords();
    H().mapStart("bounce");
    EXPECT_EQ(ConsoleText(), kLoading + "valve/kestrum_mm.ini' ... Failed!\n");
    player = Connect("second");
    SetDebug(1);
    CurWeapon(player, 1, 1 << 7, 3);
    EXPECT_EQ(LastCurrentInfo().weaponId, 7);  // still decoded as a bit value
    EXPECT_EQ(ProbeMultiplier(player, 1 << 7, false), 0.0f);
}

TEST_F(ConfigurationTest, MissingBaseHeadingTurnsSwitchesOffAndStillReadsTables) {
    WriteIni("valve", "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=1\n");
    Start();
    WriteIni("valve",
             "[other]\nAmmoIdIsFlag=1\n"
             "[standard(valve,gearbox,etc)-AMMO1]\n7=4\n"
             "[standard(valve,gearbox,etc)-AMMO2]\n7=9\n");
    H().mapStart("bounce");
    const int player = Connect();
    SetDebug(1);
    CurWeapon(player, 1, 16, 1);
    EXPECT_EQ(LastCurrentInfo().weaponId, 16);
    EXPECT_EQ(ProbeMultiplier(player, 7, false), 4.0f);
    EXPECT_EQ(ProbeMultiplier(player, 7, true), 9.0f);
}

TEST_F(ConfigurationTest, SampleIniGivesStandardAndCstrikeMultipliers) {
    const std::filesystem::path sample = std::filesystem::path(KESTRUM_SAMPLE_INI);
    for (const char* dir : {"valve", "cstrike"}) {
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(sample, std::filesystem::path(dir) / "kestrum_mm.ini");
    }
    hostsim::HostConfig config;
    Start(config);
    int player = Connect();
    EXPECT_GT(ProbeMultiplier(player, 2, false), 0.0f);  // 9mm handgun
    EXPECT_GT(ProbeMultiplier(player, 4, true), 0.0f);   // MP5 grenades
    EXPECT_EQ(ProbeMultiplier(player, 1, false), 0.0f);  // crowbar

    host_.reset();
    config.gameDir = "cstrike";
    Start(config);
    player = Connect();
    EXPECT_GT(ProbeMultiplier(player, 28, false), 0.0f);
    EXPECT_EQ(ProbeMultiplier(player, 29, false), 0.0f);  // knife
}

}  // namespace

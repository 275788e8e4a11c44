// kestrum_reload: registered at attach after the console variables, it reads the INI file
// again at once with the map start's loading line, and leaves every player's tracked
// weapon state as it was.
#include <ostream>
#include <string>
#include <vector>

#include "kestrum_fixture.h"

namespace {

constexpr int kPistol = 2;
constexpr int kPistolAmmo = 10;

std::string PistolIni(int multiplier) {
    return "[standard(valve,gearbox,etc)]\nAllWeaponsClipless=0\n"
           "[standard(valve,gearbox,etc)-AMMO1]\n2=" + std::to_string(multiplier) + "\n";
}

const std::string kLoadingLine = "[Kestrum] Loading gunkestrum config from 'valve/kestrum_mm.ini' ... ";

using ReloadCommandTest = KestrumTest;

TEST_F(ReloadCommandTest, RegisteredAtAttachAfterTheConsoleVariables) {
    Start({}, false);
    const std::vector<std::string>& lines = H().transcript();
    int lastCvar = -1;
    int command = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i)];
        if (line.rfind("engine: cvar kestrum_", 0) == 0) lastCvar = i;
        if (line == "engine: server command \"kestrum_reload\" added") command = i;
    }
    ASSERT_GE(command, 0) << "kestrum_reload was not added";
    EXPECT_GT(command, lastCvar);
}

// Each case starts a map with a multiplier of 15, lets the player hold the pistol with a
// full clip, changes the file on disk, reloads, then fires one round.
struct ReloadCase {
    const char* name;
    bool removeIni;           // false: the file is rewritten with a multiplier of 40
    const char* ending;       // of the loading line
    float pushAfterReload;    // velocity.x after the shot
};

void PrintTo(const ReloadCase& c, std::ostream* os) { *os << c.name; }

class ReloadCaseTest : public KestrumTest, public ::testing::WithParamInterface<ReloadCase> {};

TEST_P(ReloadCaseTest, ReadsTheFileAgainAndKeepsTheWeaponTable) {
    const ReloadCase& c = GetParam();
    WriteIni("valve", PistolIni(15));
    Start();
    const int player = Connect();
    WeaponList(player, "weapon_9mmhandgun", kPistolAmmo, -1, kPistol);
    CurWeapon(player, 1, kPistol, 17);

    if (c.removeIni) {
        RemoveIni("valve");
    } else {
        WriteIni("valve", PistolIni(40));
    }
    H().clearRecords();
    H().serverCommand("kestrum_reload");
    EXPECT_EQ(ConsoleText(), kLoadingLine + c.ending);
    EXPECT_FALSE(std::filesystem::exists(IniPath("valve").replace_filename("kestrum_mm.in~")));

    // The clip of 17 tracked before the reload is still the previous state: one round.
    CurWeapon(player, 1, kPistol, 16);
    EXPECT_EQ(H().edict(player)->v.velocity.x, c.pushAfterReload);
    EXPECT_EQ(H().edict(player)->v.velocity.y, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReloadCaseTest,
    ::testing::Values(ReloadCase{"Edited", false, "Successed!\n", -40.0f},
                      // As at a map start, a failed load leaves no weapon a kick.
                      ReloadCase{"Removed", true, "Failed!\n", 0.0f}),
    [](const ::testing::TestParamInfo<ReloadCase>& param) { return std::string(param.param.name); });

}  // namespace

// The push: rounds spent x table entry x kestrum_multiplier along the view's forward
// vector, subtracted from the player's velocity with single-precision steps.
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "kestrum_fixture.h"

namespace {

using hostsim::MsgField;

// Weapon ids and ammunition types of the test INI.
constexpr int kRifle = 4;      // clip weapon, primary 5, secondary 7
constexpr int kLauncher = 9;   // no clip, both kinds from type 8
constexpr int kRifleAmmo1 = 3;
constexpr int kRifleAmmo2 = 6;
constexpr int kLauncherAmmo = 8;

const char kIni[] =
    "[standard(valve,gearbox,etc)-AMMO1]\n4=5\n9=3\n"
    "[standard(valve,gearbox,etc)-AMMO2]\n4=7\n9=11\n";

// velocity - forward x (rounds x entry x multiplier), each step rounded to float.
vec3_t Pushed(vec3_t velocity, vec3_t forward, int rounds, float entry, float multiplier) {
    const float base = static_cast<float>(rounds) * entry;
    const float total = base * multiplier;
    const float px = forward.x * total;
    const float py = forward.y * total;
    const float pz = forward.z * total;
    return {velocity.x - px, velocity.y - py, velocity.z - pz};
}

void ExpectVelocity(const vec3_t& actual, const vec3_t& expected) {
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

class RecoilTest : public KestrumTest {
protected:
    void SetUp() override {
        KestrumTest::SetUp();
        WriteIni("valve", kIni);
        Start();
        player = Connect();
        WeaponList(player, "weapon_rifle", kRifleAmmo1, kRifleAmmo2, kRifle);
        WeaponList(player, "weapon_launcher", kLauncherAmmo, kLauncherAmmo, kLauncher);
        AmmoX(player, kRifleAmmo1, 90);
        AmmoX(player, kRifleAmmo2, 4);
        AmmoX(player, kLauncherAmmo, 10);
    }

    entvars_t& Pev() { return H().edict(player)->v; }
    vec3_t Forward() { return H().globals().v_forward; }

    int player = 0;
};

TEST_F(RecoilTest, OneRoundAlongTheViewWithItsDebugLines) {
    CurWeapon(player, 1, kRifle, 30);
    SetDebug(1);
    H().clearRecords();
    CurWeapon(player, 1, kRifle, 29);
    ExpectVelocity(Pev().velocity, {-5.0f, 0.0f, 0.0f});
    EXPECT_EQ(ConsoleText(),
              "{[Recoil]} ammo:1 multi:1.000000 ammotype:AMMO1 --> Recoil:5.000000\n"
              "  <[Current weapon info(playerid:0)] Id:4 Clip:29 Ammo1:90 Ammo2:4>\n");

    SetDebug(2);
    H().clearRecords();
    CurWeapon(player, 1, kRifle, 28);
    EXPECT_NE(ConsoleText().find("{[Recoil]} ammo:1 multi:1.000000 ammotype:AMMO1 --> Recoil:5.000000\n"
                                 "  {Previous weapon info(playerid:0)} Id:4 Clip:29 Ammo1:90 Ammo2:4\n"
                                 "  <[Current weapon info(playerid:0)] Id:4 Clip:28 Ammo1:90 Ammo2:4>\n"),
              std::string::npos)
        << ConsoleText();
}

TEST_F(RecoilTest, PunchAngleAddsToTheViewAngle) {
    Pev().v_angle = {0.0f, 90.0f, 0.0f};
    Pev().punchangle = {0.0f, -90.0f, 0.0f};
    CurWeapon(player, 1, kRifle, 30);
    CurWeapon(player, 1, kRifle, 29);
    ExpectVelocity(Pev().velocity, {-5.0f, 0.0f, 0.0f});
}

struct KickCase {
    const char* name;
    std::string multiplier;  // kestrum_multiplier
    int clipAfter;           // from 30
    int rounds;
    float usedMultiplier;    // as the debug line reports it
};

void PrintTo(const KickCase& c, std::ostream* os) {
    *os << c.name;
}

class KickTest : public RecoilTest, public ::testing::WithParamInterface<KickCase> {};

TEST_P(KickTest, ExactVelocity) {
    const KickCase& c = GetParam();
    Pev().v_angle = {-12.5f, 33.0f, 0.0f};
    Pev().punchangle = {1.75f, -0.5f, 0.0f};
    Pev().velocity = {120.0f, -35.5f, 4.25f};
    SetMultiplier(c.multiplier);
    CurWeapon(player, 1, kRifle, 30);
    SetDebug(1);
    H().clearRecords();
    const vec3_t before = Pev().velocity;
    CurWeapon(player, 1, kRifle, c.clipAfter);
    ExpectVelocity(Pev().velocity, Pushed(before, Forward(), c.rounds, 5.0f, c.usedMultiplier));
    char line[160];
    std::snprintf(line, sizeof line, "{[Recoil]} ammo:%d multi:%f ammotype:AMMO1 --> Recoil:%f\n", c.rounds,
                  static_cast<double>(c.usedMultiplier), static_cast<double>(5.0f * static_cast<float>(c.rounds)));
    EXPECT_EQ(ConsoleLines().front(), line);
}

INSTANTIATE_TEST_SUITE_P(
    Multipliers, KickTest,
    ::testing::Values(KickCase{"one", "1", 29, 1, 1.0f}, KickCase{"threeRounds", "1", 27, 3, 1.0f},
                      KickCase{"half", "0.5", 29, 1, 0.5f}, KickCase{"ten", "10", 29, 1, 10.0f},
                      KickCase{"aboveTen", "10.5", 29, 1, 1.0f}, KickCase{"negative", "-1", 27, 3, 1.0f},
                      KickCase{"odd", "0.3", 28, 2, 0.3f}),
    [](const ::testing::TestParamInfo<KickCase>& param) { return std::string(param.param.name); });

TEST_F(RecoilTest, NoPushWithoutSpendingTheSameWeapon) {
    SetMultiplier("1");
    SetDebug(1);
    struct Step {
        const char* what;
        int weaponId;
        int clip;
    };
    // Each step follows the one before it.
    const std::vector<Step> steps = {
        {"draw", kRifle, 30},
        {"weapon change to a lower clip", kLauncher, -1},
        {"back to the rifle", kRifle, 12},
        {"clip refilled", kRifle, 30},
        {"same clip", kRifle, 30},
    };
    for (const Step& step : steps) {
        H().clearRecords();
        CurWeapon(player, 1, step.weaponId, step.clip);
        EXPECT_TRUE(RecoilValues().empty()) << step.what;
        EXPECT_EQ(LastCurrentInfo().weaponId, step.weaponId) << step.what;
    }
    ExpectVelocity(Pev().velocity, {0.0f, 0.0f, 0.0f});
}

TEST_F(RecoilTest, ZeroMultiplierGivesNoPushAndNoLine) {
    SetMultiplier("0");
    CurWeapon(player, 1, kRifle, 30);
    SetDebug(1);
    H().clearRecords();
    CurWeapon(player, 1, kRifle, 29);
    EXPECT_TRUE(RecoilValues().empty());
    ExpectVelocity(Pev().velocity, {0.0f, 0.0f, 0.0f});
}

TEST_F(RecoilTest, ClipWeaponIgnoresAmmoDropsButSpendsSecondary) {
    CurWeapon(player, 1, kRifle, 30);
    SetDebug(1);
    H().clearRecords();
    AmmoX(player, kRifleAmmo1, 60);  // a reload takes from the reserve: no push
    EXPECT_TRUE(RecoilValues().empty());
    AmmoX(player, kRifleAmmo2, 3);   // a rifle grenade
    EXPECT_EQ(RecoilValues(), std::vector<float>{7.0f});
    ExpectVelocity(Pev().velocity, {-7.0f, 0.0f, 0.0f});
    H().clearRecords();
    AmmoX(player, kRifleAmmo2, 5);   // picked up: no push
    EXPECT_TRUE(RecoilValues().empty());
}

TEST_F(RecoilTest, ClipTrumpsAmmoAtZeroAndNegativeClips) {
    // Previous clip -1: the primary count decides; previous clip 0: only the clip.
    CurWeapon(player, 1, kLauncher, -1);
    AmmoX(player, kLauncherAmmo, 10);
    SetDebug(1);
    H().clearRecords();
    Send(player, "AmmoX", {MsgField::Byte(kLauncherAmmo), MsgField::Byte(9)});
    // The launcher's two kinds share one type, so one drop spends both.
    EXPECT_EQ(RecoilValues(), (std::vector<float>{3.0f, 11.0f}));
    const std::vector<std::string> lines = ConsoleLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("ammotype:AMMO1"), std::string::npos);
    EXPECT_NE(lines[1].find("ammotype:AMMO2"), std::string::npos);
    const vec3_t afterFirst = Pushed({0.0f, 0.0f, 0.0f}, Forward(), 1, 3.0f, 1.0f);
    ExpectVelocity(Pev().velocity, Pushed(afterFirst, Forward(), 1, 11.0f, 1.0f));

    CurWeapon(player, 1, kRifle, 0);
    H().clearRecords();
    AmmoX(player, kRifleAmmo1, 80);
    EXPECT_TRUE(RecoilValues().empty());
}

TEST_F(RecoilTest, AllWeaponsCliplessKicksOnReloadNotOnFiring) {
    WriteIni("valve", std::string("[standard(valve,gearbox,etc)]\nAllWeaponsClipless=1\n") + kIni);
    H().mapStart("bounce");  // the record starts afresh; the weapon descriptions stay
    AmmoX(player, kRifleAmmo1, 90);
    CurWeapon(player, 1, kRifle, 10);
    SetDebug(1);
    H().clearRecords();
    CurWeapon(player, 1, kRifle, 9);
    EXPECT_TRUE(RecoilValues().empty());
    // The reload: reserve 90 -> 70, clip 9 -> 29.
    AmmoX(player, kRifleAmmo1, 70);
    CurWeapon(player, 1, kRifle, 29);
    EXPECT_EQ(RecoilValues(), std::vector<float>{100.0f});
    ExpectVelocity(Pev().velocity, {-100.0f, 0.0f, 0.0f});
}

TEST_F(RecoilTest, DeadPlayersAreNotPushedAndSpendingWhileDeadIsForgotten) {
    CurWeapon(player, 1, kRifle, 30);
    SetDebug(1);
    struct DeadCase {
        float health;
        int deadflag;
    };
    int clip = 30;
    for (const DeadCase& c : {DeadCase{0.0f, DEAD_NO}, DeadCase{-5.0f, DEAD_NO}, DeadCase{100.0f, DEAD_DYING},
                              DeadCase{100.0f, DEAD_RESPAWNABLE}}) {
        Pev().health = c.health;
        Pev().deadflag = c.deadflag;
        H().clearRecords();
        CurWeapon(player, 1, kRifle, --clip);
        EXPECT_TRUE(RecoilValues().empty()) << c.health << " " << c.deadflag;
        EXPECT_EQ(LastCurrentInfo().clip, clip);
        // Alive again, the next message compares with the state seen while dead.
        Pev().health = 100.0f;
        Pev().deadflag = DEAD_NO;
        H().clearRecords();
        AmmoX(player, kRifleAmmo1, 90);
        EXPECT_TRUE(RecoilValues().empty()) << c.health << " " << c.deadflag;
    }
    ExpectVelocity(Pev().velocity, {0.0f, 0.0f, 0.0f});
}

TEST_F(RecoilTest, UnconfiguredWeaponPrintsAZeroRecoilAndDoesNotPush) {
    WeaponList(player, "weapon_glock", 2, -1, 2);
    CurWeapon(player, 1, 2, 17);
    SetDebug(1);
    H().clearRecords();
    CurWeapon(player, 1, 2, 16);
    EXPECT_EQ(RecoilValues(), std::vector<float>{0.0f});
    ExpectVelocity(Pev().velocity, {0.0f, 0.0f, 0.0f});
}

TEST_F(RecoilTest, HugeDropsDoNotOverflow) {
    CurWeapon(player, 1, kLauncher, -1);
    AmmoX(player, kLauncherAmmo, 2147483647);
    SetDebug(1);
    H().clearRecords();
    Send(player, "AmmoX", {MsgField::Byte(kLauncherAmmo), MsgField::Long(-2147483647 - 1)});
    const std::vector<std::string> lines = ConsoleLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("{[Recoil]} ammo:2147483647 ", 0), 0u) << lines.front();
    EXPECT_LT(Pev().velocity.x, 0.0f);
}

}  // namespace

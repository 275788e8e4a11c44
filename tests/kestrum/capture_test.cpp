// Capture of "CurWeapon", "AmmoX" and "WeaponList" and the player weapon table, seen
// through the plug-in's debug lines at levels 1 and 2.
#include <ostream>
#include <string>
#include <vector>

#include "kestrum_fixture.h"

namespace {

using hostsim::MsgField;
using Fields = std::vector<MsgField>;

constexpr int kMark27 = 1 << 27;
constexpr int kMark29 = 1 << 29;

std::string Trace(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
    }
    return text;
}

using CaptureTest = KestrumTest;

TEST_F(CaptureTest, NothingIsCapturedBeforeTheFirstMapStart) {
    Start({}, false);
    H().registerGameMessages();
    const int player = Connect();
    SetDebug(2);
    H().clearRecords();
    CurWeapon(player, 1, 3, 5);
    // The message is recognised, but no slot is free yet.
    EXPECT_EQ(ConsoleText(), "[[CurWeapon]] [player-id:" + std::to_string(UserId(player) - 1) + "]\n");
}

TEST_F(CaptureTest, TraceOfEachMessageAtLevelTwo) {
    Start();
    const int player = Connect();
    const std::string id = std::to_string(UserId(player) - 1);
    SetDebug(2);
    H().clearRecords();
    WeaponList(player, "weapon_9mmAR", 3, 5, 4);
    CurWeapon(player, 1, 4, -1);
    AmmoX(player, 3, 40);
    EXPECT_EQ(ConsoleText(), Trace({
        "[[WeaponList]] [player-id:" + id + "]\n",
        " [0] iString:weapon_9mmAR\n", " [1] iValue:3\n", " [2] iValue:90\n", " [3] iValue:5\n",
        " [4] iValue:10\n", " [5] iValue:2\n", " [6] iValue:1\n", " [7] iValue:4\n", " [8] iValue:0\n",
        "[END]\n",
        "[[CurWeapon]] [player-id:" + id + "]\n",
        " [0] iValue:1\n", " [1] iValue:4\n", " [2] iValue:-1\n", "[END]\n",
        "  {Previous weapon info(playerid:0)} Id:0 Clip:0 Ammo1:0 Ammo2:0\n",
        "  <[Current weapon info(playerid:0)] Id:4 Clip:-1 Ammo1:0 Ammo2:0>\n",
        "[[AmmoX]] [player-id:" + id + "]\n",
        " [0] iValue:3\n", " [1] iValue:40\n", "[END]\n",
        "  {Previous weapon info(playerid:0)} Id:4 Clip:-1 Ammo1:0 Ammo2:0\n",
        "  <[Current weapon info(playerid:0)] Id:4 Clip:-1 Ammo1:40 Ammo2:0>\n"}));

    SetDebug(0);
    H().clearRecords();
    CurWeapon(player, 1, 4, 3);
    EXPECT_EQ(ConsoleText(), "");
}

// Each case starts from weapon 3 in hand with clip 5 and 50 rounds of its primary type.
struct CurWeaponCase {
    const char* name;
    Fields fields;
    SeenWeaponState expected;
};

void PrintTo(const CurWeaponCase& c, std::ostream* os) {
    *os << c.name;
}

class CurWeaponFieldsTest : public KestrumTest, public ::testing::WithParamInterface<CurWeaponCase> {};

TEST_P(CurWeaponFieldsTest, UpdatesCurrentState) {
    Start();
    const int player = Connect();
    WeaponList(player, "weapon_python", 1, 2, 3);
    AmmoX(player, 1, 50);
    CurWeapon(player, 1, 3, 5);
    SetDebug(1);
    H().clearRecords();
    Send(player, "CurWeapon", GetParam().fields);
    const SeenWeaponState seen = LastCurrentInfo();
    const SeenWeaponState& want = GetParam().expected;
    EXPECT_EQ(seen.slot, 0);
    EXPECT_EQ(seen.weaponId, want.weaponId);
    EXPECT_EQ(seen.clip, want.clip);
    EXPECT_EQ(seen.ammo1, want.ammo1);
    EXPECT_EQ(seen.ammo2, want.ammo2);
}

const SeenWeaponState kUnchanged{0, 3, 5, 50, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, CurWeaponFieldsTest,
    ::testing::Values(
        CurWeaponCase{"state0", {MsgField::Byte(0), MsgField::Byte(4), MsgField::Byte(2)}, kUnchanged},
        CurWeaponCase{"id32", {MsgField::Byte(1), MsgField::Byte(32), MsgField::Byte(2)}, kUnchanged},
        CurWeaponCase{"idNegative", {MsgField::Byte(1), MsgField::Byte(-1), MsgField::Byte(2)}, kUnchanged},
        CurWeaponCase{"twoFields", {MsgField::Byte(1), MsgField::Byte(4)}, kUnchanged},
        CurWeaponCase{"otherWeapon", {MsgField::Byte(1), MsgField::Byte(4), MsgField::Byte(-1)}, {0, 4, -1, 0, 0}},
        CurWeaponCase{"allIntegerWidths", {MsgField::Short(1), MsgField::Long(31), MsgField::Char(7)}, {0, 31, 7, 0, 0}},
        CurWeaponCase{"coordinatesNotCounted",
                      {MsgField::Byte(1), MsgField::Coord(5.0f), MsgField::Byte(4), MsgField::Angle(90.0f),
                       MsgField::Entity(2), MsgField::Byte(7)},
                      {0, 4, 7, 0, 0}},
        CurWeaponCase{"stringIgnored",
                      {MsgField::Byte(1), MsgField::String("x"), MsgField::Byte(3), MsgField::Byte(2)},
                      {0, 3, 2, 50, 0}},
        CurWeaponCase{"laterFieldsIgnored",
                      {MsgField::Byte(1), MsgField::Byte(3), MsgField::Byte(4), MsgField::Byte(9),
                       MsgField::Byte(1)},
                      {0, 3, 4, 50, 0}}),
    [](const ::testing::TestParamInfo<CurWeaponCase>& param) { return std::string(param.param.name); });

TEST_F(CaptureTest, WeaponIdsAsBitValues) {
    WriteIni("valve", "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=1\n");
    Start();
    const int player = Connect();
    SetDebug(1);
    const std::vector<std::pair<int, int>> cases = {{1, 0}, {2, 1}, {3, 1}, {4, 2}, {128, 7},
                                                    {1024, 10}, {0, 0}, {-8, 0}};
    for (const auto& [sent, decoded] : cases) {
        H().clearRecords();
        CurWeapon(player, 1, sent, 1);
        EXPECT_EQ(LastCurrentInfo().weaponId, decoded) << "sent " << sent;
    }
    // WeaponList ids are decoded too: weapon bit 5 uses ammunition type 6.
    WeaponList(player, "weapon_crossbow", 6, 0, 1 << 5);
    AmmoX(player, 6, 11);
    H().clearRecords();
    CurWeapon(player, 1, 1 << 5, 1);
    EXPECT_EQ(LastCurrentInfo().ammo1, 11);
}

TEST_F(CaptureTest, AmmoCountsFollowTheWeaponInHand) {
    Start();
    const int player = Connect();
    SetDebug(1);
    WeaponList(player, "weapon_9mmAR", 3, 5, 4);
    WeaponList(player, "weapon_crossbow", 7, -1, 6);
    CurWeapon(player, 1, 4, 20);
    const std::vector<std::pair<Fields, SeenWeaponState>> steps = {
        {{MsgField::Byte(3), MsgField::Byte(40)}, {0, 4, 20, 40, 0}},
        {{MsgField::Byte(5), MsgField::Byte(2)}, {0, 4, 20, 40, 2}},
        {{MsgField::Byte(7), MsgField::Byte(9)}, {0, 4, 20, 40, 2}},   // another weapon's type
        {{MsgField::Byte(40), MsgField::Byte(9)}, {0, 4, 20, 40, 2}},  // no such type
        {{MsgField::Byte(-1), MsgField::Byte(9)}, {0, 4, 20, 40, 2}},
        {{MsgField::Byte(3)}, {0, 4, 20, 40, 2}},                      // type without count
    };
    for (const auto& [fields, want] : steps) {
        H().clearRecords();
        Send(player, "AmmoX", fields);
        const SeenWeaponState seen = LastCurrentInfo();
        EXPECT_EQ(seen.ammo1, want.ammo1) << ConsoleText();
        EXPECT_EQ(seen.ammo2, want.ammo2) << ConsoleText();
    }
    // The count of type 7 was kept for the crossbow; its second type (-1) reads 0.
    H().clearRecords();
    CurWeapon(player, 1, 6, 5);
    const SeenWeaponState seen = LastCurrentInfo();
    EXPECT_EQ(seen.ammo1, 9);
    EXPECT_EQ(seen.ammo2, 0);
}

TEST_F(CaptureTest, WeaponListIsStoredOnlyWhenComplete) {
    Start();
    const int player = Connect();
    SetDebug(1);
    AmmoX(player, 3, 40);
    AmmoX(player, 5, 8);
    auto ammoOfWeapon = [&](int weaponId) {
        H().clearRecords();
        CurWeapon(player, 1, weaponId, 1);
        const SeenWeaponState seen = LastCurrentInfo();
        return std::make_pair(seen.ammo1, seen.ammo2);
    };

    // The string and seven integers: the flags never arrive.
    Send(player, "WeaponList",
         {MsgField::String("weapon_rpg"), MsgField::Byte(3), MsgField::Byte(5), MsgField::Byte(5),
          MsgField::Byte(1), MsgField::Byte(3), MsgField::Byte(0), MsgField::Byte(8)});
    EXPECT_EQ(ammoOfWeapon(8), std::make_pair(0, 0));

    // Nine integers and no string: taken by position, so the first one is skipped.
    Send(player, "WeaponList",
         {MsgField::Byte(9), MsgField::Byte(3), MsgField::Byte(10), MsgField::Byte(5), MsgField::Byte(10),
          MsgField::Byte(1), MsgField::Byte(2), MsgField::Byte(8), MsgField::Byte(0)});
    EXPECT_EQ(ammoOfWeapon(8), std::make_pair(40, 8));

    // An over-long name is cut and the record still lands whole; ids outside 0..31 are dropped.
    WeaponList(player, std::string(100, 'n'), 5, 3, 9);
    EXPECT_EQ(ammoOfWeapon(9), std::make_pair(8, 40));
    WeaponList(player, "weapon_far", 3, 3, 40);
    WeaponList(player, "weapon_below", 3, 3, -3);
    EXPECT_EQ(ammoOfWeapon(9), std::make_pair(8, 40));
    EXPECT_EQ(ammoOfWeapon(8), std::make_pair(40, 8));
}

TEST_F(CaptureTest, AllSlotsTakenUntilOneIsFreed) {
    Start();
    std::vector<int> players;
    for (int i = 0; i < 32; ++i) {
        players.push_back(Connect("p" + std::to_string(i)));
        CurWeapon(players.back(), 1, 2, 17);
    }
    // Leaving while the gate is closed keeps the slot and leaves no mark.
    H().setDeathmatch(0.0f);
    H().disconnect(players[0]);
    H().setDeathmatch(1.0f);
    EXPECT_EQ(H().edict(players[0])->v.spawnflags & (kMark27 | kMark29), 0);

    const int late = Connect("late");
    SetDebug(1);
    H().clearRecords();
    CurWeapon(late, 1, 2, 17);
    EXPECT_EQ(LastCurrentInfo().slot, -1) << ConsoleText();

    // A leave with the gate open frees a slot and marks the entity.
    H().disconnect(players[5]);
    EXPECT_EQ(H().edict(players[5])->v.spawnflags & (kMark27 | kMark29), kMark27 | kMark29);
    H().clearRecords();
    CurWeapon(late, 1, 2, 17);
    EXPECT_EQ(LastCurrentInfo().slot, 5);

    // A player without a slot who leaves is not marked.
    const int slotless = Connect("slotless");
    H().disconnect(slotless);
    EXPECT_EQ(H().edict(slotless)->v.spawnflags & (kMark27 | kMark29), 0);

    // A map start frees every slot.
    H().mapStart("bounce");
    const int fresh = Connect("fresh");
    H().clearRecords();
    CurWeapon(fresh, 1, 2, 17);
    EXPECT_EQ(LastCurrentInfo().slot, 0);
}

TEST_F(CaptureTest, DisconnectMarkNeedsBothBits) {
    Start();
    const int player = Connect();
    SetDebug(1);
    for (const int flags : {kMark27, kMark29, kMark27 | kMark29, kMark27 | kMark29 | 1}) {
        H().edict(player)->v.spawnflags = flags;
        H().clearRecords();
        CurWeapon(player, 1, 2, 17);
        const bool both = (flags & (kMark27 | kMark29)) == (kMark27 | kMark29);
        EXPECT_EQ(LastCurrentInfo().slot, both ? -1 : 0) << "flags " << flags;
    }
}

TEST_F(CaptureTest, DisconnectKeepsOtherSpawnFlags) {
    Start();
    const int player = Connect();
    CurWeapon(player, 1, 2, 17);
    H().edict(player)->v.spawnflags = 0x5;
    H().clientDisconnect(player);
    EXPECT_EQ(H().edict(player)->v.spawnflags, 0x5 | kMark27 | kMark29);
}

TEST_F(CaptureTest, WorldspawnInAnyCaseStartsAMap) {
    WriteIni("valve", "[standard(valve,gearbox,etc)-AMMO1]\n2=4\n");
    Start();
    const int player = Connect();
    SetDebug(2);
    CurWeapon(player, 1, 2, 17);

    H().clearRecords();
    H().spawn("info_player_deathmatch");
    H().spawn("worldspawnx");
    EXPECT_EQ(ConsoleText(), "");

    H().spawn("WorldSpawn");
    EXPECT_EQ(ConsoleText(), "[Kestrum] Loading gunkestrum config from 'valve/kestrum_mm.ini' ... Successed!\n");
    // The record starts afresh: previous is all zero again.
    H().clearRecords();
    CurWeapon(player, 1, 2, 16);
    EXPECT_NE(ConsoleText().find("  {Previous weapon info(playerid:0)} Id:0 Clip:0 Ammo1:0 Ammo2:0\n"),
              std::string::npos)
        << ConsoleText();
    EXPECT_TRUE(RecoilValues().empty());
}

TEST_F(CaptureTest, ClosedGateStopsEveryHook) {
    WriteIni("valve", "[standard(valve,gearbox,etc)-AMMO1]\n2=4\n");
    Start();
    const int player = Connect();
    SetDebug(2);
    CurWeapon(player, 1, 2, 17);

    H().setDeathmatch(0.0f);
    H().clearRecords();
    H().mapStart("bounce");  // neither a reload nor a reset
    CurWeapon(player, 1, 2, 16);
    H().clientDisconnect(player);
    EXPECT_EQ(ConsoleText(), "");
    EXPECT_FLOAT_EQ(H().edict(player)->v.velocity.x, 0.0f);
    EXPECT_EQ(H().edict(player)->v.spawnflags & (kMark27 | kMark29), 0);

    // With the gate open again the record still holds clip 17 from before.
    H().setDeathmatch(1.0f);
    H().clearRecords();
    CurWeapon(player, 1, 2, 16);
    EXPECT_EQ(RecoilValues(), std::vector<float>{4.0f}) << ConsoleText();
}

TEST_F(CaptureTest, MessagesRegisteredWhileTheGateIsClosedAreNeverCaptured) {
    hostsim::HostConfig config;
    config.deathmatch = 0.0f;
    Start(config);  // the game registers its messages at the first map
    H().setDeathmatch(1.0f);
    H().mapStart("bounce");
    const int player = Connect();
    SetDebug(2);
    H().clearRecords();
    CurWeapon(player, 1, 2, 17);
    EXPECT_EQ(ConsoleText(), "");
}

TEST_F(CaptureTest, MessageNamesMatchExactly) {
    Start();
    const int player = Connect();
    SetDebug(2);
    const int lower = H().registerMessage("curweapon", 3);
    H().clearRecords();
    H().sendMessageId(MSG_ONE, lower, player, {MsgField::Byte(1), MsgField::Byte(2), MsgField::Byte(17)});
    EXPECT_EQ(ConsoleText(), "");
}

TEST_F(CaptureTest, AFailedRegistrationNamesNoMessage) {
    Start({}, false);
    H().failMessageRegistration(true);
    H().mapStart("crossfire");  // the engine answers 0 for every registration
    const int player = Connect();
    SetDebug(2);
    H().clearRecords();
    H().sendMessageId(MSG_ONE, 0, player, {MsgField::Byte(1), MsgField::Byte(2), MsgField::Byte(17)});
    EXPECT_EQ(ConsoleText(), "");
}

TEST_F(CaptureTest, BroadcastsAreNotCaptured) {
    Start();
    Connect();
    SetDebug(2);
    H().clearRecords();
    H().sendMessage(MSG_ALL, "CurWeapon", 0, {MsgField::Byte(1), MsgField::Byte(2), MsgField::Byte(17)});
    EXPECT_EQ(ConsoleText(), "");
}

}  // namespace

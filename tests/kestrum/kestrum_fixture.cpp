#include "kestrum_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

using hostsim::MsgField;

void KestrumTest::SetUp() {
    previousDir_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrum-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    workDir_ = pattern;
    std::filesystem::current_path(workDir_);
}

void KestrumTest::TearDown() {
    if (host_) {
        EXPECT_TRUE(host_->unsetResults().empty()) << "a hook left mres unset: " << host_->unsetResults().front();
        host_.reset();
    }
    std::filesystem::current_path(previousDir_);
    std::error_code ignored;
    std::filesystem::remove_all(workDir_, ignored);
}

std::filesystem::path KestrumTest::IniPath(const std::string& gameDir) const {
    return workDir_ / gameDir / "kestrum_mm.ini";
}

void KestrumTest::WriteIni(const std::string& gameDir, const std::string& text) {
    std::filesystem::create_directories(workDir_ / gameDir);
    std::ofstream out(IniPath(gameDir), std::ios::binary);
    out << text;
}

void KestrumTest::RemoveIni(const std::string& gameDir) {
    std::filesystem::remove(IniPath(gameDir));
}

void KestrumTest::Start(const hostsim::HostConfig& config, bool startMap) {
    host_ = std::make_unique<hostsim::Host>(config);
    ASSERT_GE(host_->load(KESTRUM_MM_PATH), 0);
    if (startMap) {
        host_->mapStart("crossfire");
    }
}

void KestrumTest::SetDebug(int level) {
    host_->setCvar("kestrum_debug", std::to_string(level));
}

void KestrumTest::SetMultiplier(const std::string& value) {
    host_->setCvar("kestrum_multiplier", value);
}

int KestrumTest::Connect(const std::string& name) {
    const int player = host_->connect(name);
    EXPECT_GE(player, 1);
    if (player >= 1) {
        entvars_t& pev = host_->edict(player)->v;
        pev.health = 100.0f;
        pev.deadflag = DEAD_NO;
        pev.velocity = {0.0f, 0.0f, 0.0f};
        pev.v_angle = {0.0f, 0.0f, 0.0f};
        pev.punchangle = {0.0f, 0.0f, 0.0f};
    }
    return player;
}

int KestrumTest::UserId(int player) {
    return host_->engineTable()->pfnGetPlayerUserId(host_->edict(player));
}

void KestrumTest::Send(int player, const std::string& message, const std::vector<MsgField>& fields) {
    host_->sendMessage(MSG_ONE, message, player, fields);
}

void KestrumTest::CurWeapon(int player, int state, int weaponId, int clip) {
    Send(player, "CurWeapon", {MsgField::Byte(state), MsgField::Byte(weaponId), MsgField::Byte(clip)});
}

void KestrumTest::AmmoX(int player, int ammoType, int count) {
    Send(player, "AmmoX", {MsgField::Byte(ammoType), MsgField::Byte(count)});
}

void KestrumTest::WeaponList(int player, const std::string& name, int ammo1Type, int ammo2Type,
                             int weaponId) {
    Send(player, "WeaponList",
         {MsgField::String(name), MsgField::Byte(ammo1Type), MsgField::Byte(90),
          MsgField::Byte(ammo2Type), MsgField::Byte(10), MsgField::Byte(2), MsgField::Byte(1),
          MsgField::Byte(weaponId), MsgField::Byte(0)});
}

std::string KestrumTest::ConsoleText() const {
    std::string text;
    for (const std::string& line : host_->console()) {
        text += line;
    }
    return text;
}

std::vector<std::string> KestrumTest::ConsoleLines() const {
    std::vector<std::string> lines;
    const std::string text = ConsoleText();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

SeenWeaponState KestrumTest::LastCurrentInfo() const {
    SeenWeaponState seen;
    for (const std::string& line : ConsoleLines()) {
        SeenWeaponState parsed;
        if (std::sscanf(line.c_str(), "  <[Current weapon info(playerid:%d)] Id:%d Clip:%d Ammo1:%d Ammo2:%d>",
                        &parsed.slot, &parsed.weaponId, &parsed.clip, &parsed.ammo1, &parsed.ammo2) == 5) {
            seen = parsed;
        }
    }
    return seen;
}

std::vector<float> KestrumTest::RecoilValues() const {
    std::vector<float> values;
    for (const std::string& line : ConsoleLines()) {
        const std::size_t at = line.find("--> Recoil:");
        if (line.rfind("{[Recoil]}", 0) == 0 && at != std::string::npos) {
            values.push_back(std::strtof(line.c_str() + at + 11, nullptr));
        }
    }
    return values;
}

float KestrumTest::ProbeMultiplier(int player, int weaponId, bool secondary) {
    constexpr int kProbeAmmo1 = 20;
    constexpr int kProbeAmmo2 = 21;
    SetDebug(1);
    WeaponList(player, "weapon_probe", kProbeAmmo1, kProbeAmmo2, weaponId);
    CurWeapon(player, 1, weaponId, 10);
    AmmoX(player, kProbeAmmo2, 10);
    host_->clearRecords();
    if (secondary) {
        AmmoX(player, kProbeAmmo2, 9);
    } else {
        CurWeapon(player, 1, weaponId, 9);
    }
    const std::vector<float> values = RecoilValues();
    EXPECT_EQ(values.size(), 1u) << ConsoleText();
    return values.empty() ? -1.0f : values.front();
}

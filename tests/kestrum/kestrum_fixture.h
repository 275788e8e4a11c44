// Runs the built kestrum_mm library inside the simulated host, in a temporary working
// directory that holds the game directory and its INI file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host.h"

struct SeenWeaponState {
    int slot = -1;
    int weaponId = 0;
    int clip = 0;
    int ammo1 = 0;
    int ammo2 = 0;
};

class KestrumTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes <gameDir>/kestrum_mm.ini below the working directory.
    void WriteIni(const std::string& gameDir, const std::string& text);
    void RemoveIni(const std::string& gameDir);
    std::filesystem::path IniPath(const std::string& gameDir) const;

    // Creates the host, loads the plug-in (asserting it is accepted), and when asked
    // starts the first map.
    void Start(const hostsim::HostConfig& config = {}, bool startMap = true);
    hostsim::Host& H() { return *host_; }

    void SetDebug(int level);
    void SetMultiplier(const std::string& value);

    // A connected, living player standing still and looking along +x.
    int Connect(const std::string& name = "player");
    int UserId(int player);

    void CurWeapon(int player, int state, int weaponId, int clip);
    void AmmoX(int player, int ammoType, int count);
    void WeaponList(int player, const std::string& name, int ammo1Type, int ammo2Type, int weaponId);
    void Send(int player, const std::string& message, const std::vector<hostsim::MsgField>& fields);

    // Console text since the last clearRecords(), joined.
    std::string ConsoleText() const;
    // Console lines since the last clearRecords(), each with its line end.
    std::vector<std::string> ConsoleLines() const;
    // The last "<[Current weapon info ...]>" line, parsed; slot -1 when there is none.
    SeenWeaponState LastCurrentInfo() const;
    // "Recoil:" values of the "{[Recoil]}" lines, in order.
    std::vector<float> RecoilValues() const;

    // The primary (or secondary) multiplier the plug-in uses for a weapon, seen through a
    // one-round drop at debug level 1. The player is left holding that weapon.
    float ProbeMultiplier(int player, int weaponId, bool secondary);

    std::unique_ptr<hostsim::Host> host_;

private:
    std::filesystem::path previousDir_;
    std::filesystem::path workDir_;
};

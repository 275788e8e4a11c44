// One INI file as the recoil plug-in loads it: the switches and tables come from the
// plug-in's own reader and table-filling code; the headings and keys are the reader's
// index of the file, copied out so that the checker can say what was left unread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config_tables.h"

namespace kestrum_check {

struct IndexedKey {
    std::string name;
    std::int32_t valueStart = 0;   // byte position of the value in the file
    std::int32_t valueLength = 0;
};

struct IndexedHeading {
    std::string name;  // "" for keys before the first heading or under "[]"
    std::vector<IndexedKey> keys;
};

struct LoadedConfig {
    std::string baseHeading;
    std::string primaryHeading;
    std::string secondaryHeading;
    bool baseFound = false;
    bool primaryFound = false;
    bool secondaryFound = false;
    int ammoIdIsFlag = 0;
    int allWeaponsClipless = 0;
    std::array<float, kMultiplierSlots> primary{};
    std::array<float, kMultiplierSlots> secondary{};
    std::vector<IndexedHeading> headings;  // in the reader's order
};

// Loads the file through the INI reader and fills the tables for the game directory
// name; nothing when the reader cannot load it. The reader creates and deletes its
// working copy beside the file; the file itself is only read.
std::optional<LoadedConfig> LoadConfig(const std::string& path, const std::string& gameDirName);

}  // namespace kestrum_check

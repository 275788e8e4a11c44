// Player weapon table and weapon descriptions, filled from the game's weapon messages
// and compared by the recoil evaluation.
#pragma once

#include <cstdint>

constexpr int kPlayerSlots = 32;
constexpr int kWeaponIds = 32;
constexpr int kAmmoTypes = 32;
constexpr int kWeaponNameSize = 64;

struct WeaponState {
    int weaponId;
    int clip;   // negative for a weapon without clip
    int ammo1;  // count of the weapon's primary ammunition type
    int ammo2;  // count of its secondary ammunition type
};

struct PlayerWeaponRecord {
    int userId;  // engine user id; -1 = slot free
    std::uint32_t ownedWeapons;
    WeaponState current;
    WeaponState previous;
    int ammoCounts[kAmmoTypes];
};

// One "WeaponList" message, fields in message order.
struct WeaponInfoRecord {
    char weaponName[kWeaponNameSize];
    int ammo1Type;
    int ammo1Max;
    int ammo2Type;
    int ammo2Max;
    int menuSlot;
    int menuPosition;
    int weaponId;
    int weaponFlags;
};

extern PlayerWeaponRecord PlayerWeaponTable[kPlayerSlots];
extern WeaponInfoRecord WeaponInfoTable[kWeaponIds];

#include "message_capture.h"

#include <cstdio>
#include <cstring>

#include "config.h"
#include "frame.h"
#include "hook_support.h"
#include "recoil.h"
#include "text_compare.h"
#include "weapon_table.h"

PlayerWeaponRecord PlayerWeaponTable[kPlayerSlots] = {};
WeaponInfoRecord WeaponInfoTable[kWeaponIds] = {};

namespace {

// Spawn-flag bits 27 and 29, set on a player's entity when the player leaves.
constexpr int kDisconnectMark = 0x28000000;

// Ids the engine gave the three messages; 0 = not registered.
int curWeaponMsgId = 0;
int ammoXMsgId = 0;
int weaponListMsgId = 0;

struct MessageCapture {
    int messageId;
    int capturing;
    int fieldIndex;
    int slot;
    edict_t* target;
};
MessageCapture capture = {};

struct CurWeaponFields {
    int state;
    int weaponId;
    int clip;
};
struct AmmoXFields {
    int ammoType;
    int count;
};
// Scratch of the message being captured; kept between messages.
CurWeaponFields curWeaponFields = {};
AmmoXFields ammoXFields = {};
WeaponInfoRecord weaponListFields = {};

void ClearCapture() {
    capture = MessageCapture{};
}

void ResetSlot(PlayerWeaponRecord& record) {
    record = PlayerWeaponRecord{};
    record.userId = -1;
}

// An id of 0 was never registered and names no message.
bool IsMessage(int type, int registeredId) {
    return registeredId != 0 && type == registeredId;
}

bool InRange(int value, int count) {
    return value >= 0 && value < count;
}

// With AmmoIdIsFlag a weapon id arrives as a bit value: its bit number is the id.
int DecodeWeaponId(int value) {
    if (AmmoIdIsFlag == 0) {
        return value;
    }
    int bit = 0;
    while (value > 1) {
        value /= 2;
        ++bit;
    }
    return bit;
}

int AmmoCount(const PlayerWeaponRecord& record, int ammoType) {
    return InRange(ammoType, kAmmoTypes) ? record.ammoCounts[ammoType] : 0;
}

void RefreshCurrentAmmo(PlayerWeaponRecord& record) {
    const WeaponInfoRecord& info = WeaponInfoTable[record.current.weaponId];
    record.current.ammo1 = AmmoCount(record, info.ammo1Type);
    record.current.ammo2 = AmmoCount(record, info.ammo2Type);
}

void TakeCurWeaponField(PlayerWeaponRecord& record, int index, int value) {
    switch (index) {
    case 0:
        curWeaponFields.state = value;
        break;
    case 1:
        curWeaponFields.weaponId = DecodeWeaponId(value);
        break;
    case 2: {
        curWeaponFields.clip = value;
        const int weaponId = curWeaponFields.weaponId;
        if (!InRange(weaponId, kWeaponIds)) {
            break;
        }
        record.ownedWeapons |= std::uint32_t{1} << weaponId;
        if (curWeaponFields.state == 1) {
            record.current.weaponId = weaponId;
            record.current.clip = curWeaponFields.clip;
            RefreshCurrentAmmo(record);
        }
        break;
    }
    default:
        break;
    }
}

void TakeAmmoXField(PlayerWeaponRecord& record, int index, int value) {
    switch (index) {
    case 0:
        ammoXFields.ammoType = value;
        break;
    case 1:
        ammoXFields.count = value;
        if (InRange(ammoXFields.ammoType, kAmmoTypes)) {
            record.ammoCounts[ammoXFields.ammoType] = value;
            RefreshCurrentAmmo(record);
        }
        break;
    default:
        break;
    }
}

void TakeWeaponListField(int index, int value) {
    WeaponInfoRecord& info = weaponListFields;
    switch (index) {
    case 1: info.ammo1Type = value; break;
    case 2: info.ammo1Max = value; break;
    case 3: info.ammo2Type = value; break;
    case 4: info.ammo2Max = value; break;
    case 5: info.menuSlot = value; break;
    case 6: info.menuPosition = value; break;
    case 7: info.weaponId = DecodeWeaponId(value); break;
    case 8:
        info.weaponFlags = value;
        if (InRange(info.weaponId, kWeaponIds)) {
            WeaponInfoTable[info.weaponId] = info;
        }
        break;
    default:  // 0 is the name, a string
        break;
    }
}

// The player's slot, or a free one taken for the player; -1 when all are taken.
int FindOrTakeSlot(int userId) {
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        if (PlayerWeaponTable[slot].userId == userId) {
            return slot;
        }
    }
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        if (PlayerWeaponTable[slot].userId == -1) {
            PlayerWeaponTable[slot].userId = userId;
            return slot;
        }
    }
    return -1;
}

struct MessageName {
    const char* name;
    int* id;
};
// Looked up in this order, by exact name.
const MessageName kCapturedMessages[] = {
    {"CurWeapon", &curWeaponMsgId},
    {"AmmoX", &ammoXMsgId},
    {"WeaponList", &weaponListMsgId},
};

}  // namespace

int HookRegUserMsgPost(const char* name, int /*size*/) {
    if (!DeathmatchRunning() || name == nullptr || gpMetaGlobals->orig_ret == nullptr) {
        SetResult(MRES_IGNORED);
        return 0;
    }
    const int id = *static_cast<const int*>(gpMetaGlobals->orig_ret);
    for (const MessageName& message : kCapturedMessages) {
        if (std::strcmp(name, message.name) == 0) {
            *message.id = id;
            SetResult(MRES_HANDLED);
            return 0;
        }
    }
    SetResult(MRES_IGNORED);
    return 0;
}

void HookMessageBegin(int /*dest*/, int type, const float* /*origin*/, edict_t* target) {
    if (!DeathmatchRunning() || target == nullptr) {
        SetResult(MRES_IGNORED);
        return;
    }
    const int userId = g_engfuncs.pfnGetPlayerUserId(target);
    if (userId == -1) {
        SetResult(MRES_IGNORED);
        return;
    }
    if ((target->v.spawnflags & kDisconnectMark) == kDisconnectMark) {
        ClearCapture();
        SetResult(MRES_IGNORED);
        return;
    }
    if (DebugLevel() > 1.0f) {
        if (IsMessage(type, curWeaponMsgId)) {
            g_engfuncs.pfnAlertMessage(at_console, "[[CurWeapon]] [player-id:%d]\n", userId - 1);
        } else if (IsMessage(type, ammoXMsgId)) {
            g_engfuncs.pfnAlertMessage(at_console, "[[AmmoX]] [player-id:%d]\n", userId - 1);
        } else if (IsMessage(type, weaponListMsgId)) {
            g_engfuncs.pfnAlertMessage(at_console, "[[WeaponList]] [player-id:%d]\n", userId - 1);
        }
    }
    if (!IsMessage(type, curWeaponMsgId) && !IsMessage(type, ammoXMsgId) &&
        !IsMessage(type, weaponListMsgId)) {
        ClearCapture();
        SetResult(MRES_IGNORED);
        return;
    }
    capture.messageId = type;
    capture.capturing = 1;
    capture.fieldIndex = 0;
    const int slot = FindOrTakeSlot(userId);
    if (slot == -1) {
        ClearCapture();
        SetResult(MRES_IGNORED);
        return;
    }
    capture.slot = slot;
    capture.target = target;
    SetResult(MRES_HANDLED);
}

void HookWriteInteger(int value) {
    if (!DeathmatchRunning() || capture.capturing == 0) {
        SetResult(MRES_IGNORED);
        return;
    }
    PlayerWeaponRecord& record = PlayerWeaponTable[capture.slot];
    if (IsMessage(capture.messageId, curWeaponMsgId)) {
        TakeCurWeaponField(record, capture.fieldIndex, value);
    } else if (IsMessage(capture.messageId, ammoXMsgId)) {
        TakeAmmoXField(record, capture.fieldIndex, value);
    } else if (IsMessage(capture.messageId, weaponListMsgId)) {
        TakeWeaponListField(capture.fieldIndex, value);
    }
    if (DebugLevel() > 1.0f) {
        g_engfuncs.pfnAlertMessage(at_console, " [%d] iValue:%d\n", capture.fieldIndex, value);
    }
    ++capture.fieldIndex;
    SetResult(MRES_HANDLED);
}

void HookWriteString(const char* text) {
    if (!DeathmatchRunning() || capture.capturing == 0 ||
        !IsMessage(capture.messageId, weaponListMsgId) || capture.fieldIndex != 0) {
        SetResult(MRES_IGNORED);
        return;
    }
    if (text == nullptr) {
        text = "";
    }
    if (DebugLevel() > 1.0f) {
        g_engfuncs.pfnAlertMessage(at_console, " [%d] iString:%s\n", capture.fieldIndex, text);
    }
    // A name too long for the record is cut to its first 63 characters.
    std::snprintf(weaponListFields.weaponName, sizeof weaponListFields.weaponName, "%s", text);
    capture.fieldIndex = 1;
    SetResult(MRES_HANDLED);
}

void HookMessageEnd() {
    if (!DeathmatchRunning() || capture.capturing == 0) {
        SetResult(MRES_IGNORED);
        return;
    }
    if (DebugLevel() > 1.0f) {
        g_engfuncs.pfnAlertMessage(at_console, "[END]\n");
    }
    if (IsMessage(capture.messageId, curWeaponMsgId) || IsMessage(capture.messageId, ammoXMsgId)) {
        EvaluateRecoil(capture.slot, capture.target);
    }
    capture.capturing = 0;
    capture.messageId = 0;
    capture.fieldIndex = 0;
    capture.target = nullptr;
    SetResult(MRES_HANDLED);
}

int HookSpawn(edict_t* entity) {
    if (!DeathmatchRunning()) {
        SetResult(MRES_IGNORED);
        return 0;
    }
    const char* classname = nullptr;
    if (entity != nullptr && gpGlobals->pStringBase != nullptr) {
        classname = gpGlobals->pStringBase + entity->v.classname;
    }
    if (classname == nullptr || !EqualIgnoringCase(classname, "worldspawn")) {
        SetResult(MRES_IGNORED);
        return 0;
    }
    LoadConfiguration();
    for (PlayerWeaponRecord& record : PlayerWeaponTable) {
        ResetSlot(record);
    }
    SetResult(MRES_HANDLED);
    return 0;
}

void HookClientDisconnect(edict_t* entity) {
    if (!DeathmatchRunning() || entity == nullptr) {
        SetResult(MRES_IGNORED);
        return;
    }
    const int userId = g_engfuncs.pfnGetPlayerUserId(entity);
    if (userId == -1) {
        SetResult(MRES_IGNORED);
        return;
    }
    for (PlayerWeaponRecord& record : PlayerWeaponTable) {
        if (record.userId == userId) {
            entity->v.spawnflags |= kDisconnectMark;
            ResetSlot(record);
            SetResult(MRES_HANDLED);
            return;
        }
    }
    SetResult(MRES_IGNORED);
}

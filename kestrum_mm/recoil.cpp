#include "recoil.h"

#include <climits>

#include "config.h"
#include "frame.h"
#include "weapon_table.h"

namespace {

// Rounds spent between two counts; a drop too large for an int is held at INT_MAX.
int RoundsSpent(int before, int after) {
    const long long spent = static_cast<long long>(before) - after;
    return spent > INT_MAX ? INT_MAX : static_cast<int>(spent);
}

// One push backwards along the view for rounds of one kind of ammunition. Every value
// is a float rounded to single precision as it is formed.
void ApplyKick(int rounds, edict_t* target, int weaponId, const float* table, const char* label) {
    float multiplier = g_multiplierCvar != nullptr ? g_multiplierCvar->value : 0.0f;
    if (target == nullptr || !(target->v.health > 0.0f) || target->v.deadflag != DEAD_NO) {
        return;
    }
    if (!(multiplier != 0.0f) || multiplier != multiplier) {
        return;
    }
    if (multiplier < 0.0f || multiplier > 10.0f) {
        multiplier = 1.0f;
    }
    entvars_t& pev = target->v;
    const float angles[3] = {pev.v_angle.x + pev.punchangle.x, pev.v_angle.y + pev.punchangle.y,
                             pev.v_angle.z + pev.punchangle.z};
    g_engfuncs.pfnMakeVectors(angles);

    const float base = static_cast<float>(rounds) * table[weaponId];
    if (DebugLevel() > 0.0f) {
        g_engfuncs.pfnAlertMessage(at_console, "{[Recoil]} ammo:%d multi:%f ammotype:%s --> Recoil:%f\n",
                                   rounds, static_cast<double>(multiplier), label,
                                   static_cast<double>(base));
    }
    const float total = base * multiplier;
    const vec3_t forward = gpGlobals->v_forward;
    if (total == 0.0f) {
        return;
    }
    const float lengthSquared = forward.x * forward.x + forward.y * forward.y + forward.z * forward.z;
    if (lengthSquared == 0.0f) {
        return;
    }
    const vec3_t push = {forward.x * total, forward.y * total, forward.z * total};
    pev.velocity.x = pev.velocity.x - push.x;
    pev.velocity.y = pev.velocity.y - push.y;
    pev.velocity.z = pev.velocity.z - push.z;
}

}  // namespace

void EvaluateRecoil(int slot, edict_t* target) {
    PlayerWeaponRecord& record = PlayerWeaponTable[slot];
    const WeaponState& cur = record.current;
    WeaponState& prev = record.previous;
    const int weaponId = cur.weaponId;

    if (prev.weaponId >= 0 && prev.weaponId == weaponId && weaponId < kMultiplierSlots) {
        if (AllWeaponsClipless != 0 || prev.clip < 0) {
            if (cur.ammo1 < prev.ammo1) {
                ApplyKick(RoundsSpent(prev.ammo1, cur.ammo1), target, weaponId,
                          g_primaryMultipliers, "AMMO1");
            }
        } else if (cur.clip < prev.clip) {
            ApplyKick(RoundsSpent(prev.clip, cur.clip), target, weaponId, g_primaryMultipliers,
                      "AMMO1");
        }
        if (cur.ammo2 < prev.ammo2) {
            ApplyKick(RoundsSpent(prev.ammo2, cur.ammo2), target, weaponId, g_secondaryMultipliers,
                      "AMMO2");
        }
    }

    const float debugLevel = DebugLevel();
    if (debugLevel > 1.0f) {
        g_engfuncs.pfnAlertMessage(at_console,
                                   "  {Previous weapon info(playerid:%d)} Id:%d Clip:%d Ammo1:%d Ammo2:%d\n",
                                   slot, prev.weaponId, prev.clip, prev.ammo1, prev.ammo2);
    }
    if (debugLevel > 0.0f) {
        g_engfuncs.pfnAlertMessage(at_console,
                                   "  <[Current weapon info(playerid:%d)] Id:%d Clip:%d Ammo1:%d Ammo2:%d>\n",
                                   slot, cur.weaponId, cur.clip, cur.ammo1, cur.ammo2);
    }
    prev = cur;
}

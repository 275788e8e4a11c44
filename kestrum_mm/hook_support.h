// What every hook of the recoil plug-in starts and ends with.
#pragma once

#include "frame.h"

// The plug-in acts only while a deathmatch game runs; a value that is not a number
// counts as no deathmatch.
inline bool DeathmatchRunning() {
    const float deathmatch = gpGlobals->deathmatch;
    return deathmatch == deathmatch && deathmatch != 0.0f;
}

inline void SetResult(META_RES result) {
    gpMetaGlobals->mres = result;
}

// Recoil: turns spent ammunition into a push along the player's line of sight.
#pragma once

#include "entities.h"

// Compares the slot's current weapon state with the previous one, pushes the player
// when the same weapon spent rounds, prints the debug lines and rolls current forward.
void EvaluateRecoil(int slot, edict_t* target);

// The bot fix: field-of-view mirroring and host-name announcements to human players.
#pragma once

#include "frame.h"

// Engine pre-hooks: follow the game's messages ("SetFOV" mirrored into the target's
// fov, "ServerName" sent ahead of every "MOTD").
void OnMessageBegin(int msg_dest, int msg_type, const float* pOrigin, edict_t* ed);
void OnWriteByte(int value);
void OnMessageEnd();

// Game pre-hook: a map ends, so every player is due an announcement on the next one.
void OnServerDeactivate();
// Game post-hook: the periodic announcement, at most once per 5 s of server time.
void OnPlayerPostThink(edict_t* player);

// Sets every player's next announcement time to 0.0 (due at once).
void ClearAnnounceTimes();
// Sends one "ServerName" message with the current hostname to the player.
void AnnounceServerName(edict_t* player);

// Stores the hook's result for the plug-in manager.
inline void ReportResult(META_RES result) {
    if (gpMetaGlobals != nullptr) {
        gpMetaGlobals->mres = result;
    }
}

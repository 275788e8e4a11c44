// Sends human players the server's host name in a "ServerName" message: ahead of each
// "MOTD" (see message_hooks.cpp) and periodically from their post-think.
#include "bot_fix.h"

namespace {

constexpr int kPlayerSlots = 32;
constexpr float kAnnounceInterval = 5.0f;

// Registered with the engine at the first announcement; retried while it is 0.
int serverNameMsgId = 0;

// Server time after which each player (index 1 at element 0) is due its next announcement.
float nextAnnounceTime[kPlayerSlots];

}  // namespace

void ClearAnnounceTimes() {
    for (float& time : nextAnnounceTime) {
        time = 0.0f;
    }
}

void AnnounceServerName(edict_t* player) {
    if (serverNameMsgId == 0) {
        serverNameMsgId = g_engfuncs.pfnRegUserMsg("ServerName", -1);
    }
    if (serverNameMsgId == 0) {
        return;
    }
    g_engfuncs.pfnMessageBegin(MSG_ONE, serverNameMsgId, nullptr, player);
    const char* hostname = g_engfuncs.pfnCVarGetString("hostname");
    g_engfuncs.pfnWriteString(hostname);
    g_engfuncs.pfnMessageEnd();
}

void OnServerDeactivate() {
    ClearAnnounceTimes();
    ReportResult(MRES_HANDLED);
}

void OnPlayerPostThink(edict_t* player) {
    if (player == nullptr || (player->v.flags & FL_FAKECLIENT) != 0) {
        ReportResult(MRES_IGNORED);
        return;
    }
    int index = g_engfuncs.pfnIndexOfEdict(player);
    if (index < 1 || index > kPlayerSlots) {
        ReportResult(MRES_IGNORED);
        return;
    }
    float& next = nextAnnounceTime[index - 1];
    if (!(next >= gpGlobals->time)) {
        AnnounceServerName(player);
        next = gpGlobals->time + kAnnounceInterval;
    }
    ReportResult(MRES_HANDLED);
}

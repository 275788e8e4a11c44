// Follows the game's messages to human players in a deathmatch game: the byte of a
// "SetFOV" message is mirrored into the target's fov, and every "MOTD" message is
// preceded by a "ServerName" message.
#include "bot_fix.h"

namespace {

// Ids of the game's messages, looked up until the game has registered them; once
// known they are kept for the life of the plug-in.
int setFovMsgId = 0;
int motdMsgId = 0;

// The "SetFOV" message being written, at most one at a time.
struct FovCapture {
    int capturing;
    int messageId;
    edict_t* target;
};
FovCapture capture = {0, 0, nullptr};

void ResetFovCapture() {
    capture.capturing = 0;
    capture.messageId = 0;
    capture.target = nullptr;
}

bool DeathmatchRuns() {
    return gpGlobals->deathmatch != 0.0f;
}

// A message to one human player of the current game; the cheap tests come first.
bool IsToHumanPlayer(int msg_type, const edict_t* ed) {
    if (!DeathmatchRuns() || msg_type == 0 || ed == nullptr) {
        return false;
    }
    if ((ed->v.flags & FL_FAKECLIENT) != 0) {
        return false;
    }
    int index = g_engfuncs.pfnIndexOfEdict(ed);
    return index >= 1 && index <= gpGlobals->maxClients;
}

int LookUpMessageId(const char* name) {
    return gpMetaUtilFuncs->pfnGetUserMsgID(&Plugin_info, name, nullptr);
}

}  // namespace

void OnMessageBegin(int /*msg_dest*/, int msg_type, const float* /*pOrigin*/, edict_t* ed) {
    if (IsToHumanPlayer(msg_type, ed)) {
        if (setFovMsgId == 0) {
            setFovMsgId = LookUpMessageId("SetFOV");
        }
        if (motdMsgId == 0) {
            motdMsgId = LookUpMessageId("MOTD");
        }
        if (msg_type == setFovMsgId) {
            capture.capturing = 1;
            capture.target = ed;
            capture.messageId = msg_type;
        } else if (msg_type == motdMsgId) {
            AnnounceServerName(ed);
        }
    }
    ReportResult(MRES_HANDLED);
}

void OnWriteByte(int value) {
    if (DeathmatchRuns() && capture.capturing == 1 && capture.messageId == setFovMsgId) {
        capture.target->v.fov = static_cast<float>(value);
    }
    ReportResult(MRES_HANDLED);
}

void OnMessageEnd() {
    if (DeathmatchRuns() && capture.capturing == 1) {
        ResetFovCapture();
    }
    ReportResult(MRES_HANDLED);
}

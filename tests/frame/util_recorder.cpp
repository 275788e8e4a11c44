#include "util_recorder.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace frametest {
namespace {

UtilRecorder* active = nullptr;

#define RECORDING_SLOT(name)                                   \
    void name(plid_t plid, const char* format, ...) {          \
        va_list args;                                          \
        va_start(args, format);                                \
        active->record(#name + 3, plid, format, args);         \
        va_end(args);                                          \
    }
RECORDING_SLOT(pfnLogConsole)
RECORDING_SLOT(pfnLogMessage)
RECORDING_SLOT(pfnLogError)
RECORDING_SLOT(pfnLogDeveloper)
#undef RECORDING_SLOT

int GetUserMsgID(plid_t, const char*, int*) { return 0; }

}  // namespace

UtilRecorder::UtilRecorder() {
    if (active != nullptr) {
        throw std::logic_error("one UtilRecorder at a time");
    }
    active = this;
    table_.pfnLogConsole = &pfnLogConsole;
    table_.pfnLogMessage = &pfnLogMessage;
    table_.pfnLogError = &pfnLogError;
    table_.pfnLogDeveloper = &pfnLogDeveloper;
    table_.pfnGetUserMsgID = &GetUserMsgID;
}

UtilRecorder::~UtilRecorder() { active = nullptr; }

void UtilRecorder::record(const char* slot, plid_t plid, const char* format, va_list args) {
    char text[4096];
    std::vsnprintf(text, sizeof text, format, args);
    calls_.push_back({slot, text, plid});
}

}  // namespace frametest

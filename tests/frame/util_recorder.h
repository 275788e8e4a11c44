// A plug-in manager utility table that records every log call a plug-in makes, so that
// tests can give it to Meta_Query directly and compare the exact texts.
#pragma once

#include <string>
#include <vector>

#include "metamod_api.h"

namespace frametest {

struct UtilCall {
    std::string slot;  // "LogMessage", "LogError", "LogDeveloper", "LogConsole"
    std::string text;  // the formatted text
    plid_t plid = nullptr;

    bool operator==(const UtilCall& other) const {
        return slot == other.slot && text == other.text;
    }
};

// One recorder is active at a time; it must outlive every plug-in that was given it.
class UtilRecorder {
public:
    UtilRecorder();
    ~UtilRecorder();
    UtilRecorder(const UtilRecorder&) = delete;
    UtilRecorder& operator=(const UtilRecorder&) = delete;

    mutil_funcs_t* table() { return &table_; }
    std::vector<UtilCall>& calls() { return calls_; }
    void record(const char* slot, plid_t plid, const char* format, va_list args);

private:
    mutil_funcs_t table_{};
    std::vector<UtilCall> calls_;
};

}  // namespace frametest

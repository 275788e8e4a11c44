// What both hook-stream targets share: reading the input as a stream of small values,
// a scratch game folder, loading the instrumented plug-in into the simulated host and
// the checks every step ends with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host.h"

namespace hookfuzz {

// Reads the input front to back; past its end every read gives 0.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int16_t int16();
    int32_t int32();
    // A value below count (count > 0).
    int below(int count) { return byte() % count; }
    // A text of up to maxLength bytes, its length taken from the input.
    std::string text(size_t maxLength);
    // One of the given texts, or (one time in eight) a text from the input.
    template <size_t N>
    std::string pick(const char* const (&choices)[N]) {
        const uint8_t b = byte();
        if (b % 8 == 7) return text(24);
        return choices[b % N];
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

[[noreturn]] void Fail(const std::string& what);
inline void Require(bool condition, const char* what) {
    if (!condition) Fail(what);
}

// A scratch folder holding the game folder; the plug-ins open their files relative to
// the working directory, so each run switches into it and back (ScratchCwd).
const std::string& ScratchDir();
void WriteFile(const std::string& path, const std::string& content);

class ScratchCwd {
public:
    ScratchCwd();
    ~ScratchCwd();
    ScratchCwd(const ScratchCwd&) = delete;
    ScratchCwd& operator=(const ScratchCwd&) = delete;

private:
    int previous_;
};

// The host with the plug-in built for fuzzing loaded; created at the first call.
hostsim::Host& LoadedHost(const hostsim::HostConfig& config);

// Back to a known game at the start of an input: no open message, message registration
// working, deathmatch on, nobody connected.
void ResetGame(hostsim::Host& host);

// The engine keeps every allocated string until it stops; a long run would fill its
// pool. Strings allocated after MarkStrings are dropped by RewindStrings; call it only
// when no entity refers to them any more (nobody connected, before a map start).
void MarkStrings();
void RewindStrings();

// Checks after every step: every hook the plug-in ran left a result, and it called no
// engine function the simulated engine lacks.
void CheckHookResults(hostsim::Host& host);

}  // namespace hookfuzz

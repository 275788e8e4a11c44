#include "hook_fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "host_impl.h"

namespace hookfuzz {

int16_t Input::int16() {
    const uint16_t low = byte();
    const uint16_t high = byte();
    return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

int32_t Input::int32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte()) << (8 * i);
    return static_cast<int32_t>(value);
}

std::string Input::text(size_t maxLength) {
    const size_t length = byte() % (maxLength + 1);
    std::string result;
    for (size_t i = 0; i < length && !done(); ++i) result.push_back(static_cast<char>(byte()));
    return result;
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "hook fuzz invariant: %s\n", what.c_str());
    std::abort();
}

namespace {

std::string g_scratch;

void RemoveScratch() {
    if (g_scratch.empty()) return;
    const std::string command = "rm -rf '" + g_scratch + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", g_scratch.c_str());
}

}  // namespace

const std::string& ScratchDir() {
    if (g_scratch.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/hook_fuzz_XXXXXX";
        Require(mkdtemp(pattern.data()) != nullptr, "no scratch folder");
        g_scratch = pattern;
        std::atexit(RemoveScratch);
    }
    return g_scratch;
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    Require(static_cast<bool>(out), "could not write a scratch file");
}

ScratchCwd::ScratchCwd() : previous_(open(".", O_RDONLY | O_DIRECTORY)) {
    Require(previous_ >= 0 && chdir(ScratchDir().c_str()) == 0, "cannot enter the scratch folder");
}

ScratchCwd::~ScratchCwd() {
    if (fchdir(previous_) != 0) std::perror("fchdir");
    close(previous_);
}

hostsim::Host& LoadedHost(const hostsim::HostConfig& config) {
    static std::unique_ptr<hostsim::Host> host;
    if (!host) {
        host = std::make_unique<hostsim::Host>(config);
        Require(host->load(HL_FUZZ_PLUGIN) == 0, "the plug-in did not load");
        Require(host->plugin(0).attached, "the plug-in did not attach");
    }
    return *host;
}

namespace {
std::size_t g_stringMark = 0;
}  // namespace

void MarkStrings() { g_stringMark = hostsim::CurrentHost().stringPoolUsed; }
void ResetGame(hostsim::Host& host) {
    host.failMessageRegistration(false);
    host.setDeathmatch(1.0f);
    host.messageEnd();
    for (int index = 1; index <= hostsim::kMaxPlayers; ++index) host.disconnect(index);
}

void RewindStrings() { hostsim::CurrentHost().stringPoolUsed = g_stringMark; }

void CheckHookResults(hostsim::Host& host) {
    if (!host.unsetResults().empty()) Fail("hook left mres unset: " + host.unsetResults().front());
    if (!host.unexpectedCalls().empty()) Fail("engine call not simulated: " + host.unexpectedCalls().front());
}

}  // namespace hookfuzz

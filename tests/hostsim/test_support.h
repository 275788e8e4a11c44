// Helpers shared by the host's tests.
#pragma once

#include <string>
#include <vector>

#include "host.h"

namespace hostsim {

// The fixture plug-in's log lines, without the "[Fixture] " tag and the line end.
inline std::vector<std::string> FixtureLines(const Host& host) {
    const std::string tag = "[Fixture] ";
    std::vector<std::string> lines;
    for (const std::string& line : host.serverLog()) {
        if (line.compare(0, tag.size(), tag) != 0) continue;
        std::string text = line.substr(tag.size());
        if (!text.empty() && text.back() == '\n') text.pop_back();
        lines.push_back(text);
    }
    return lines;
}

}  // namespace hostsim

namespace hostsim {

// Drops the " size=N" that the fixture's getters report (the allocator's usable size,
// exact only under AddressSanitizer).
inline std::vector<std::string> WithoutSizes(std::vector<std::string> lines) {
    for (std::string& line : lines) {
        const auto at = line.find(" size=");
        if (at == std::string::npos) continue;
        const auto end = line.find(' ', at + 1);
        line.erase(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return lines;
}

}  // namespace hostsim

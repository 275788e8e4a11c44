// Helpers shared by the host's tests.
#pragma once

#include <algorithm>
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

inline int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// Position of the first line that starts with prefix at or after from; -1 if none.
inline int Find(const std::vector<std::string>& lines, const std::string& prefix, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (lines[static_cast<std::size_t>(i)].compare(0, prefix.size(), prefix) == 0) return i;
    return -1;
}

// A host with the fixture loaded under the given "fixture_options".
struct FixtureHost {
    explicit FixtureHost(const std::string& options = "", LoadOptions load = {}, HostConfig config = {})
        : host(config) {
        host.setCvar("fixture_options", options);
        index = host.load(FIXTURE_PLUGIN, load);
    }
    Host host;
    int index = -1;
};

}  // namespace hostsim

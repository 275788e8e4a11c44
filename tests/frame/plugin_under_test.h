// Loads one deliverable into a fresh simulated host and reaches its entry points.
#pragma once

#include <string>

#include "host.h"
#include "util_recorder.h"

namespace frametest {

struct Deliverable {
    const char* name;             // target name, "hopwick_mm" or "kestrum_mm"
    const char* path;             // the built library, "" when it was not built
    const char* builtinIfvers;    // the version it is loaded with, so nothing is adopted
};

const Deliverable& Hopwick();
const Deliverable& Kestrum();

// A host with the deliverable loaded and attached; its utility table is then switched
// to a recorder by a Meta_Query with the deliverable's own version.
class PluginUnderTest {
public:
    explicit PluginUnderTest(const Deliverable& deliverable, hostsim::HostConfig config = {});

    hostsim::Host& host() { return *host_; }
    hostsim::PluginRecord& record() { return host_->plugin(index_); }
    std::vector<UtilCall>& calls() { return recorder_.calls(); }
    mutil_funcs_t* utilTable() { return recorder_.table(); }
    plugin_info_t* info() { return info_; }
    template <typename Fn>
    Fn entry(const char* name) {
        return reinterpret_cast<Fn>(host_->symbol(index_, name));
    }
    bool loaded() const { return index_ >= 0; }

private:
    UtilRecorder recorder_;  // outlives the host, which holds the plug-in
    std::unique_ptr<hostsim::Host> host_;
    int index_ = -1;
    plugin_info_t* info_ = nullptr;
};

// True when some server-log line contains the text.
bool ServerLogHas(const hostsim::Host& host, const std::string& text);

}  // namespace frametest

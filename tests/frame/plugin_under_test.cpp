#include "plugin_under_test.h"

namespace frametest {

const Deliverable& Hopwick() {
    static const Deliverable deliverable{"hopwick_mm", HOPWICK_MM_PATH, "5:8"};
    return deliverable;
}

const Deliverable& Kestrum() {
    static const Deliverable deliverable{"kestrum_mm", KESTRUM_MM_PATH, "5:6"};
    return deliverable;
}

PluginUnderTest::PluginUnderTest(const Deliverable& deliverable, hostsim::HostConfig config)
    : host_(std::make_unique<hostsim::Host>(std::move(config))) {
    hostsim::LoadOptions options;
    options.ifvers = deliverable.builtinIfvers;
    index_ = host_->load(deliverable.path, options);
    if (index_ < 0) {
        return;
    }
    auto query = entry<META_QUERY_FN>("Meta_Query");
    query(deliverable.builtinIfvers, &info_, recorder_.table());
}

bool ServerLogHas(const hostsim::Host& host, const std::string& text) {
    for (const std::string& line : host.serverLog()) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace frametest

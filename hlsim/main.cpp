// hlsim: runs a scenario on the simulated host and prints the transcript.
#include <cstring>
#include <iostream>
#include <string>

#include "host.h"
#include "layout_pins.h"

namespace {

void Usage(std::ostream& out) {
    out << "usage: hlsim [--plugin-dir DIR]... [--trace] SCENARIO\n"
           "       hlsim --help\n"
           "Runs SCENARIO on the simulated host and prints the transcript: each command as\n"
           "\"> line\", then what it caused. Exit status 0 when the script ran to its end,\n"
           "1 on a script error (reported as FILE:LINE: what was expected), 2 on bad usage.\n";
}

}  // namespace

int main(int argc, char** argv) {
    hostsim::ScenarioOptions options;
    options.out = &std::cout;
    std::string script;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(std::cout);
            std::cout << "\n" << hostsim::ScenarioHelp();
            return 0;
        }
        if (arg == "--plugin-dir" && i + 1 < argc) {
            options.pluginDirs.push_back(argv[++i]);
        } else if (arg.rfind("--plugin-dir=", 0) == 0) {
            options.pluginDirs.push_back(arg.substr(std::strlen("--plugin-dir=")));
        } else if (arg == "--trace") {
            trace = true;
        } else if (!arg.empty() && arg[0] != '-' && script.empty()) {
            script = arg;
        } else {
            std::cerr << "hlsim: unexpected argument '" << arg << "'\n";
            Usage(std::cerr);
            return 2;
        }
    }
    if (script.empty()) {
        Usage(std::cerr);
        return 2;
    }
    hostsim::HostConfig config;
    config.traceCalls = trace;
    hostsim::Host host(config);
    std::string error;
    const bool ok = hostsim::RunScenario(host, script, options, error);
    std::cout.flush();
    if (!ok) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}

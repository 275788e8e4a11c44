// Times each hook sequence and its floor in one run and prints their ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_cases.h"

namespace {

using bench::Hooks;

struct Pair {
    const char* label;
    const char* measured;
    const char* floor;
    double target;
};

const Pair kPairs[] = {
    {"1  kestrum_mm: message not captured", "kestrum/other_message", "floor/kestrum_other_message", 1.5},
    {"2  kestrum_mm: CurWeapon that pushes", "kestrum/curweapon_push", "floor/kestrum_curweapon", 5.0},
    {"3  kestrum_mm: AmmoX, nothing changes", "kestrum/ammox_unchanged", "floor/kestrum_ammox", 0.0},
    {"4a hopwick_mm: PlayerPostThink, not due", "hopwick/postthink_not_due", "floor/hopwick_postthink", 1.5},
    {"4b hopwick_mm: message other than SetFOV", "hopwick/other_message", "floor/hopwick_other_message", 1.5},
    {"5  configuration load vs plain copy", "kestrum/configuration_load", "plain/read_and_copy", 3.0},
};

void Register(const char* name, void (*step)()) {
    benchmark::RegisterBenchmark(name, [step](benchmark::State& state) {
        for (auto _ : state) step();
    });
}

void RegisterAll() {
    Register("kestrum/other_message", [] { bench::OtherMessage(bench::KestrumHooks()); });
    Register("floor/kestrum_other_message", [] { bench::OtherMessage(bench::KestrumFloor()); });
    Register("kestrum/curweapon_push", [] { bench::CurWeaponShot(bench::KestrumHooks()); });
    Register("floor/kestrum_curweapon", [] { bench::CurWeaponShot(bench::KestrumFloor()); });
    Register("kestrum/ammox_unchanged", [] { bench::AmmoXUnchanged(bench::KestrumHooks()); });
    Register("floor/kestrum_ammox", [] { bench::AmmoXUnchanged(bench::KestrumFloor()); });
    Register("hopwick/postthink_not_due", [] { bench::PostThinkNotDue(bench::HopwickHooks()); });
    Register("floor/hopwick_postthink", [] { bench::PostThinkNotDue(bench::HopwickFloor()); });
    Register("hopwick/other_message", [] { bench::OtherMessage(bench::HopwickHooks()); });
    Register("floor/hopwick_other_message", [] { bench::OtherMessage(bench::HopwickFloor()); });
    Register("kestrum/configuration_load", [] { bench::MapStart(bench::KestrumHooks()); });
    Register("plain/read_and_copy", [] { benchmark::DoNotOptimize(bench::PlainCopy()); });
}

// Keeps the CPU time per iteration of every benchmark: the median when repetitions
// were asked for, else the single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") median_[name] = run.GetAdjustedCPUTime();
            } else {
                single_[name] = run.GetAdjustedCPUTime();
            }
        }
    }

    bool Time(const std::string& name, double& ns) const {
        auto m = median_.find(name);
        if (m != median_.end()) {
            ns = m->second;
            return true;
        }
        auto s = single_.find(name);
        if (s == single_.end()) return false;
        ns = s->second;
        return true;
    }

private:
    std::map<std::string, double> median_;
    std::map<std::string, double> single_;
};

void PrintRatios(const RatioReporter& reporter) {
    std::printf("\n%-42s %12s %12s %8s %8s\n", "case (CPU time per sequence)", "measured", "floor", "ratio",
                "target");
    for (const Pair& pair : kPairs) {
        double measured = 0.0;
        double floor = 0.0;
        if (!reporter.Time(pair.measured, measured) || !reporter.Time(pair.floor, floor)) continue;
        char target[16] = "-";
        if (pair.target > 0.0) std::snprintf(target, sizeof target, "<= %.1fx", pair.target);
        std::printf("%-42s %9.1f ns %9.1f ns %7.2fx %8s\n", pair.label, measured, floor, measured / floor, target);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::string error;
    if (!bench::SetUpScene(error)) {
        std::fprintf(stderr, "hook_bench: %s\n", error.c_str());
        bench::TearDownScene();
        return 1;
    }
    RegisterAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    bench::TearDownScene();
    benchmark::Shutdown();
    return 0;
}

// Runs one hook sequence a given number of times inside MeasuredLoop, so that an
// instruction counter (callgrind with --toggle-collect=MeasuredLoop) sees only that.
//   hook_counts SEQUENCE COUNT
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench_cases.h"

namespace {

struct Sequence {
    const char* name;
    void (*step)();
};

const Sequence kSequences[] = {
    {"kestrum_other_message", [] { bench::OtherMessage(bench::KestrumHooks()); }},
    {"floor_kestrum_other_message", [] { bench::OtherMessage(bench::KestrumFloor()); }},
    {"kestrum_curweapon_push", [] { bench::CurWeaponShot(bench::KestrumHooks()); }},
    {"floor_kestrum_curweapon", [] { bench::CurWeaponShot(bench::KestrumFloor()); }},
    {"kestrum_ammox_unchanged", [] { bench::AmmoXUnchanged(bench::KestrumHooks()); }},
    {"floor_kestrum_ammox", [] { bench::AmmoXUnchanged(bench::KestrumFloor()); }},
    {"hopwick_postthink_not_due", [] { bench::PostThinkNotDue(bench::HopwickHooks()); }},
    {"floor_hopwick_postthink", [] { bench::PostThinkNotDue(bench::HopwickFloor()); }},
    {"hopwick_other_message", [] { bench::OtherMessage(bench::HopwickHooks()); }},
    {"floor_hopwick_other_message", [] { bench::OtherMessage(bench::HopwickFloor()); }},
};

}  // namespace

extern "C" __attribute__((noinline)) void MeasuredLoop(void (*step)(), long count) {
    for (long i = 0; i < count; ++i) step();
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: hook_counts SEQUENCE COUNT\n");
        return 2;
    }
    const Sequence* sequence = nullptr;
    for (const Sequence& s : kSequences) {
        if (std::strcmp(argv[1], s.name) == 0) sequence = &s;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    if (sequence == nullptr || count <= 0) {
        std::fprintf(stderr, "hook_counts: unknown sequence or bad count; sequences:\n");
        for (const Sequence& s : kSequences) std::fprintf(stderr, "  %s\n", s.name);
        return 2;
    }
    std::string error;
    const bool ready = bench::SetUpScene(error);
    if (ready) MeasuredLoop(sequence->step, count);
    bench::TearDownScene();
    if (!ready) {
        std::fprintf(stderr, "hook_counts: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

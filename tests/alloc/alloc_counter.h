// Counts heap allocations and releases made while a counted region is open and no
// pause is in effect. Under AddressSanitizer the counts come from its allocator hooks;
// otherwise this executable provides malloc, calloc, realloc and free itself and
// forwards them to the C library.
#pragma once

namespace alloc_counter {

struct Counts {
    long allocations = 0;
    long releases = 0;
};

// Totals seen in counted regions so far.
Counts Now();

// A counted region (a hook call); regions nest.
struct Region {
    Region();
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
};

// Inside a pause nothing is counted, even within a region (the host's own work).
struct Pause {
    Pause();
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;
};

}  // namespace alloc_counter

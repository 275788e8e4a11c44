// The tests' allocator for the INI reader: counts allocations and blocks still held, and
// fails the allocation with a chosen number.
#pragma once

#include <cstddef>

struct AllocationCounters {
  size_t made = 0;   // allocations asked for since the last reset
  long live = 0;     // blocks handed out and not yet released
  size_t failAt = 0; // number of the allocation that fails (1 = the first); 0 = none
};

extern AllocationCounters g_allocations;

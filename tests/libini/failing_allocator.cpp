// Replaces the reader's memory.cpp in the test build.
#include "failing_allocator.h"

#include <cstdlib>

#include "ini_model.h"

AllocationCounters g_allocations;

void* IniAllocate(size_t size) {
  ++g_allocations.made;
  if (g_allocations.failAt != 0 && g_allocations.made == g_allocations.failAt) return nullptr;
  void* block = std::malloc(size);
  if (block != nullptr) ++g_allocations.live;
  return block;
}

void IniFree(void* block) {
  if (block != nullptr) --g_allocations.live;
  std::free(block);
}

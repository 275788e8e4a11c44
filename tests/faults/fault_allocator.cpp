// The INI reader's allocator for fault runs: counts the allocations of the plug-in's INI
// reader and the blocks it still holds, and fails the allocation with a chosen number.
#include <cstddef>
#include <cstdlib>

#include "ini_model.h"

namespace {

std::size_t made = 0;
long live = 0;
std::size_t failAt = 0;  // 1 = the first allocation after FaultAllocatorReset; 0 = none

}  // namespace

void* IniAllocate(size_t size) {
    ++made;
    if (failAt != 0 && made == failAt) {
        return nullptr;
    }
    void* block = std::malloc(size);
    if (block != nullptr) {
        ++live;
    }
    return block;
}

void IniFree(void* block) {
    if (block != nullptr) {
        --live;
    }
    std::free(block);
}

#define FAULT_EXPORT extern "C" __attribute__((visibility("default")))

FAULT_EXPORT void FaultAllocatorReset(std::size_t failNumber) {
    made = 0;
    failAt = failNumber;
}
FAULT_EXPORT std::size_t FaultAllocatorMade() { return made; }
FAULT_EXPORT long FaultAllocatorLive() { return live; }

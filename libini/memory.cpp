// The reader's allocator. Kept alone in this file so that a test build can link the
// reader's other objects against an allocator that fails on request.
#include <cstdlib>

#include "ini_model.h"

void* IniAllocate(size_t size) { return std::malloc(size); }

void IniFree(void* block) { std::free(block); }

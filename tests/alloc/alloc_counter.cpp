#include "alloc_counter.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define HL_ALLOC_COUNTER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HL_ALLOC_COUNTER_ASAN 1
#endif
#endif

#if defined(HL_ALLOC_COUNTER_ASAN)
// The sanitizer runtime calls these after every allocation and before every release.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, std::size_t), void (*freeHook)(const volatile void*));
#endif

namespace alloc_counter {
namespace {

int regionDepth = 0;
int pauseDepth = 0;
Counts totals;

bool Counting() { return regionDepth > 0 && pauseDepth == 0; }

void NoteAllocation() {
    if (Counting()) ++totals.allocations;
}

void NoteRelease() {
    if (Counting()) ++totals.releases;
}

}  // namespace

Counts Now() { return totals; }

Region::Region() { ++regionDepth; }
Region::~Region() { --regionDepth; }
Pause::Pause() { ++pauseDepth; }
Pause::~Pause() { --pauseDepth; }

#if defined(HL_ALLOC_COUNTER_ASAN)

namespace {

void OnMalloc(const volatile void*, std::size_t) { NoteAllocation(); }
void OnFree(const volatile void*) { NoteRelease(); }

// Installed before main, so that every allocation of the run passes the hooks.
const int installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);

}  // namespace

}  // namespace alloc_counter

#else

}  // namespace alloc_counter

// The C library's own allocator, under the names it exports for this purpose.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);
extern "C" void __libc_free(void* block);

// Every allocation of the process, the plug-ins' included, comes through these; the
// C++ allocation functions of the C++ runtimes call them too.
extern "C" void* malloc(std::size_t size) {
    alloc_counter::NoteAllocation();
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
    alloc_counter::NoteAllocation();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) {
    if (block != nullptr) alloc_counter::NoteRelease();
    if (size != 0 || block == nullptr) alloc_counter::NoteAllocation();
    return __libc_realloc(block, size);
}

extern "C" void free(void* block) {
    if (block != nullptr) alloc_counter::NoteRelease();
    __libc_free(block);
}

#endif

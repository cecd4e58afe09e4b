#include "audio_thread_guard.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace tarvik::test {

namespace {
thread_local int guardDepth = 0;
AudioThreadViolations violations;
bool guarded() { return guardDepth > 0; }
}  // namespace

AudioThreadGuard::AudioThreadGuard() { ++guardDepth; }
AudioThreadGuard::~AudioThreadGuard() { --guardDepth; }
AudioThreadViolations& audioThreadViolations() { return violations; }

}  // namespace tarvik::test

using tarvik::test::guarded;
using tarvik::test::violations;

// The linker points every call of the linked code at these (--wrap).
extern "C" {
void* __real_malloc(std::size_t);
void* __real_calloc(std::size_t, std::size_t);
void* __real_realloc(void*, std::size_t);
int __real_posix_memalign(void**, std::size_t, std::size_t);
void* __real_aligned_alloc(std::size_t, std::size_t);
int __real_pthread_mutex_lock(pthread_mutex_t*);
int __real_pthread_mutex_trylock(pthread_mutex_t*);
FILE* __real_fopen(const char*, const char*);
FILE* __real_fopen64(const char*, const char*);

void* __wrap_malloc(std::size_t n) {
    if (guarded()) ++violations.allocations;
    return __real_malloc(n);
}
void* __wrap_calloc(std::size_t n, std::size_t size) {
    if (guarded()) ++violations.allocations;
    return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, std::size_t n) {
    if (guarded()) ++violations.allocations;
    return __real_realloc(p, n);
}
int __wrap_posix_memalign(void** p, std::size_t alignment, std::size_t n) {
    if (guarded()) ++violations.allocations;
    return __real_posix_memalign(p, alignment, n);
}
void* __wrap_aligned_alloc(std::size_t alignment, std::size_t n) {
    if (guarded()) ++violations.allocations;
    return __real_aligned_alloc(alignment, n);
}
int __wrap_pthread_mutex_lock(pthread_mutex_t* m) {
    if (guarded()) ++violations.locks;
    return __real_pthread_mutex_lock(m);
}
int __wrap_pthread_mutex_trylock(pthread_mutex_t* m) {
    if (guarded()) ++violations.locks;
    return __real_pthread_mutex_trylock(m);
}
FILE* __wrap_fopen(const char* path, const char* mode) {
    if (guarded()) ++violations.fileOpens;
    return __real_fopen(path, mode);
}
FILE* __wrap_fopen64(const char* path, const char* mode) {
    if (guarded()) ++violations.fileOpens;
    return __real_fopen64(path, mode);
}
}

// operator new lives in the C++ runtime, beyond --wrap: replace it.
namespace {
void* countedAllocation(std::size_t n) {
    if (guarded()) ++violations.allocations;
    if (void* p = __real_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* countedAlignedAllocation(std::size_t n, std::align_val_t alignment) {
    if (guarded()) ++violations.allocations;
    void* p = nullptr;
    if (__real_posix_memalign(&p, static_cast<std::size_t>(alignment), n ? n : 1) == 0) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return countedAllocation(n); }
void* operator new[](std::size_t n) { return countedAllocation(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return countedAllocation(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void* operator new(std::size_t n, std::align_val_t a) { return countedAlignedAllocation(n, a); }
void* operator new[](std::size_t n, std::align_val_t a) { return countedAlignedAllocation(n, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

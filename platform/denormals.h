// Denormal floats (below about 1e-38) cost a hundred cycles each on x86:
// a filter or envelope decaying towards zero would slow the whole block
// down just as a note fades. While an object of this class lives, the
// current thread's SSE unit flushes them to zero (FTZ) and reads them as
// zero (DAZ); the host's own setting comes back at the end of the block.
#pragma once

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace platform {

class DenormalsFlushed {
public:
#if defined(__SSE__) || defined(_M_X64)
    DenormalsFlushed() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
    ~DenormalsFlushed() { _mm_setcsr(saved_); }
#else
    DenormalsFlushed() = default;
#endif
    DenormalsFlushed(const DenormalsFlushed&) = delete;
    DenormalsFlushed& operator=(const DenormalsFlushed&) = delete;

private:
#if defined(__SSE__) || defined(_M_X64)
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_;
#endif
};

}  // namespace platform

// Eight values side by side, one per voice, for the parts of the voice path
// that step several voices at once. These are the GCC/Clang vector types:
// the compiler maps them onto the target's SIMD registers (two SSE registers
// for eight floats on the x86-64 baseline: two independent chains, which
// hides more of each operation's latency than one register of four; an AVX
// register measured no faster) and every operator works lane by lane with
// the same IEEE result as the scalar operation, so a lane gives bit for bit
// what the scalar code gives for its voice.
#pragma once

#include <cstdint>

namespace tarvik::lanes {

inline constexpr int kWidth = 8;

using Floats = float __attribute__((vector_size(kWidth * sizeof(float))));
using Doubles = double __attribute__((vector_size(kWidth * sizeof(double))));
// A comparison's answer: all bits set in the lanes where it holds.
using Mask = std::int32_t __attribute__((vector_size(kWidth * sizeof(std::int32_t))));

inline Floats broadcast(float x) { return Floats{} + x; }

// a where the mask holds, else b.
inline Floats select(Mask m, Floats a, Floats b) { return (Floats)((m & (Mask)a) | (~m & (Mask)b)); }

// std::min's answer in every lane, NaN included: b only where b < a.
inline Floats minimum(Floats a, Floats b) { return select(b < a, b, a); }

inline Doubles widen(Floats x) { return __builtin_convertvector(x, Doubles); }
inline Floats narrow(Doubles x) { return __builtin_convertvector(x, Floats); }

}  // namespace tarvik::lanes

// Builds the five band-limited wavetable sets by additive synthesis, so the
// plug-in sounds the same whether its data files are there or not.
//
// Level layout (every set):
// - levelMap has 24001 entries, one per period of 0 to 24000 host-rate
//   samples: 24000 is an 8 Hz note at 192 kHz, just below MIDI note 0.
//   Longer periods read the last level, which stays band-limited for them
//   because a longer period only lowers every partial.
// - Level j serves the periods from Pmin(j) up to the next level's Pmin;
//   level 0 also serves every period shorter than its own Pmin.
// - A level holds the partials k with k / Pmin < the set's band limit, so no
//   note it serves puts a partial at or above that limit, and at most 2300
//   partials (18.8 kHz above MIDI note 0, 8.18 Hz: more are inaudible for
//   any note); the first level that reaches 2300 is the last.
// - Oscillator sets (wtsaw, wtsquare, wttri) run at twice the host rate:
//   band limit 0.9 cycles per host sample (0.45 of the oscillator's own
//   rate), Pmin = 2, 4, 8, ... one level per octave. At the long end of a
//   level's octave its top partial still reaches 0.45 cycles per host
//   sample, so every note keeps the whole audible band; what lies above the
//   host's Nyquist frequency is removed by the decimator. 12 levels.
// - Modulation-generator sets (mgsaw, mgsqu) run at the host rate: band limit
//   0.45, Pmin = 4 × 2^(j/2) rounded up (4, 6, 8, 12, 16, 23, ...), two levels
//   per octave: from a period of 16 samples on, a note's top partial never
//   falls below 0.31 cycles per host sample (13.7 kHz at 44.1 kHz) until
//   the partial cap. Periods below 4 (above a quarter of the rate, the
//   generator's limit) read level 0. 22 levels.
// - Level 0 holds the fundamental alone: for the triangle set it is the pure
//   sine that the "Sine" waveform reads.
//
// Table lengths: each level has the shortest power of two, at least 1024 and
// at least four times its top partial, at which the images that linear
// interpolation adds (partial k at relative frequency x = k / length leaves
// energy 1 - 2/3 sin²(πx) - sinc⁴(x) of its own at the multiples of the
// length ± k, the triangle kernel's sinc² summed over them) sum to at most
// -81 dB relative to the fundamental. A read whose step divides the table
// evenly folds some images onto others in phase, a little more; the tests
// read every level through the real lookup at 8 points per sample and find
// the images below -80 dB. Saw and square levels reach 32768 samples, the
// triangle's 16384 (its partials fall faster); the five sets hold 2.6 MB of
// samples.
//
// Shapes, matched to what the oscillators compute, phase 0 at the start:
// - wtsaw: the computed model's saw, 1.3 × drift × (p − 0.5): the slope of
//   the parabola (p − 0.5)² over one step times the period and 1.3. It is a
//   rising ramp of peak 0.65, so this table is its Fourier series and both
//   models play a saw at the same level (the tests compare their RMS).
// - wtsquare: the computed model's square, the difference of two ramps
//   p − 0.5, the second 0.45 of a cycle ahead: −0.45 up to p = 0.55, then
//   +0.55.
// - wttri: a triangle of peak 1 in sine phase (0 at p = 0, +1 at p = 0.25),
//   so a synced or restarted cycle begins at zero; its level 0 is therefore a
//   sine of amplitude 8/π², the triangle's own fundamental.
// - mgsaw: the modulation generator's saw, falling from +1 to −1.
// - mgsqu: the modulation generator's square, −1 for the first half of the
//   cycle and +1 for the second.
#pragma once

#include "dsp/wavetable.h"

namespace tarvik {

enum class WavetableKind { Saw, Square, Triangle, ModSaw, ModSquare };
constexpr int kWavetableKindCount = 5;

Wavetable generateWavetable(WavetableKind kind);

}  // namespace tarvik

// Sequencer lines written the way a bass player reads them, one word per
// step, so that a factory pattern can be checked by eye against its sound:
//
//   A1      the note A1, gate on (C4 = middle C; the sequencer's C is C2)
//   A1!     accented          A1~   slides into the next step
//   A1!~    both, in either order
//   -       a rest            _     holds the note before it one step more
//
// Notes reach from C1 to B5: a step's note covers the three octaves from the
// sequencer's C (C2 to B4), its octave flags one more below and above.
#pragma once

#include <string>
#include <string_view>

#include "patch/patch.h"

namespace tarvik::factory {

// Fills the pattern's steps and length from the words of the line, clearing
// every step after them. False, with the reason, for a word that is not a
// step or a line of no steps or more than a pattern holds.
bool parseLine(std::string_view line, Pattern& pattern, std::string& error);

}  // namespace tarvik::factory

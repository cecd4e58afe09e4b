// What both patch readers promise about every patch they hand on, whatever
// bytes they were given: the engine reads such a patch without checking it.
#pragma once

#include "patch/patch.h"

namespace tarvik::fuzz {

// Aborts with the reason on stderr, so that the fuzzer keeps the input that
// broke a promise as a reproducer.
void require(bool condition, const char* what);

void requireRepaired(const TarvikPatch& patch);

}  // namespace tarvik::fuzz

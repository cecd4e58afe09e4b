// Brings a patch read from a file or a host chunk into the shape the engine
// relies on, before the audio thread can see it. Both readers end with it, so
// a damaged file and a damaged chunk come out alike.
#pragma once

#include "patch/patch.h"

namespace tarvik {

// Keeps only cables from a registered output to a registered input, the first
// cable into each input, in their order (count 0..128, unused pairs zeroed);
// brings CurrentPattern into 0..127; gives a pattern of length 0 or above 64
// sixteen gated steps of note 0 without triplet, and a time mode above 3 the
// mode 0; sets every non-finite parameter to its default; ends the program
// name, patch text and patch path within their room. A patch already in that
// shape is left as it is.
void repairPatch(TarvikPatch& patch);

}  // namespace tarvik

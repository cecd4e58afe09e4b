// A factory patch as its designer thinks of it: how it is played, its
// tempo, the knobs that differ from a fresh patch, its sequencer lines, its
// cables and the text that tells the player what to do with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "patch/patch.h"

namespace tarvik::factory {

// How MIDI keys reach the patch: they select and run the sequencer's lines,
// play one legato voice with glide, or play chords.
enum class Play { kSequenced, kMono, kPoly };

struct Knob {
    int index;  // param::
    float value;
};

struct Cable {
    int output;  // socket:: of an output
    int input;   // socket:: of an input
};

struct Line {
    std::string steps;  // step_notation.h
    std::uint8_t timeMode = 0;
    bool triplet = false;
};

struct Recipe {
    std::string folder = {};  // the style, a folder of the patch folder
    std::string name = {};    // the file name without ".tvkp"
    Play play = Play::kSequenced;
    double bpm = 120.0;
    int filterMode = 3;
    std::vector<Knob> knobs = {};  // over the fresh patch's values, a later entry winning
    // Patterns 0 on. The same lines wait on the same keys of every octave,
    // so that a keyboard without the lowest MIDI keys still reaches them.
    std::vector<Line> lines = {};
    std::vector<Cable> cables = {};
    bool auxInput = false;  // the host's input feeds the AUX path
    std::string info = {};  // what the patch is; buildPatch adds how to play it
};

// One line for each key of an octave, C to B.
constexpr int kMaxLines = 12;

// Fills a fresh patch from the recipe. False, with the reason, when the
// recipe asks for something the plug-in cannot hold: an unknown parameter or
// a value outside 0..1, a step the sequencer cannot play, a cable the editor
// would refuse, more lines than keys in an octave, a text too long.
bool buildPatch(const Recipe& recipe, TarvikPatch& patch, std::string& error);

}  // namespace tarvik::factory

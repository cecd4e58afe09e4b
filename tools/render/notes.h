// Notes given on the command line as KEY,START,LENGTH[,VELOCITY].
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/render/timeline.h"

namespace tarvik::render {

struct Note {
    int key;
    double start;   // seconds
    double length;  // seconds
    int velocity;
};

// KEY is 0-127 or a name such as C2, F#3 or Bb1 (C4 = 60); START and LENGTH
// are seconds; VELOCITY is 1-127, 100 when left out.
bool parseNote(std::string_view text, Note& note, std::string& error);

// A note-on and a note-off for each note, on channel 1.
Timeline timelineFromNotes(const std::vector<Note>& notes);

}  // namespace tarvik::render

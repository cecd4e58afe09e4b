// "MidiCC.ini" and the user's "*.map" files: one "MidiCC.<name> = <controller>"
// line per parameter, the name with its blanks written as "_", -1 for none.
#pragma once

#include <string>

#include "instrument/controller_map.h"

namespace tarvik {

// Writes the controller of every parameter (the lowest, should the map hold
// several), replacing the file only once it is complete; false, with the old
// file left as it was, when it cannot be written.
bool writeControllerMap(const ControllerMap& map, const std::string& path);

// Applies the file's lines to map; false, with the map unchanged, when the
// file cannot be opened. Each line takes the parameter's old controller away
// and gives it the line's controller when that is 0..127; any other number
// leaves it with none, and unknown or damaged lines are skipped. Controllers
// 120..127 are kept as the file says: the MIDI input never lets them through.
//
// Two parameters share the name "Output Variable", so a file holds that key
// twice: the first such line goes to the first of them and the second line
// to the second, as they were written. A key seen more often than
// parameters bear the name applies again to the last of them.
bool readControllerMap(ControllerMap& map, const std::string& path);

}  // namespace tarvik

// Reading Standard MIDI Files (format 0 and 1) into a time line in seconds.
//
// Every read is bounded by the chunk it belongs to, so truncated, oversized
// or garbage input ends in an error text, never in a read past the data.
// Channel messages are kept (a note-on of velocity 0 becomes a note-off);
// Set Tempo becomes a tempo change that moves every later event; other meta
// events and system exclusive messages are skipped.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/render/timeline.h"

namespace tarvik::render {

// Ticks run at initialBpm until the file's first Set Tempo.
bool parseMidiFile(std::span<const std::uint8_t> bytes, double initialBpm, Timeline& timeline, std::string& error);

// Reads the file and parses it; the error names the file.
bool readMidiFile(const std::string& path, double initialBpm, Timeline& timeline, std::string& error);

}  // namespace tarvik::render

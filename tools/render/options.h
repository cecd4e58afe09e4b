// The renderer's command line. Each option is one row of a table in
// options.cpp that both parses it and describes it in the usage text, so a
// new option is one new row.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/render/notes.h"
#include "tools/render/wav_writer.h"

namespace tarvik::render {

// How the plug-in's MIDI input is set up, as a user sets it in the editor.
enum class PlayMode { kMono, kPoly, kPattern };

struct RenderOptions {
    std::string plugin;
    std::string midiFile;
    std::vector<Note> notes;
    int sampleRate = 44100;
    int blockSize = 512;
    double tempo = 120.0;
    std::optional<double> lengthSeconds;  // unset: the last event plus a tail
    SampleFormat format = SampleFormat::kFloat;
    std::optional<PlayMode> mode;  // unset: the mode of the plug-in or the patch
    std::string patchFile;
    std::optional<int> pattern;  // the pattern the sequencer plays, by holding its key
    std::string importSong;      // a ReBirth song whose patterns and sound go into the patch
    std::string importPattern;   // a Corvall pattern for the pattern that plays
    std::string output;
    bool help = false;
};

// Reads the arguments that follow the program name. The plug-in is
// defaultPlugin unless --plugin says otherwise.
bool parseOptions(const std::vector<std::string_view>& args, const std::string& defaultPlugin,
                  RenderOptions& options, std::string& error);

std::string usageText(const std::string& defaultPlugin);

}  // namespace tarvik::render

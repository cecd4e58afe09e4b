// The folder that holds the user's patches, configuration and wavetables.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The data folder with a trailing separator: TARVIK_DATA_DIR when set (tests,
// portable installs), else "Sonvarde/Tarvik/" in the user's documents folder.
// Empty when neither is known; every file read then fails quietly.
std::string dataFolder();

// The oscillators' wavetable files, below the data folder.
constexpr const char* kWavetableFolder = "Tarvik Data/";

// What every instance writes into the data folder as it closes: the MIDI
// controller map and the patch in use.
constexpr const char* kControllerMapFile = "MidiCC.ini";
constexpr const char* kLastPatchFile = "Tarvik Patch.tvkp";

// A path below the data folder, given with "/" separators, in native form.
std::string dataPath(const std::string& folder, std::string_view relative);

// A file the user names in a settings file: an absolute path as it is, a
// relative one below the data folder (a host's working directory is nothing
// a user can know). Empty stays empty.
std::string userFilePath(const std::string& folder, const std::string& name);

}  // namespace tarvik

// The file choices the editor's menus offer, with the titles, filters and
// extensions the user sees. Opening takes only an existing file; saving asks
// before replacing one.
#pragma once

#include <string>
#include <utility>

#include "gui/toolkit/file_request.h"

namespace tarvik::gui {

inline FileRequest openRequest(std::string title, std::string filterText, std::string pattern,
                               std::string extension, std::string folder) {
    return {std::move(title), std::move(filterText), std::move(pattern), std::move(extension), std::move(folder),
            true, false};
}

inline FileRequest saveRequest(std::string title, std::string filterText, std::string pattern,
                               std::string extension, std::string folder) {
    return {std::move(title), std::move(filterText), std::move(pattern), std::move(extension), std::move(folder),
            false, true};
}

inline FileRequest openPatchRequest(const std::string& folder) {
    return openRequest("Open Tarvik Patch", "Tarvik (*.tvkp)", "*.tvkp", "tvkp", folder);
}
inline FileRequest savePatchRequest(const std::string& folder) {
    return saveRequest("Save Tarvik Patch", "Tarvik (*.tvkp)", "*.tvkp", "tvkp", folder);
}
inline FileRequest loadMidiMapRequest(const std::string& folder) {
    return openRequest("Select MidiCC map", "MidiCC (*.map)", "*.map", "map", folder);
}
inline FileRequest saveMidiMapRequest(const std::string& folder) {
    return saveRequest("Select MidiCC map", "MidiCC (*.map)", "*.map", "map", folder);
}
inline FileRequest selectSkinRequest(const std::string& folder) {
    return openRequest("Select GUI skin", "Skin (*.skn)", "*.skn", "skn", folder);
}
inline FileRequest importPatternRequest(const std::string& folder) {
    return openRequest("Import Corvall Pattern", "Corvall Pattern (*.pat)", "*.pat", "pat", folder);
}
inline FileRequest exportPatternRequest(const std::string& folder) {
    return saveRequest("Export Corvall Pattern", "Corvall Pattern (*.pat)", "*.pat", "pat", folder);
}
inline FileRequest importRebirthRequest(const std::string& folder) {
    return openRequest("Import Rebirth RB-338 Song File", "Rebirth RB-338 Song File(*.rbs)", "*.rbs", "rbs", folder);
}

}  // namespace tarvik::gui

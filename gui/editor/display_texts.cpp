#include "gui/editor/display_texts.h"

#include <array>
#include <cstdio>

#include "dsp/socket_table.h"
#include "gui/editor/editor_menus.h"
#include "patch/parameters.h"
#include "instrument/control_face.h"
#include "instrument/controller_map.h"

namespace tarvik::gui {

namespace {

bool isParameter(int index) { return index >= 0 && index < kNumParameters; }

std::string nameLine(int parameter) {
    return std::string(kParameterTable[static_cast<std::size_t>(parameter)].name) + ":";
}

// What the OPTIONFILTER button steps through; the menu's longer names stay
// with the menu.
constexpr std::array<const char*, 6> kFilterShortNames = {"24dB", "18dB", "18dB", "24dBSO", "Euler", "24dBSO 2x"};

}  // namespace

DisplayTexts knobTexts(const ControlFace& control, int parameter) {
    if (!isParameter(parameter)) return {};
    return {nameLine(parameter), control.parameterText(parameter)};
}

DisplayTexts learnTexts(const ControlFace& control, int parameter) {
    if (!isParameter(parameter)) return {};
    const int controller = control.controllerFor(parameter);
    if (controller == ControllerMap::kUnassigned) return {nameLine(parameter), "Midi CC: N/A"};
    return {nameLine(parameter), midiControllerName(controller) + " (#" + std::to_string(controller) + ")"};
}

DisplayTexts socketTexts(int socket) {
    if (socket < 0 || socket >= kNumSockets) return {"Socket", "N/A"};
    const SocketDefinition& s = kSocketDefinitions[static_cast<std::size_t>(socket)];
    return {"Socket", std::string(s.direction == kSocketInput ? "INPUT " : "OUTPUT ") + s.name};
}

DisplayTexts filterTexts(int mode) {
    if (mode < 0 || mode >= static_cast<int>(kFilterShortNames.size())) {
        const std::string name = filterMenuName(mode);
        return {"Filter", name.empty() ? "Mode " + std::to_string(mode) : name};
    }
    return {"Filter", kFilterShortNames[static_cast<std::size_t>(mode)]};
}

}  // namespace tarvik::gui

#include "instrument/controller_map_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "patch/key_value_scanner.h"
#include "patch/parameters.h"
#include "patch/safe_file.h"

namespace tarvik {

namespace {

std::array<std::string, kNumParameters> fileKeys() {
    std::array<std::string, kNumParameters> keys;
    for (int p = 0; p < kNumParameters; ++p) {
        std::string key = std::string("MidiCC.") + kParameterTable[static_cast<std::size_t>(p)].name;
        std::replace(key.begin(), key.end(), ' ', '_');
        keys[static_cast<std::size_t>(p)] = std::move(key);
    }
    return keys;
}

// The parameter the occurrence-th line (counted from 0) with key stands for,
// or -1 when no parameter has that key.
int parameterForLine(const std::array<std::string, kNumParameters>& keys, const std::string& key, int occurrence) {
    int found = -1;
    for (int p = 0; p < kNumParameters; ++p) {
        if (keys[static_cast<std::size_t>(p)] != key) continue;
        found = p;
        if (occurrence-- == 0) break;
    }
    return found;
}

}  // namespace

bool writeControllerMap(const ControllerMap& map, const std::string& path) {
    const std::array<std::string, kNumParameters> keys = fileKeys();
    std::string text = ";Value of -1 means not assigned\n";
    for (int p = 0; p < kNumParameters; ++p) {
        text.append(keys[static_cast<std::size_t>(p)]).append(" = ");
        text.append(std::to_string(map.controllerFor(p))).push_back('\n');
    }

    SafeFileWriter writer(path);
    if (!writer.file()) return false;
    std::fwrite(text.data(), 1, text.size(), writer.file());
    return writer.commit();
}

bool readControllerMap(ControllerMap& map, const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return false;
    const std::array<std::string, kNumParameters> keys = fileKeys();
    // Lines seen so far per key, counted at the first parameter bearing it,
    // so that a repeated key reaches the next parameter of the same name.
    std::array<int, kNumParameters> linesSeen{};
    KeyValueScanner scanner(file.get());
    std::string key;
    while (scanner.nextKey(key)) {
        const std::optional<std::string> word = scanner.valueWord();
        const int first = parameterForLine(keys, key, 0);
        if (!word || first < 0) continue;
        int& seen = linesSeen[static_cast<std::size_t>(first)];
        const int parameter = parameterForLine(keys, key, seen);
        seen = std::min(seen + 1, kNumParameters);
        const int controller = parseInteger(*word);
        map.unassignParameter(parameter);
        if (controller >= 0 && controller < ControllerMap::kControllers) map.assign(controller, parameter);
    }
    return true;
}

}  // namespace tarvik

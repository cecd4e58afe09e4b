// An instrument without any host format around it, in a throw-away data
// folder, with a host that records what the instrument tells it. Tests act
// as the control threads through control() and as the audio thread through
// render().
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "instrument/instrument.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik::test {

class RecordingHost : public InstrumentHost {
public:
    struct Edit {
        enum Kind { Begin, Automate, End } kind;
        int parameter;
        float value;
        bool operator==(const Edit&) const = default;
    };

    void beginParameterEdit(int parameter) override { edits.push_back({Edit::Begin, parameter, 0.0f}); }
    void endParameterEdit(int parameter) override { edits.push_back({Edit::End, parameter, 0.0f}); }
    void automateParameter(int parameter, float value) override { edits.push_back({Edit::Automate, parameter, value}); }
    bool sendMidi(std::uint8_t status, std::uint8_t data1) override {
        midiOut.emplace_back(status, data1);
        return true;
    }
    void patchReplaced() override { ++replacements; }

    std::vector<Edit> edits;
    std::vector<std::pair<int, int>> midiOut;
    int replacements = 0;
};

class TestInstrument {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr int kBlockFrames = 256;

    // `prepare` (if any) fills the data folder before the instrument reads it.
    explicit TestInstrument(const std::function<void(const std::filesystem::path& folder)>& prepare = {}) {
        if (prepare) prepare(folder.path());
        instrument = std::make_unique<Instrument>(host, kSampleRate, kBlockFrames);
    }

    ControlFace& control() { return instrument->control(); }
    AudioFace& audio() { return instrument->audio(); }

    // Renders frames as the audio thread does, in blocks of kBlockFrames;
    // answers the left channel.
    std::vector<float> render(int frames) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
        for (int done = 0; done < frames; done += kBlockFrames) {
            float* out[2] = {left.data() + done, right.data() + done};
            audio().process(nullptr, out, std::min(kBlockFrames, frames - done));
        }
        return left;
    }

    ScopedDataFolder folder;
    RecordingHost host;
    std::unique_ptr<Instrument> instrument;
};

}  // namespace tarvik::test

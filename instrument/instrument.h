// Tarvik whatever carries it into a host: the engine with its current patch,
// the configuration ("Config.ini"), the MIDI controller map and MIDI learn,
// the data folder and the path of the current patch file, and the one writer
// of each kind of live edit. A front end owns one and reaches it through two
// faces, one per side of the thread boundary: the audio thread through
// audio(), every other thread (the editor's, the host's GUI and worker
// threads) through control().
#pragma once

#include <atomic>
#include <string>

#include "engine/engine.h"
#include "instrument/audio_face.h"
#include "instrument/cable_editing.h"
#include "instrument/configuration.h"
#include "instrument/control_face.h"
#include "instrument/controller_map.h"
#include "instrument/edit_history.h"
#include "instrument/instrument_host.h"
#include "instrument/parameter_inbox.h"
#include "instrument/pattern_editing.h"

namespace tarvik {

// Sample rates a host may really run at; any other is taken for a host's
// error, whatever format carries the instrument.
constexpr bool isUsableSampleRate(double rate) { return rate >= 1000.0 && rate <= 1536000.0; }

class Instrument final : private EngineHost {
public:
    // Constructing thread: reads the data folder (configuration, controller
    // map, tuning, wavetables) and installs the start-up patch.
    Instrument(InstrumentHost& host, double sampleRate, int maxBlockFrames);
    // Destroying thread, once no block renders: All Notes Off to the MIDI
    // output, then "MidiCC.ini" and the patch in use are written.
    ~Instrument() override;
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    ControlFace& control() { return control_; }
    AudioFace& audio() { return audio_; }

    // Set-up (no render call meanwhile): the rate and the largest block the
    // host announced.
    void setSampleRate(double rate) { engine_.setSampleRate(rate); }
    void setMaxBlockFrames(int frames) { engine_.setMaxBlockFrames(frames); }

private:
    friend class ControlFace;
    friend class AudioFace;

    // EngineHost, on the audio thread.
    bool sendMidiOut(std::uint8_t status, std::uint8_t data1) override { return host_.sendMidi(status, data1); }
    void controllerChange(int controller, int value) override;

    void start();
    void loadStartupPatch();
    // The one way a patch becomes current, from a file, a chunk or the
    // start-up: the engine takes it, the path names it (when one is given),
    // the editor and the host hear of it, and the edit history starts anew.
    void installPatch(std::unique_ptr<TarvikPatch> fresh, const std::string& path, bool autoRun);
    // Engine settings and the five patch states the configuration holds.
    void applyConfiguration();

    InstrumentHost& host_;
    Engine engine_;
    ControllerMap controllerMap_;
    Configuration config_;
    std::string dataFolder_;
    std::string patchFolder_;
    std::string currentPatchPath_;
    std::atomic<bool> midiLearn_{false};
    std::atomic<int> learnTarget_{-1};
    // What the editor learns at its idle: parameters set from any thread,
    // and that another patch became current.
    ParameterInbox changedParameters_;
    std::atomic<bool> patchChanged_{false};
    // Program changes and bank selects the audio thread saw, for a control
    // thread to carry out (they load files).
    static constexpr int kNoRequest = -1;
    std::atomic<int> pendingProgram_{kNoRequest};
    std::atomic<int> pendingBank_{kNoRequest};
    AdvancedRandomSettings advancedRandom_;
    EditHistory history_;
    PatternEditing patterns_;
    CableEditing cables_;
    ControlFace control_;
    AudioFace audio_;
};

}  // namespace tarvik

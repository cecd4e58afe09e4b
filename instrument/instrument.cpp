#include "instrument/instrument.h"

#include <chrono>
#include <cstdio>

#include "dsp/wavetable_set.h"
#include "instrument/controller_map_file.h"
#include "instrument/data_folder.h"
#include "patch/patch_file.h"
#include "patch/text_file.h"

namespace tarvik {

namespace {

constexpr std::int32_t kDefaultBendRange = 12;
constexpr double kDefaultTempoBpm = 120.0;
// The longest path the instrument keeps; longer names are taken for damage.
constexpr std::size_t kMaxPathLength = 1023;

static_assert(kMaxPolyphony == Engine::kVoices, "the configuration's voice limit is the engine's pool");

}  // namespace

Instrument::Instrument(InstrumentHost& host, double sampleRate, int maxBlockFrames)
    : host_(host),
      engine_(this),
      patterns_(engine_.control(), config_, history_),
      cables_(engine_.control(), history_),
      control_(*this),
      audio_(*this) {
    engine_.setSampleRate(sampleRate);
    engine_.setMaxBlockFrames(maxBlockFrames);
    start();
}

Instrument::~Instrument() {
    // Notes this instrument started on the host's MIDI output must not hang.
    engine_.audio().sendAllNotesOff();
    writeControllerMap(controllerMap_, dataPath(dataFolder_, kControllerMapFile));
    writePatchFile(engine_.control().patch(), dataPath(dataFolder_, kLastPatchFile));
}

void Instrument::start() {
    dataFolder_ = dataFolder();
    engine_.setWavetables(
        sharedWavetables(dataFolder_.empty() ? std::string() : dataPath(dataFolder_, kWavetableFolder)));

    // The patch is fresh: every state is 0 but FilterMode, and the pitch
    // bend spans an octave until the configuration says otherwise.
    TarvikPatch& patch = engine_.control().patch();
    patch.setState(state::BendRange, kDefaultBendRange);
    engine_.control().setTempo(kDefaultTempoBpm);

    control_.readConfigurationFile();
    engine_.loadTuning(userFilePath(dataFolder_, config_.tuning));
    readControllerMap(controllerMap_, dataPath(dataFolder_, kControllerMapFile));
    clearPatternBank(patch, config_.clearNotes != 0);
    // Each session's randomised patterns differ; a test seeds its own.
    seedPatternRandom(static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));

    patchFolder_ = dataPath(dataFolder_, "Tarvik Patches/");
    currentPatchPath_ = dataPath(dataFolder_, "Tarvik Patches/Tarvik Patch.tvkp");
    loadStartupPatch();
    // The first block starts from silence with the sequencer stopped.
    engine_.resetEngine();
}

// "StartupPatch.ini" names, in double quotes, a patch of the patch folder.
void Instrument::loadStartupPatch() {
    const File file = openRegularFile(dataPath(dataFolder_, "StartupPatch.ini"));
    if (!file || std::fgetc(file.get()) != '"') return;
    std::string name;
    for (int c = std::fgetc(file.get()); c != EOF && c != '"' && name.size() < kMaxPathLength; c = std::fgetc(file.get()))
        name += static_cast<char>(c);
    if (!name.empty()) control_.loadPatchFile(dataPath(patchFolder_, name));
}

void Instrument::installPatch(std::unique_ptr<TarvikPatch> fresh, const std::string& path, bool autoRun) {
    engine_.control().installPatch(std::move(fresh), autoRun);
    history_.clear();
    if (!path.empty()) currentPatchPath_ = path;
    control_.notePatchChanged();
    host_.patchReplaced();
}

void Instrument::applyConfiguration() {
    EngineConfig& engine = engine_.control().config();
    engine.maxPolyphony.store(config_.maxPolyphony, std::memory_order_relaxed);
    engine.tuningMode.store(config_.tuningMode, std::memory_order_relaxed);
    engine.oscModel.store(config_.oscModel, std::memory_order_relaxed);
    engine.clearNotes.store(config_.clearNotes, std::memory_order_relaxed);
    engine.midiOutput.store(config_.midiOutput, std::memory_order_relaxed);
    engine.midiOutputChannel.store(config_.midiOutputChannel, std::memory_order_relaxed);
    TarvikPatch& patch = engine_.control().patch();
    patch.setState(state::BendRange, config_.bendRange);
    patch.setState(state::Retrigger, config_.retrigger);
    patch.setState(state::FilterMode, config_.filterMode);
    patch.setState(state::SyncMode, config_.syncMode);
    patch.setState(state::MidiMode, config_.midiMode);
    if (config_.midiMode == 1) engine_.control().request(EngineControl::kReleaseVoices);
}

// On the audio thread: while learn is on and has a target, the controller
// is bound to it; otherwise the map says which parameter it moves.
void Instrument::controllerChange(int controller, int value) {
    const float normalised = ControllerMap::controllerValue(value);
    int parameter = learnTarget_.load(std::memory_order_relaxed);
    if (midiLearn_.load(std::memory_order_relaxed) && parameter >= 0)
        controllerMap_.assign(controller, parameter);
    else
        parameter = controllerMap_.parameterFor(controller);
    if (parameter < 0) return;
    control_.setParameter(parameter, normalised);
    host_.automateParameter(parameter, normalised);
}

}  // namespace tarvik

#include "instrument/control_face.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "instrument/controller_map_file.h"
#include "instrument/data_folder.h"
#include "instrument/instrument.h"
#include "patch/patch_chunk.h"
#include "patch/patch_file.h"

namespace tarvik {

namespace {

// A copy of the live patch taken word by word the way its writers write
// each part, so that it is consistent for every kind of data.
std::unique_ptr<TarvikPatch> copyOf(const TarvikPatch& live, const CableEditing& cables) {
    auto copy = std::make_unique<TarvikPatch>();
    std::copy(std::begin(live.program.name), std::end(live.program.name), copy->program.name);
    for (int i = 0; i < kParameterRoom; ++i) copy->setParameter(i, live.parameter(i));
    std::copy(std::begin(live.program.reserved), std::end(live.program.reserved), copy->program.reserved);
    for (int i = 0; i < kStateRoom; ++i) copy->setState(i, live.state(i));
    copy->cables = cables.current();
    for (int p = 0; p < kNumPatterns; ++p) copy->patterns[p] = loadPattern(live.patterns[p]);
    copy->info = live.info;
    return copy;
}

// Puts back what a change replaced, through the one writer of its kind.
EditRecord putBack(const EditRecord& record, PatternEditing& patterns, CableEditing& cables) {
    EditRecord replaced;
    replaced.patterns = patterns.restore(record.patterns);
    if (record.cables) replaced.cables = cables.restore(*record.cables);
    return replaced;
}

}  // namespace

// --- Parameters

float ControlFace::parameter(int index) const {
    const EngineControl::Reading reading(instrument_.engine_.control());
    return index >= 0 && index < kParameterRoom ? instrument_.engine_.control().patch().parameter(index) : 0.0f;
}

void ControlFace::setParameter(int index, float value) {
    EngineControl& engine = instrument_.engine_.control();
    {
        const EngineControl::Reading reading(engine);
        if (index >= 0 && index < kParameterRoom) engine.patch().setParameter(index, value);
    }
    if (index == param::Tempo) setTempo(parameterToTempo(value));
    instrument_.changedParameters_.mark(index);
}

void ControlFace::beginEdit(int index) { instrument_.host_.beginParameterEdit(index); }

void ControlFace::changeParameter(int index, float value) {
    setParameter(index, value);
    instrument_.host_.automateParameter(index, value);
}

void ControlFace::endEdit(int index) { instrument_.host_.endParameterEdit(index); }

std::string ControlFace::parameterText(int index) const {
    std::array<char, kValueTextRoom> text{};
    formatParameterValue(index, parameter(index), text.data());
    return text.data();
}

// --- States

int ControlFace::state(int index) const {
    const EngineControl::Reading reading(instrument_.engine_.control());
    return index >= 0 && index < kStateRoom ? instrument_.engine_.control().patch().state(index) : 0;
}

void ControlFace::setState(int index, int value) {
    if (index < 0 || index >= kStateRoom) return;
    EngineControl& engine = instrument_.engine_.control();
    if (index == state::RunStop) {
        engine.requestRunStop(value != 0);
        return;
    }
    const int before = state(index);
    if (index == state::MidiMode && value == 1 && before != 1) engine.request(EngineControl::kReleaseVoices);
    if (index == state::NoteMode && value == 0 && before == 1) engine.request(EngineControl::kForgetHeldKeys);
    const EngineControl::Reading reading(engine);
    engine.patch().setState(index, value);
}

// --- Tempo

double ControlFace::tempo() const { return instrument_.engine_.control().tempo(); }

void ControlFace::setTempo(double bpm) { instrument_.engine_.control().setTempo(bpm); }

double ControlFace::sampleRate() const { return instrument_.engine_.control().sampleRate(); }

double ControlFace::samplesPerSixteenth() const { return instrument_.engine_.control().samplesPerSixteenth(); }

// --- Editing

PatternEditing& ControlFace::patterns() { return instrument_.patterns_; }

CableEditing& ControlFace::cables() { return instrument_.cables_; }

AdvancedRandomSettings& ControlFace::advancedRandomSettings() { return instrument_.advancedRandom_; }

EditKind ControlFace::undo() {
    return instrument_.history_.undo(
        [this](const EditRecord& record) { return putBack(record, instrument_.patterns_, instrument_.cables_); });
}

EditKind ControlFace::redo() {
    return instrument_.history_.redo(
        [this](const EditRecord& record) { return putBack(record, instrument_.patterns_, instrument_.cables_); });
}

bool ControlFace::canUndo() const { return instrument_.history_.canUndo(); }

bool ControlFace::canRedo() const { return instrument_.history_.canRedo(); }

// --- Patches

bool ControlFace::loadPatchFile(const std::string& path) {
    auto fresh = std::make_unique<TarvikPatch>();
    if (!readPatchFile(*fresh, path)) return false;
    instrument_.installPatch(std::move(fresh), path, instrument_.config_.autoRun != 0);
    return true;
}

bool ControlFace::savePatchFile(const std::string& path) {
    const EngineControl::Reading reading(instrument_.engine_.control());
    if (!writePatchFile(*copyOf(instrument_.engine_.control().patch(), instrument_.cables_), path)) return false;
    instrument_.currentPatchPath_ = path;
    return true;
}

void ControlFace::saveChunk(unsigned char* out) const {
    const EngineControl::Reading reading(instrument_.engine_.control());
    const std::unique_ptr<TarvikPatch> copy = copyOf(instrument_.engine_.control().patch(), instrument_.cables_);
    std::snprintf(copy->info.path, sizeof copy->info.path, "%s", instrument_.currentPatchPath_.c_str());
    encodeChunk(*copy, out);
}

// Data holding nothing of a patch leaves the current one in place rather
// than replacing it with a blank patch. The restored patch's notes start
// from silence; its sequencer waits for Run, as in the project it left.
bool ControlFace::restoreChunk(const unsigned char* data, std::size_t size) {
    auto fresh = std::make_unique<TarvikPatch>();
    std::string path;
    if (!decodeChunk(*fresh, data, size, path)) return false;
    instrument_.installPatch(std::move(fresh), path, false);
    return true;
}

std::string ControlFace::currentPatchPath() const { return instrument_.currentPatchPath_; }

PatchInfo ControlFace::patchInfo() const {
    const EngineControl::Reading reading(instrument_.engine_.control());
    return instrument_.engine_.control().patch().info;
}

int ControlFace::takeProgramChange() {
    return instrument_.pendingProgram_.exchange(Instrument::kNoRequest, std::memory_order_acq_rel);
}

int ControlFace::takeBankSelect() {
    return instrument_.pendingBank_.exchange(Instrument::kNoRequest, std::memory_order_acq_rel);
}

// --- Notices for the editor

ParameterInbox& ControlFace::changedParameters() { return instrument_.changedParameters_; }

bool ControlFace::takePatchChanged() { return instrument_.patchChanged_.exchange(false, std::memory_order_acq_rel); }

void ControlFace::notePatchChanged() { instrument_.patchChanged_.store(true, std::memory_order_release); }

// --- The voices

void ControlFace::panic() { instrument_.engine_.control().request(EngineControl::kReset); }

void ControlFace::suspend() {
    instrument_.engine_.control().request(EngineControl::kReset | EngineControl::kDropEvents);
}

void ControlFace::playPreview(int note, int velocity) {
    EngineControl& engine = instrument_.engine_.control();
    if (state(state::RunStop) == 0) engine.request(EngineControl::kReleaseVoices);
    engine.requestPreview(note, velocity);
}

void ControlFace::stopPreview() {
    EngineControl& engine = instrument_.engine_.control();
    if (state(state::RunStop) != 0) return;
    engine.request(EngineControl::kReleaseVoices);
    engine.requestPreview(-1, 0);
}

ActivityIndicators& ControlFace::indicators() { return instrument_.engine_.control().indicators(); }

// --- MIDI learn and the controller map

bool ControlFace::midiLearn() const { return instrument_.midiLearn_.load(std::memory_order_relaxed); }

void ControlFace::setMidiLearn(bool on) {
    instrument_.midiLearn_.store(on, std::memory_order_relaxed);
    setLearnParameter(-1);
}

void ControlFace::setLearnParameter(int index) { instrument_.learnTarget_.store(index, std::memory_order_relaxed); }

int ControlFace::learnParameter() const { return instrument_.learnTarget_.load(std::memory_order_relaxed); }

int ControlFace::controllerFor(int parameter) const { return instrument_.controllerMap_.controllerFor(parameter); }

bool ControlFace::readControllerMapFile(const std::string& path) {
    return readControllerMap(instrument_.controllerMap_, path);
}

bool ControlFace::writeControllerMapFile(const std::string& path) const {
    return writeControllerMap(instrument_.controllerMap_, path);
}

// --- The configuration

const Configuration& ControlFace::configuration() const { return instrument_.config_; }

bool ControlFace::readConfigurationFile() {
    const bool read = readConfiguration(instrument_.config_, dataPath(instrument_.dataFolder_, "Config.ini"));
    instrument_.applyConfiguration();
    return read;
}

bool ControlFace::writeConfigurationFile() {
    Configuration& config = instrument_.config_;
    config.bendRange = state(state::BendRange);
    config.retrigger = state(state::Retrigger);
    config.filterMode = state(state::FilterMode);
    config.syncMode = state(state::SyncMode);
    config.midiMode = state(state::MidiMode);
    return writeConfiguration(config, dataPath(instrument_.dataFolder_, "Config.ini"));
}

void ControlFace::setOscModel(int model) {
    instrument_.config_.oscModel = model;
    instrument_.engine_.control().config().oscModel.store(model, std::memory_order_relaxed);
}

void ControlFace::setMaxPolyphony(int voices) {
    instrument_.config_.maxPolyphony = std::clamp(voices, 1, kMaxPolyphony);
    instrument_.engine_.control().config().maxPolyphony.store(instrument_.config_.maxPolyphony,
                                                              std::memory_order_relaxed);
}

void ControlFace::setAutoRun(bool on) { instrument_.config_.autoRun = on ? 1 : 0; }

const std::string& ControlFace::dataFolder() const { return instrument_.dataFolder_; }

}  // namespace tarvik

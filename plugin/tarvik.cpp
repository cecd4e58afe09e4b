#include "plugin/tarvik.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dsp/wavetable_set.h"
#include "patch/parameters.h"
#include "patch/patch_file.h"
#include "patch/pattern_ops.h"
#include "patch/text_file.h"
#include "plugin/controller_map_file.h"
#include "plugin/data_folder.h"

namespace tarvik {

using namespace vst;

namespace {

constexpr const char* kEffectName = "Tarvik";
constexpr const char* kVendorName = "Sonvarde";
constexpr const char* kProductName = "Sonvarde Kelvane Pro";
constexpr VstInt32 kVendorVersion = 1;
constexpr std::int32_t kDefaultBendRange = 12;
constexpr double kDefaultTempoBpm = 120.0;
// The longest path the plug-in keeps; longer names are taken for damage.
constexpr std::size_t kMaxPathLength = 1023;

// Sample rates outside this range are taken for host errors and ignored.
constexpr float kLowestSampleRate = 1000.0f;
constexpr float kHighestSampleRate = 1536000.0f;

static_assert(kMaxPolyphony == Engine::kVoices, "the configuration's voice limit is the engine's pool");

constexpr const char* kCanDoTexts[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "1in2out",
                                       "2in2out"};

}  // namespace

Tarvik::Tarvik(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, 1, kNumParameters), engine_(this) {
    programsAreChunks(true);
    if (hasHost()) {
        setNumInputs(2);
        setNumOutputs(2);
        isSynth(true);
        canProcessReplacing(true);
        setUniqueID(fourCC('t', 'v', 'x', '3'));
    }
    initialise();
    engine_.resetEngine();
}

Tarvik::~Tarvik() {
    // Notes this plug-in started on the host's MIDI output must not hang.
    engine_.sendAllNotesOff();
    writeControllerMap(controllerMap_, dataPath(dataFolder_, "MidiCC.ini"));
    writePatchFile(engine_.patch(), dataPath(dataFolder_, "Tarvik Patch.tvkp"));
}

void Tarvik::initialise() {
    engine_.setSampleRate(getSampleRate());
    engine_.setMaxBlockFrames(getBlockSize());
    learnTarget_.store(-1, std::memory_order_relaxed);

    dataFolder_ = dataFolder();
    engine_.setWavetables(sharedWavetables(dataFolder_.empty() ? std::string() : dataPath(dataFolder_, kWavetableFolder)));

    // The patch is fresh: every state is 0 but FilterMode, and the pitch
    // bend spans an octave until the configuration says otherwise.
    engine_.patch().setState(state::BendRange, kDefaultBendRange);
    engine_.setTempo(kDefaultTempoBpm);

    readConfigurationFile();
    engine_.noteTables().loadTuning(userFilePath(dataFolder_, config_.tuning));
    readControllerMap(controllerMap_, dataPath(dataFolder_, "MidiCC.ini"));
    clearPatternBank(engine_.patch(), config_.clearNotes != 0);
    // Each session's randomised patterns differ; a test seeds its own.
    seedPatternRandom(static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));

    patchFolder_ = dataPath(dataFolder_, "Tarvik Patches/");
    currentPatchPath_ = dataPath(dataFolder_, "Tarvik Patches/Tarvik Patch.tvkp");
    loadStartupPatch();
}

// "StartupPatch.ini" names, in double quotes, a patch of the patch folder.
void Tarvik::loadStartupPatch() {
    const File file = openRegularFile(dataPath(dataFolder_, "StartupPatch.ini"));
    if (!file || std::fgetc(file.get()) != '"') return;
    std::string name;
    for (int c = std::fgetc(file.get()); c != EOF && c != '"' && name.size() < kMaxPathLength; c = std::fgetc(file.get()))
        name += static_cast<char>(c);
    if (!name.empty()) loadPatchFile(dataPath(patchFolder_, name));
}

bool Tarvik::loadPatchFile(const std::string& path) {
    auto fresh = std::make_unique<TarvikPatch>();
    engine_.patchLoading.store(true, std::memory_order_release);
    const bool read = readPatchFile(*fresh, path);
    if (read) {
        const double bpm = static_cast<double>(fresh->parameter(param::Tempo)) * kTempoSpanBpm + kTempoMinBpm;
        engine_.replacePatch(std::move(fresh));
        engine_.patchJustLoaded.store(true, std::memory_order_release);
        engine_.scheduleVoicesForNewPatch(config_.autoRun != 0);
        currentPatchPath_ = path;
        engine_.setTempo(bpm);
    }
    engine_.patchLoading.store(false, std::memory_order_release);
    if (read) updateDisplay();
    return read;
}

bool Tarvik::savePatchFile(const std::string& path) {
    if (!writePatchFile(engine_.patch(), path)) return false;
    currentPatchPath_ = path;
    return true;
}

VstInt32 Tarvik::getChunk(void** data, bool /*isPreset*/) {
    TarvikPatch& patch = engine_.patch();
    copyHostText(patch.info.path, sizeof patch.info.path, currentPatchPath_.c_str());
    encodeChunk(patch, chunk_.data());
    *data = chunk_.data();
    return static_cast<VstInt32>(chunk_.size());
}

// A host restoring its project. Data holding nothing of a patch leaves the
// current one in place rather than replacing it with a blank patch.
VstInt32 Tarvik::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
    auto fresh = std::make_unique<TarvikPatch>();
    std::string path;
    engine_.patchLoading.store(true, std::memory_order_release);
    const bool read = decodeChunk(*fresh, static_cast<const unsigned char*>(data), static_cast<std::size_t>(byteSize), path);
    // The sequencer plays at the restored patch's own tempo: leaving the
    // old one running would contradict the Tempo parameter the host sees.
    const double bpm = static_cast<double>(fresh->parameter(param::Tempo)) * kTempoSpanBpm + kTempoMinBpm;
    if (read) {
        engine_.replacePatch(std::move(fresh));
        // As after a file load: the old patch's notes fall silent and every
        // smoother starts at the restored values, so the first note a host
        // plays after opening a project is in tune and at its level.
        engine_.patchJustLoaded.store(true, std::memory_order_release);
        engine_.scheduleVoicesForNewPatch(false);
    }
    engine_.patchLoading.store(false, std::memory_order_release);
    if (!read) return 0;
    engine_.setTempo(bpm);
    if (!path.empty()) currentPatchPath_ = path;
    setProgram(0);
    return byteSize;
}

void Tarvik::sequencerCommand(int code) {
    switch (patternEditor_.sequencerCommand(engine_.patch(), code, config_.clearNotes != 0)) {
        case RunStopRequest::Start: engine_.requestRunStop(true); break;
        case RunStopRequest::Stop: engine_.requestRunStop(false); break;
        default: break;
    }
}

bool Tarvik::readConfigurationFile() {
    const bool read = readConfiguration(config_, dataPath(dataFolder_, "Config.ini"));
    applyConfiguration();
    return read;
}

bool Tarvik::writeConfigurationFile() {
    const TarvikPatch& patch = engine_.patch();
    config_.bendRange = patch.state(state::BendRange);
    config_.retrigger = patch.state(state::Retrigger);
    config_.filterMode = patch.state(state::FilterMode);
    config_.syncMode = patch.state(state::SyncMode);
    config_.midiMode = patch.state(state::MidiMode);
    return writeConfiguration(config_, dataPath(dataFolder_, "Config.ini"));
}

void Tarvik::setOscModel(int model) {
    config_.oscModel = model;
    engine_.config().oscModel.store(model, std::memory_order_relaxed);
}

void Tarvik::setMaxPolyphony(int voices) {
    config_.maxPolyphony = std::clamp(voices, 1, kMaxPolyphony);
    engine_.config().maxPolyphony.store(config_.maxPolyphony, std::memory_order_relaxed);
}

void Tarvik::applyConfiguration() {
    EngineConfig& engine = engine_.config();
    engine.maxPolyphony.store(config_.maxPolyphony, std::memory_order_relaxed);
    engine.tuningMode.store(config_.tuningMode, std::memory_order_relaxed);
    engine.oscModel.store(config_.oscModel, std::memory_order_relaxed);
    engine.clearNotes.store(config_.clearNotes, std::memory_order_relaxed);
    engine.midiOutput.store(config_.midiOutput, std::memory_order_relaxed);
    engine.midiOutputChannel.store(config_.midiOutputChannel, std::memory_order_relaxed);
    TarvikPatch& patch = engine_.patch();
    patch.setState(state::BendRange, config_.bendRange);
    patch.setState(state::Retrigger, config_.retrigger);
    patch.setState(state::FilterMode, config_.filterMode);
    patch.setState(state::SyncMode, config_.syncMode);
    patch.setState(state::MidiMode, config_.midiMode);
    if (config_.midiMode == 1) engine_.releaseAllVoices();
}

void Tarvik::suspend() {
    engine_.pendingEvents().clear();
    engine_.resetEngine();
}

void Tarvik::resume() { wantEvents(); }

void Tarvik::setSampleRate(float rate) {
    if (!(rate >= kLowestSampleRate && rate <= kHighestSampleRate)) return;
    AudioEffectX::setSampleRate(rate);
    engine_.setSampleRate(rate);
}

void Tarvik::setBlockSize(VstInt32 frames) {
    if (frames < 1) return;
    AudioEffectX::setBlockSize(frames);
    engine_.setMaxBlockFrames(frames);
}

void Tarvik::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    const Engine::PatchReader reading(engine_);
    if (engine_.patch().state(state::SyncMode) == 1) {
        if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) engine_.setTempo(info->tempo);
    }
    engine_.processBlock(inputs, outputs, sampleFrames, true);
}

// Hosts automate from their audio thread as well as from the GUI thread.
void Tarvik::setParameter(VstInt32 index, float value) {
    const Engine::PatchReader reading(engine_);
    if (index >= 0 && index < kParameterRoom) engine_.patch().setParameter(index, value);
    if (index == param::Tempo) engine_.setTempo(static_cast<double>(value) * kTempoSpanBpm + kTempoMinBpm);
}

float Tarvik::getParameter(VstInt32 index) {
    const Engine::PatchReader reading(engine_);
    return index >= 0 && index < kParameterRoom ? engine_.patch().parameter(index) : 0.0f;
}

VstInt32 Tarvik::getProgram() { return AudioEffectX::getProgram(); }

// There is one program; the patch replaces the bank a host would manage.
void Tarvik::setProgram(VstInt32 /*program*/) { AudioEffectX::setProgram(0); }

// The program is named after the current patch file: its file name without
// the ".tvkp" extension.
void Tarvik::getProgramName(char* name) {
    name[0] = 0;
    const std::string& path = currentPatchPath_;
    const std::size_t extension = path.find(".tvkp");
    if (extension == std::string::npos) return;
    const std::size_t separator = path.find_last_of("\\/", extension);
    if (separator == std::string::npos) return;
    const std::string stem = path.substr(separator + 1, extension - separator - 1);
    copyHostText(name, kTextScratch, stem.c_str());
}

void Tarvik::getParameterLabel(VstInt32 /*index*/, char* label) { std::strcpy(label, " "); }

void Tarvik::getParameterDisplay(VstInt32 index, char* text) { formatParameterValue(index, text, getParameter(index)); }

void Tarvik::getParameterName(VstInt32 index, char* text) {
    text[0] = 0;
    if (index >= 0 && index < kNumParameters)
        copyHostText(text, kTextScratch, kParameterTable[static_cast<std::size_t>(index)].name);
}

bool Tarvik::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    if (index < 0 || index > 1) return false;
    std::snprintf(properties->label, sizeof properties->label, "Tarvik %1d", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

VstInt32 Tarvik::processEvents(VstEvents* events) {
    PendingEvents& pending = engine_.pendingEvents();
    pending.clear();
    // System-exclusive and other records carry no MIDI bytes where a MIDI
    // event has them; reading them as MIDI would play garbage, so only MIDI
    // records are kept.
    for (VstInt32 i = 0; i < events->numEvents && pending.size() < PendingEvents::kCapacity; ++i) {
        const VstEvent* e = events->events[i];
        if (!e || e->type != kVstMidiType) continue;
        const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
        pending.add({m->deltaFrames, static_cast<std::uint8_t>(m->midiData[0]), static_cast<std::uint8_t>(m->midiData[1]),
                     static_cast<std::uint8_t>(m->midiData[2])});
    }
    return 1;
}

bool Tarvik::getEffectName(char* name) {
    std::strcpy(name, kEffectName);
    return true;
}

bool Tarvik::getVendorString(char* text) {
    std::strcpy(text, kVendorName);
    return true;
}

bool Tarvik::getProductString(char* text) {
    std::strcpy(text, kProductName);
    return true;
}

VstInt32 Tarvik::getVendorVersion() { return kVendorVersion; }

VstInt32 Tarvik::canDo(const char* text) {
    for (const char* known : kCanDoTexts) {
        if (std::strcmp(text, known) == 0) return 1;
    }
    return -1;
}

VstInt32 Tarvik::getPlugCategory() { return kPlugCategSynth; }

// In the pattern MIDI mode each key selects the pattern of its number.
VstInt32 Tarvik::getMidiKeyName(VstInt32 /*channel*/, MidiKeyName* keyName) {
    if (engine_.patch().state(state::MidiMode) != 0) return 0;
    std::snprintf(keyName->keyName, sizeof keyName->keyName, "Pattern %d", keyName->thisKeyNumber);
    return 1;
}

void Tarvik::setLearnParameter(int index) { learnTarget_.store(index, std::memory_order_relaxed); }

int Tarvik::getLearnParameter() { return learnTarget_.load(std::memory_order_relaxed); }

bool Tarvik::sendMidiOut(std::uint8_t status, std::uint8_t data1) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&event);
    return sendVstEventsToHost(&list);
}

void Tarvik::controllerChange(int controller, int value) {
    const float normalised = ControllerMap::controllerValue(value);
    const int target = getLearnParameter();
    if (midiLearn() && target >= 0) {
        controllerMap_.assign(controller, target);
        setParameterAutomated(target, normalised);
        return;
    }
    if (const int parameter = controllerMap_.parameterFor(controller); parameter >= 0)
        setParameterAutomated(parameter, normalised);
}

}  // namespace tarvik

#include "plugin/tarvik.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "plugin/data_folder.h"
#include "plugin/parameters.h"

namespace tarvik {

using namespace vst;

namespace {

constexpr const char* kEffectName = "Tarvik";
constexpr const char* kVendorName = "Sonvarde";
constexpr const char* kProductName = "Sonvarde Kelvane Pro";
constexpr VstInt32 kVendorVersion = 1;
constexpr std::int32_t kDefaultBendRange = 12;
constexpr double kDefaultTempoBpm = 120.0;

// Sample rates outside this range are taken for host errors and ignored.
constexpr float kLowestSampleRate = 1000.0f;
constexpr float kHighestSampleRate = 1536000.0f;

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
}

void Tarvik::initialise() {
    engine_.setSampleRate(getSampleRate());
    engine_.setMaxBlockFrames(getBlockSize());
    learnTarget_.store(-1, std::memory_order_relaxed);

    dataFolder_ = dataFolder();

    // The patch is fresh: every state is 0 but FilterMode, and the pitch
    // bend spans an octave until the configuration says otherwise.
    engine_.patch().setState(state::BendRange, kDefaultBendRange);
    engine_.setTempo(kDefaultTempoBpm);

    patchFolder_ = dataPath(dataFolder_, "Tarvik Patches/");
    currentPatchPath_ = dataPath(dataFolder_, "Tarvik Patches/Tarvik Patch.tvkp");
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
    if (engine_.patch().state(state::SyncMode) == 1) {
        if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) engine_.setTempo(info->tempo);
    }
    engine_.processBlock(inputs, outputs, sampleFrames, true);
}

void Tarvik::setParameter(VstInt32 index, float value) {
    if (index >= 0 && index < kParameterRoom) engine_.patch().setParameter(index, value);
    if (index == param::Tempo) engine_.setTempo(static_cast<double>(value) * kTempoSpanBpm + kTempoMinBpm);
}

float Tarvik::getParameter(VstInt32 index) {
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

#include "vst/tarvik.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "patch/parameters.h"
#include "platform/version.h"

namespace tarvik {

using namespace vst;

namespace {

constexpr const char* kEffectName = "Tarvik";
constexpr const char* kVendorName = "Sonvarde";
constexpr const char* kProductName = "Sonvarde Kelvane Pro";
// Hosts show and compare the version as one number; major.minor.patch as
// the thousands, hundreds and units, as many VST 2 plug-ins do (1.0.0 is 1000).
static_assert(platform::kVersionMinor < 10 && platform::kVersionPatch < 100, "the version no longer fits one number");
constexpr VstInt32 kVendorVersion =
    platform::kVersionMajor * 1000 + platform::kVersionMinor * 100 + platform::kVersionPatch;

static_assert(kTextScratch == kValueTextRoom, "value texts are written straight into the host's scratch buffer");

constexpr const char* kCanDoTexts[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "1in2out",
                                       "2in2out"};

}  // namespace

Tarvik::Tarvik(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, kNumParameters), instrument_(*this, getSampleRate(), getBlockSize()) {
    programsAreChunks(true);
    if (hasHost()) {
        setNumInputs(2);
        setNumOutputs(2);
        isSynth(true);
        canProcessReplacing(true);
        setUniqueID(fourCC('t', 'v', 'x', '3'));
    }
}

Tarvik::~Tarvik() = default;

VstInt32 Tarvik::getChunk(void** data, bool /*isPreset*/) {
    control().saveChunk(chunk_.data());
    *data = chunk_.data();
    return static_cast<VstInt32>(chunk_.size());
}

// A host restoring its project.
VstInt32 Tarvik::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
    if (!control().restoreChunk(static_cast<const unsigned char*>(data), static_cast<std::size_t>(byteSize))) return 0;
    setProgram(0);
    return byteSize;
}

void Tarvik::suspend() { control().suspend(); }

void Tarvik::resume() { wantEvents(); }

void Tarvik::setSampleRate(float rate) {
    if (!isUsableSampleRate(rate)) return;
    AudioEffectX::setSampleRate(rate);
    instrument_.setSampleRate(rate);
}

void Tarvik::setBlockSize(VstInt32 frames) {
    if (frames < 1) return;
    AudioEffectX::setBlockSize(frames);
    instrument_.setMaxBlockFrames(frames);
}

void Tarvik::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    AudioFace& audio = instrument_.audio();
    if (audio.followsHostTempo()) {
        if (const VstTimeInfo* info = getTimeInfo(kVstTempoValid)) audio.setHostTempo(info->tempo);
    }
    audio.process(inputs, outputs, sampleFrames);
}

// Hosts automate from their audio thread as well as from the GUI thread.
void Tarvik::setParameter(VstInt32 index, float value) { control().setParameter(index, value); }

float Tarvik::getParameter(VstInt32 index) { return control().parameter(index); }

VstInt32 Tarvik::getProgram() { return AudioEffectX::getProgram(); }

// There is one program; the patch replaces the bank a host would manage.
// Setting it tells the editor to show the patch anew.
void Tarvik::setProgram(VstInt32 /*program*/) {
    AudioEffectX::setProgram(0);
    control().notePatchChanged();
}

// The program is named after the patch file; a host's rename only has the
// editor refresh its menus.
void Tarvik::setProgramName(char* /*name*/) { control().notePatchChanged(); }

// The program is named after the current patch file: its file name without
// the ".tvkp" extension.
void Tarvik::getProgramName(char* name) {
    name[0] = 0;
    const std::string path = control().currentPatchPath();
    const std::size_t extension = path.find(".tvkp");
    if (extension == std::string::npos) return;
    const std::size_t separator = path.find_last_of("\\/", extension);
    if (separator == std::string::npos) return;
    const std::string stem = path.substr(separator + 1, extension - separator - 1);
    copyHostText(name, kTextScratch, stem.c_str());
}

void Tarvik::getParameterLabel(VstInt32 /*index*/, char* label) { std::strcpy(label, " "); }

void Tarvik::getParameterDisplay(VstInt32 index, char* text) { formatParameterValue(index, text, getParameter(index)); }

void Tarvik::formatParameterValue(int index, char* text, float value) { control().formatParameterValue(index, value, text); }

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

// System-exclusive and other records carry no MIDI bytes where a MIDI event
// has them; reading them as MIDI would play garbage, so only MIDI records
// are kept.
VstInt32 Tarvik::processEvents(VstEvents* events) {
    AudioFace& audio = instrument_.audio();
    audio.clearEvents();
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* e = events->events[i];
        if (!e || e->type != kVstMidiType) continue;
        const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
        audio.addEvent({m->deltaFrames, static_cast<std::uint8_t>(m->midiData[0]),
                        static_cast<std::uint8_t>(m->midiData[1]), static_cast<std::uint8_t>(m->midiData[2])});
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
    if (control().state(state::MidiMode) != 0) return 0;
    std::snprintf(keyName->keyName, sizeof keyName->keyName, "Pattern %d", keyName->thisKeyNumber);
    return 1;
}

void Tarvik::setLearnParameter(int index) { control().setLearnParameter(index); }

int Tarvik::getLearnParameter() { return control().learnParameter(); }

void Tarvik::automateParameter(int parameter, float value) {
    callHost(audioMasterAutomate, parameter, 0, nullptr, value);
}

bool Tarvik::sendMidi(std::uint8_t status, std::uint8_t data1) {
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

}  // namespace tarvik

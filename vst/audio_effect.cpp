#include "vst/audio_effect.h"

#include <cstring>

namespace tarvik {

using namespace vst;

void copyHostText(char* destination, std::size_t room, const char* text) {
    if (!destination || room == 0) return;
    std::size_t n = 0;
    while (n + 1 < room && text[n] != 0) ++n;
    std::memcpy(destination, text, n);
    destination[n] = 0;
}

namespace {

// Entry points the host calls through the record. No exception may cross
// back into the host: a failure answers 0.
VstIntPtr VST_CALLBACK dispatchEffect(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt) {
    auto* self = e ? static_cast<AudioEffect*>(e->object) : nullptr;
    if (!self) return 0;
    try {
        if (opcode == effClose) {
            self->dispatcher(opcode, index, value, ptr, opt);
            delete self;
            return 1;
        }
        return self->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VST_CALLBACK processReplacingEffect(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
    if (auto* self = e ? static_cast<AudioEffect*>(e->object) : nullptr) self->processReplacing(inputs, outputs, frames);
}

// The accumulating and the double-precision process calls are not supported;
// hosts that call them anyway get no sound instead of a crash.
void VST_CALLBACK processAccumulatingEffect(AEffect*, float**, float**, VstInt32) {}
void VST_CALLBACK processDoubleEffect(AEffect*, double**, double**, VstInt32) {}

void VST_CALLBACK setParameterEffect(AEffect* e, VstInt32 index, float value) {
    if (auto* self = e ? static_cast<AudioEffect*>(e->object) : nullptr) self->setParameter(index, value);
}

float VST_CALLBACK getParameterEffect(AEffect* e, VstInt32 index) {
    auto* self = e ? static_cast<AudioEffect*>(e->object) : nullptr;
    return self ? self->getParameter(index) : 0.0f;
}

// Runs a text virtual on a scratch buffer and hands the host what fits.
template <typename Write>
void writeHostText(void* destination, std::size_t room, Write&& write) {
    if (!destination) return;
    char scratch[kTextScratch] = {};
    write(scratch);
    scratch[kTextScratch - 1] = 0;
    copyHostText(static_cast<char*>(destination), room, scratch);
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int numPrograms, int numParams)
    : audioMaster_(audioMaster) {
    effect_.magic = kEffectMagic;
    effect_.dispatcher = dispatchEffect;
    effect_.process = processAccumulatingEffect;
    effect_.setParameter = setParameterEffect;
    effect_.getParameter = getParameterEffect;
    effect_.numPrograms = numPrograms;
    effect_.numParams = numParams;
    effect_.numInputs = 1;
    effect_.numOutputs = 2;
    effect_.flags = effFlagsCanReplacing;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = fourCC('N', 'o', 'E', 'f');
    effect_.version = 1;
    effect_.processReplacing = processReplacingEffect;
    effect_.processDoubleReplacing = processDoubleEffect;
}

AudioEffect::~AudioEffect() = default;

void AudioEffect::setEditor(AEffEditor* e) {
    editor_ = e;
    if (e)
        effect_.flags |= effFlagsHasEditor;
    else
        effect_.flags &= ~effFlagsHasEditor;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster_ ? audioMaster_(&effect_, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::beginEdit(VstInt32 index) { callHost(audioMasterBeginEdit, index); }

void AudioEffect::endEdit(VstInt32 index) { callHost(audioMasterEndEdit, index); }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effSetProgram:
            if (value < 1) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName:
            if (ptr) setProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetProgramName:
            writeHostText(ptr, kVstMaxProgNameLen, [&](char* text) { getProgramName(text); });
            return 0;
        case effGetParamLabel:
            writeHostText(ptr, kHostParameterTextRoom, [&](char* text) { getParameterLabel(index, text); });
            return 0;
        case effGetParamDisplay:
            writeHostText(ptr, kHostParameterTextRoom, [&](char* text) { getParameterDisplay(index, text); });
            return 0;
        case effGetParamName:
            writeHostText(ptr, kHostParameterTextRoom, [&](char* text) { getParameterName(index, text); });
            return 0;
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
        case effMainsChanged:
            if (value)
                resume();
            else
                suspend();
            return 0;
        case effEditGetRect: return editor_ && ptr && editor_->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        case effEditOpen: return editor_ && editor_->open(ptr) ? 1 : 0;
        case effEditClose:
            if (!editor_) return 0;
            editor_->close();
            return 1;
        case effEditIdle:
            if (!editor_) return 0;
            editor_->idle();
            return 1;
        case effIdentify: return fourCC('N', 'v', 'E', 'f');
        case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk: return ptr && value > 0 ? setChunk(ptr, static_cast<VstInt32>(value), index != 0) : 0;
        default: return 0;  // effOpen, effClose and everything unsupported
    }
}

void AudioEffectX::isSynth(bool on) {
    if (on)
        getAeffect()->flags |= effFlagsIsSynth;
    else
        getAeffect()->flags &= ~effFlagsIsSynth;
}

void AudioEffectX::programsAreChunks(bool on) {
    if (on)
        getAeffect()->flags |= effFlagsProgramChunks;
    else
        getAeffect()->flags &= ~effFlagsProgramChunks;
}

void AudioEffectX::canProcessReplacing(bool on) {
    if (on)
        getAeffect()->flags |= effFlagsCanReplacing;
    else
        getAeffect()->flags &= ~effFlagsCanReplacing;
}

bool AudioEffectX::wantEvents() { return callHost(audioMasterWantMidi, 0, 1) != 0; }

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effProcessEvents: return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
        case effCanBeAutomated: return 1;
        case effGetOutputProperties:
            return ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory: return getPlugCategory();
        case effGetEffectName: {
            bool answered = false;
            writeHostText(ptr, kVstMaxEffectNameLen, [&](char* text) { answered = getEffectName(text); });
            return answered ? 1 : 0;
        }
        case effGetVendorString: {
            bool answered = false;
            writeHostText(ptr, kVstMaxVendorStrLen, [&](char* text) { answered = getVendorString(text); });
            return answered ? 1 : 0;
        }
        case effGetProductString: {
            bool answered = false;
            writeHostText(ptr, kVstMaxProductStrLen, [&](char* text) { answered = getProductString(text); });
            return answered ? 1 : 0;
        }
        case effGetVendorVersion: return getVendorVersion();
        case effCanDo: return ptr ? canDo(static_cast<const char*>(ptr)) : -1;
        case effGetVstVersion: return kVstVersion;
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor()) return 0;
            VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(opt)};
            const bool used = opcode == effEditKeyDown ? editor()->onKeyDown(key) : editor()->onKeyUp(key);
            return used ? 1 : 0;
        }
        case effSetEditKnobMode: return editor() && editor()->setKnobMode(static_cast<int>(value)) ? 1 : 0;
        case effVendorSpecific:
            if (!editor()) return 0;
            if (index == kEditorCalmQuery) return editor()->calm();
            if (index == kEditorMessageQuery && ptr && value > 0) {
                const std::string text = editor()->shownMessage();
                copyHostText(static_cast<char*>(ptr), static_cast<std::size_t>(value), text.c_str());
                return text.empty() ? 0 : 1;
            }
            return 0;
        case effGetCurrentMidiProgram: return -1;
        case effHasMidiProgramsChanged: return 1;
        case effGetMidiKeyName: return ptr ? getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) : 0;
        case effGetSpeakerArrangement:
            // Both arguments point at the host's arrangement pointers.
            if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = nullptr;
            if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = nullptr;
            return 0;
        case effSetTotalSampleToProcess: return value;
        default: break;
    }
    if (opcode < effProcessEvents) return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    return 0;  // every other 2.x opcode is unsupported
}

}  // namespace tarvik

#include "tools/host/hosted_plugin.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tarvik::host {

using namespace vst;

namespace {
// The instance being created: its callbacks arrive before the host can mark
// the record as its own.
thread_local HostedPlugin* creating = nullptr;
}  // namespace

HostedPlugin::HostedPlugin(HostSettings settings) : settings_(settings) {
    automation_.reserve(kRecordRoom);
    edits_.reserve(kRecordRoom);
    midiOutput_.reserve(kRecordRoom);
    timeInfo_.sampleRate = settings_.sampleRate;
    timeInfo_.tempo = settings_.tempo;
    timeInfo_.timeSigNumerator = 4;
    timeInfo_.timeSigDenominator = 4;
    timeInfo_.flags = kVstTempoValid | kVstTimeSigValid;
}

HostedPlugin::~HostedPlugin() { close(); }

bool HostedPlugin::load(const std::string& path, std::string& error) {
    if (!library_.open(path, error)) return false;
    void* entry = library_.symbol("VSTPluginMain");
    if (!entry) {
        error = path + " does not export VSTPluginMain";
        return false;
    }
    return create(reinterpret_cast<AEffect* (*)(audioMasterCallback)>(entry), error);
}

bool HostedPlugin::create(AEffect* (*entry)(audioMasterCallback), std::string& error) {
    creating = this;
    effect_ = entry(callback);
    creating = nullptr;
    if (!effect_) {
        error = "the plug-in's entry returned no effect";
        return false;
    }
    if (effect_->magic != kEffectMagic) {
        error = "the plug-in's record has the wrong magic";
        effect_ = nullptr;
        return false;
    }
    effect_->user = this;
    return true;
}

VstIntPtr HostedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

void HostedPlugin::start() {
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(settings_.sampleRate));
    dispatch(effSetBlockSize, 0, settings_.blockSize);
    dispatch(effMainsChanged, 0, 1);
}

void HostedPlugin::close() {
    if (!effect_) return;
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
    effect_ = nullptr;
}

void HostedPlugin::sendEvents(const std::vector<TimedMidi>& events) {
    eventRecords_.assign(events.size(), VstMidiEvent{});
    eventPointers_.resize(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        VstMidiEvent& m = eventRecords_[i];
        m.type = kVstMidiType;
        m.byteSize = sizeof(VstMidiEvent);
        m.deltaFrames = events[i].offset;
        m.midiData[0] = static_cast<char>(events[i].message.status);
        m.midiData[1] = static_cast<char>(events[i].message.data1);
        m.midiData[2] = static_cast<char>(events[i].message.data2);
        eventPointers_[i] = reinterpret_cast<VstEvent*>(&m);
    }
    // VstEvents ends in a pointer array of the host's chosen length.
    const std::size_t bytes = offsetof(VstEvents, events) + sizeof(VstEvent*) * std::max<std::size_t>(events.size(), 2);
    eventList_.assign(bytes, 0);
    auto* list = reinterpret_cast<VstEvents*>(eventList_.data());
    list->numEvents = static_cast<VstInt32>(events.size());
    if (!events.empty())  // an empty list has no pointers to copy (and memcpy takes no null)
        std::memcpy(eventList_.data() + offsetof(VstEvents, events), eventPointers_.data(),
                    sizeof(VstEvent*) * events.size());
    dispatch(effProcessEvents, 0, 0, list);
}

void HostedPlugin::process(float** inputs, float** outputs, int frames) {
    if (effect_ && effect_->processReplacing) effect_->processReplacing(effect_, inputs, outputs, frames);
    timeInfo_.samplePos += frames;
}

void HostedPlugin::clearRecords() {
    automation_.clear();
    edits_.clear();
    midiOutput_.clear();
    wantMidiCalls_ = 0;
    updateDisplayCalls_ = 0;
}

VstIntPtr VST_CALLBACK HostedPlugin::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt) {
    HostedPlugin* self = effect && effect->user ? static_cast<HostedPlugin*>(effect->user) : creating;
    return self ? self->answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr HostedPlugin::answer(VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* ptr, float opt) {
    switch (opcode) {
        case audioMasterVersion: return settings_.versionAnswer;
        case audioMasterAutomate:
            if (automation_.size() < kRecordRoom) automation_.push_back({index, opt});
            if (edits_.size() < kRecordRoom) edits_.push_back({EditCall::Automate, index, opt});
            return 0;
        case audioMasterBeginEdit:
            if (edits_.size() < kRecordRoom) edits_.push_back({EditCall::Begin, index, 0.0f});
            return 1;
        case audioMasterEndEdit:
            if (edits_.size() < kRecordRoom) edits_.push_back({EditCall::End, index, 0.0f});
            return 1;
        case audioMasterWantMidi: ++wantMidiCalls_; return 1;
        case audioMasterGetTime:
            if (!settings_.answersTimeInfo) return 0;
            timeInfo_.tempo = settings_.tempo;
            timeInfo_.sampleRate = settings_.sampleRate;
            return reinterpret_cast<VstIntPtr>(&timeInfo_);
        case audioMasterProcessEvents: {
            const auto* list = static_cast<const VstEvents*>(ptr);
            if (!list) return 0;
            for (VstInt32 i = 0; i < list->numEvents; ++i) {
                const VstEvent* e = list->events[i];
                if (!e || e->type != kVstMidiType || midiOutput_.size() >= kRecordRoom) continue;
                const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
                midiOutput_.push_back({static_cast<std::uint8_t>(m->midiData[0]), static_cast<std::uint8_t>(m->midiData[1]),
                                       static_cast<std::uint8_t>(m->midiData[2])});
            }
            return 1;
        }
        case audioMasterGetSampleRate: return static_cast<VstIntPtr>(settings_.sampleRate);
        case audioMasterGetBlockSize: return settings_.blockSize;
        case audioMasterUpdateDisplay: ++updateDisplayCalls_; return 1;
        default: return 0;
    }
}

}  // namespace tarvik::host

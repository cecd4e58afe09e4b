// A small VST 2.4 host: loads a plug-in binary, answers its callbacks the way
// a music host does and drives it through the ABI alone. The offline
// renderer, the Windows smoke test and the binary-level tests all use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/shared_library.h"
#include "platform/vst2_abi.h"

namespace tarvik::host {

struct HostSettings {
    double sampleRate = 44100.0;
    int blockSize = 512;
    double tempo = 120.0;
    vst::VstIntPtr versionAnswer = vst::kVstVersion;  // what audioMasterVersion answers
    bool answersTimeInfo = true;                      // false: audioMasterGetTime answers null
};

struct AutomationCall {
    int index;
    float value;
};

// One step of a user's gesture on a parameter, as the plug-in reported it.
struct EditCall {
    enum Kind { Begin, Automate, End };
    Kind kind;
    int index;
    float value;  // Automate only
};

struct MidiMessage {
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
};

// A MIDI message to send at a frame offset of a block.
struct TimedMidi {
    int offset;
    MidiMessage message;
};

class HostedPlugin {
public:
    // Room reserved for what the plug-in reports, so that recording it does
    // not allocate while the plug-in runs.
    static constexpr std::size_t kRecordRoom = 4096;

    explicit HostedPlugin(HostSettings settings = {});
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    // Loads the binary and creates an instance through VSTPluginMain.
    // Answers false with a reason when the binary or its entry is missing or
    // the entry returns no record.
    bool load(const std::string& path, std::string& error);
    // Creates an instance from an entry already at hand (a linked-in plug-in).
    bool create(vst::AEffect* (*entry)(vst::audioMasterCallback), std::string& error);

    vst::AEffect* effect() const { return effect_; }
    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    // effOpen, sample rate, block size, resume: what a host does before playing.
    void start();
    // Suspends and closes the instance (the plug-in destroys itself).
    void close();

    // Hands the events to the plug-in for the next block (effProcessEvents).
    void sendEvents(const std::vector<TimedMidi>& events);
    // One processReplacing call; inputs may be null.
    void process(float** inputs, float** outputs, int frames);

    HostSettings& settings() { return settings_; }

    const std::vector<AutomationCall>& automation() const { return automation_; }
    // Begin-edit, automate and end-edit calls in the order they came.
    const std::vector<EditCall>& edits() const { return edits_; }
    const std::vector<MidiMessage>& midiOutput() const { return midiOutput_; }
    int wantMidiCalls() const { return wantMidiCalls_; }
    int updateDisplayCalls() const { return updateDisplayCalls_; }
    void clearRecords();

private:
    static vst::VstIntPtr VST_CALLBACK callback(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                                                vst::VstIntPtr value, void* ptr, float opt);
    vst::VstIntPtr answer(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);

    HostSettings settings_;
    platform::SharedLibrary library_;
    vst::AEffect* effect_ = nullptr;
    vst::VstTimeInfo timeInfo_{};
    std::vector<vst::VstMidiEvent> eventRecords_;
    std::vector<vst::VstEvent*> eventPointers_;
    std::vector<unsigned char> eventList_;
    std::vector<AutomationCall> automation_;
    std::vector<EditCall> edits_;
    std::vector<MidiMessage> midiOutput_;
    int wantMidiCalls_ = 0;
    int updateDisplayCalls_ = 0;
};

}  // namespace tarvik::host

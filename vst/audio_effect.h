// The two plug-in base layers of the VST 2.4 interface: AudioEffect turns the
// host's record calls and the basic dispatcher opcodes into virtual calls,
// AudioEffectX adds the 2.x opcodes and the host-callback wrappers.
//
// Texts: every virtual that writes a text gets a scratch buffer of
// kTextScratch bytes from the dispatcher, which then copies into the host's
// buffer no more than the host is known to provide. A virtual can therefore
// never overrun a host buffer, whatever it writes.
#pragma once

#include <cstddef>
#include <string>

#include "platform/vst2_abi.h"
#include "vst/editor_query.h"

namespace tarvik {

constexpr std::size_t kTextScratch = 256;

// Room, terminator included, that hosts provide for parameter names, labels
// and value texts. The interface's historical 8 is too small for any of our
// names; every host in use provides at least 24.
constexpr std::size_t kHostParameterTextRoom = 24;

// Copies a zero-terminated text into a host buffer of the given room, cutting
// it to fit and always terminating it.
void copyHostText(char* destination, std::size_t room, const char* text);

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(vst::audioMasterCallback audioMaster, int numPrograms, int numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    vst::AEffect* getAeffect() { return &effect_; }

    virtual vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                      float opt);

    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate_ = rate; }
    virtual void setBlockSize(vst::VstInt32 frames) { blockSize_ = frames; }
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, vst::VstInt32 /*sampleFrames*/) {}

    virtual void setParameter(vst::VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(vst::VstInt32 /*index*/) { return 0.0f; }
    virtual vst::VstInt32 getProgram() { return curProgram_; }
    virtual void setProgram(vst::VstInt32 program) { curProgram_ = program; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { name[0] = 0; }
    virtual void getParameterLabel(vst::VstInt32 /*index*/, char* label) { label[0] = 0; }
    virtual void getParameterDisplay(vst::VstInt32 /*index*/, char* text) { text[0] = 0; }
    virtual void getParameterName(vst::VstInt32 /*index*/, char* text) { text[0] = 0; }
    virtual vst::VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
    virtual vst::VstInt32 setChunk(void* /*data*/, vst::VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }

    float getSampleRate() const { return sampleRate_; }
    vst::VstInt32 getBlockSize() const { return blockSize_; }

    // Sets a parameter and tells the host, as a control gesture does.
    void setParameterAutomated(vst::VstInt32 index, float value);
    // A user's gesture on a parameter's control starts and ends: hosts
    // record automation, and group undo, between the two.
    void beginEdit(vst::VstInt32 index);
    void endEdit(vst::VstInt32 index);

protected:
    vst::VstIntPtr callHost(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);
    void setEditor(AEffEditor* e);
    bool hasHost() const { return audioMaster_ != nullptr; }

    AEffEditor* editor() const { return editor_; }

private:
    vst::audioMasterCallback audioMaster_;
    vst::AEffect effect_{};
    AEffEditor* editor_ = nullptr;
    float sampleRate_ = 44100.0f;
    vst::VstInt32 blockSize_ = 1024;
    vst::VstInt32 curProgram_ = 0;
};

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                              float opt) override;

    virtual vst::VstInt32 processEvents(vst::VstEvents* /*events*/) { return 0; }
    virtual bool getOutputProperties(vst::VstInt32 /*index*/, vst::VstPinProperties* /*properties*/) { return false; }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual vst::VstInt32 getVendorVersion() { return 0; }
    virtual vst::VstInt32 canDo(const char* /*text*/) { return 0; }
    virtual vst::VstInt32 getPlugCategory() { return vst::kPlugCategUnknown; }
    virtual vst::VstInt32 getMidiKeyName(vst::VstInt32 /*channel*/, vst::MidiKeyName* /*keyName*/) { return 0; }

    void isSynth(bool on);
    void programsAreChunks(bool on);
    void setNumInputs(vst::VstInt32 n) { getAeffect()->numInputs = n; }
    void setNumOutputs(vst::VstInt32 n) { getAeffect()->numOutputs = n; }
    void setUniqueID(vst::VstInt32 id) { getAeffect()->uniqueID = id; }
    void canProcessReplacing(bool on);

    // Host-callback wrappers; each does nothing without a host callback.
    bool wantEvents();
    vst::VstTimeInfo* getTimeInfo(vst::VstInt32 filter);
    bool sendVstEventsToHost(vst::VstEvents* events);
    bool updateDisplay();
};

// What the host's editor opcodes reach, on the host's GUI thread. What the
// editor shows of the plug-in it reads through the instrument's control
// face, so nothing else needs telling.
class AEffEditor {
public:
    virtual ~AEffEditor() = default;

    virtual bool getRect(vst::ERect** rect) = 0;
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    virtual bool onKeyDown(vst::VstKeyCode& key) = 0;
    virtual bool onKeyUp(vst::VstKeyCode& key) = 0;
    virtual bool setKnobMode(int mode) = 0;
    // How far it has come with what it has to do by itself (EditorCalm).
    virtual int calm() = 0;
    // The text of the message the panel shows; empty when none is shown.
    virtual std::string shownMessage() = 0;
};

}  // namespace tarvik

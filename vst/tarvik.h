// The VST 2.4 front end: the plug-in class the host's calls reach. It owns
// the instrument and translates each call to one of its faces: the audio
// thread's calls (processReplacing, processEvents) to the audio face, the
// dispatcher's and the parameter calls to the control face; and it tells
// the host what the instrument reports.
//
// Threads, as VST 2.4 hosts call: the dispatcher on the host's GUI thread
// (suspend, resume, sample rate and block size only while suspended);
// processReplacing and processEvents on its audio thread; setParameter and
// getParameter on any thread.
#pragma once

#include <array>

#include "instrument/instrument.h"
#include "patch/patch_chunk.h"
#include "vst/audio_effect.h"

namespace tarvik {

class Tarvik : public AudioEffectX, private InstrumentHost {
public:
    explicit Tarvik(vst::audioMasterCallback audioMaster);
    ~Tarvik() override;

    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(vst::VstInt32 frames) override;
    void processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
    void setParameter(vst::VstInt32 index, float value) override;
    float getParameter(vst::VstInt32 index) override;
    vst::VstInt32 getProgram() override;
    void setProgram(vst::VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(vst::VstInt32 index, char* label) override;
    void getParameterDisplay(vst::VstInt32 index, char* text) override;
    void getParameterName(vst::VstInt32 index, char* text) override;
    bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
    vst::VstInt32 processEvents(vst::VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::VstInt32 getVendorVersion() override;
    vst::VstInt32 canDo(const char* text) override;
    vst::VstInt32 getPlugCategory() override;
    vst::VstInt32 getMidiKeyName(vst::VstInt32 channel, vst::MidiKeyName* keyName) override;
    vst::VstInt32 getChunk(void** data, bool isPreset) override;
    vst::VstInt32 setChunk(void* data, vst::VstInt32 byteSize, bool isPreset) override;

    // Writes the value text of a parameter at a value (at most kTextScratch
    // bytes). Any control thread.
    virtual void formatParameterValue(int index, char* text, float value);
    // MIDI learn: the parameter the next controller moves will drive, or -1.
    // Any thread.
    virtual void setLearnParameter(int index);
    virtual int getLearnParameter();

    // The instrument's control face, for the editor and for tests acting as
    // one. Control threads.
    ControlFace& control() { return instrument_.control(); }

private:
    // InstrumentHost.
    void beginParameterEdit(int parameter) override { beginEdit(parameter); }
    void endParameterEdit(int parameter) override { endEdit(parameter); }
    void automateParameter(int parameter, float value) override;
    bool sendMidi(std::uint8_t status, std::uint8_t data1) override;
    void patchReplaced() override { updateDisplay(); }

    Instrument instrument_;
    // Handed to the host by getChunk; valid until the next getChunk.
    std::array<unsigned char, kChunkSize> chunk_{};
};

}  // namespace tarvik

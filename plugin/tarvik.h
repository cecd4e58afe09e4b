// The plug-in: translates host calls into engine calls and back. It owns the
// engine (with the current patch), the MIDI controller map and the paths.
#pragma once

#include <array>
#include <atomic>
#include <string>

#include "engine/engine.h"
#include "patch/patch_chunk.h"
#include "patch/pattern_ops.h"
#include "plugin/audio_effect.h"
#include "plugin/configuration.h"
#include "plugin/controller_map.h"

namespace tarvik {

class Tarvik : public AudioEffectX, private EngineHost {
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

    // Patch files, from the editor's file menu, program changes and start-up.
    // A load that fails leaves the current patch as it was; a save that fails
    // leaves the file and the current patch path as they were.
    bool loadPatchFile(const std::string& path);
    bool savePatchFile(const std::string& path);

    // Writes the value text of a parameter (at most kTextScratch bytes).
    virtual void formatParameterValue(int index, char* text, float value);
    // MIDI learn: the parameter the next controller moves will drive, or -1.
    virtual void setLearnParameter(int index);
    virtual int getLearnParameter();

    void setMidiLearn(bool on) { midiLearn_.store(on, std::memory_order_relaxed); }
    bool midiLearn() const { return midiLearn_.load(std::memory_order_relaxed); }

    void setTempo(double bpm) { engine_.setTempo(bpm); }
    void resetEngine() { engine_.resetEngine(); }
    bool sendMidiOut(std::uint8_t status, std::uint8_t data1) override;

    // "Config.ini" in the data folder: read at start-up and by the
    // preferences dialog; written by the dialog. Five of its values are
    // states of the current patch and are taken from it when writing.
    bool readConfigurationFile();
    bool writeConfigurationFile();
    const Configuration& configuration() const { return config_; }
    // The preferences panel's two engine settings, taken at once.
    void setOscModel(int model);
    void setMaxPolyphony(int voices);  // limited to 1..kMaxPolyphony
    // Whether a loaded patch starts its sequencer as it was saved (the patch
    // menu's Auto Run/Stop entry).
    void setAutoRun(bool on) { config_.autoRun = on ? 1 : 0; }

    // The advanced randomiser's settings: kept while the plug-in lives, so
    // that the panel shows them again however often the editor reopens.
    AdvancedRandomSettings& advancedRandomSettings() { return advancedRandom_; }

    // The sequencer panel's programming actions on the current pattern
    // (Run/Stop, step flags, note entry, moves of the edit position).
    void sequencerCommand(int code);
    PatternEditor& patternEditor() { return patternEditor_; }

    Engine& engine() { return engine_; }
    ControllerMap& controllerMap() { return controllerMap_; }
    const std::string& dataFolderPath() const { return dataFolder_; }
    const std::string& currentPatchPath() const { return currentPatchPath_; }

private:
    void controllerChange(int controller, int value) override;
    void initialise();
    void loadStartupPatch();
    void applyConfiguration();

    Engine engine_;
    ControllerMap controllerMap_;
    Configuration config_;
    PatternEditor patternEditor_;
    AdvancedRandomSettings advancedRandom_;
    std::atomic<bool> midiLearn_{false};
    std::atomic<int> learnTarget_{-1};
    std::string dataFolder_;
    std::string patchFolder_;
    std::string currentPatchPath_;
    // Handed to the host by getChunk; valid until the next getChunk.
    std::array<unsigned char, kChunkSize> chunk_{};
};

}  // namespace tarvik

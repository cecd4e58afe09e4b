// The instrument as every thread but the audio thread reaches it: the editor
// (on the host's GUI thread) and the host's own calls (parameters, chunks,
// program names). It is the editor's only way to the instrument.
//
// Threads: "control threads" are all but the audio thread. Calls marked
// "any thread" are also safe on the audio thread (each is one atomic word:
// hosts automate from there). Edits of patterns, cables and states go
// through this face's one writer of each, on one control thread at a time
// (the host's GUI thread); reads may come from any control thread. Nothing
// here ever waits for the audio thread: what it must do is asked for and
// carried out at the start of its next block.
#pragma once

#include <cstddef>
#include <string>

#include "engine/engine.h"
#include "instrument/configuration.h"
#include "instrument/edit_history.h"
#include "instrument/parameter_inbox.h"
#include "patch/pattern_ops.h"

namespace tarvik {

class CableEditing;
class Instrument;
class PatternEditing;

// Room for a parameter's value text, terminator included.
inline constexpr std::size_t kValueTextRoom = 256;

class ControlFace {
public:
    explicit ControlFace(Instrument& instrument) : instrument_(instrument) {}

    // --- Parameters (any thread). Values are stored as given within the
    // patch's room of 128; elsewhere nothing is stored and 0 is read.
    float parameter(int index) const;
    // Stores a value; Tempo also sets the tempo. The editor shows it at its
    // next idle.
    void setParameter(int index, float value);
    // A user's gesture on a parameter's control: begin, each change (stored
    // and told to the host), end.
    void beginEdit(int index);
    void changeParameter(int index, float value);
    void endEdit(int index);
    // The value text of a parameter at a value, as hosts and the panel show it
    // (at most kValueTextRoom bytes, terminator included).
    void formatParameterValue(int index, float value, char* text) const;
    std::string parameterText(int index) const;

    // --- States. A switch's side effects go with it: the synthesizer mode
    // releases the voices, leaving poly forgets the held keys, RunStop
    // starts or stops the sequencer.
    int state(int index) const;
    void setState(int index, int value);

    // --- Tempo (any thread): see EngineControl::setTempo.
    double tempo() const;
    void setTempo(double bpm);
    // The rate the host renders at, and a sequencer step at the tempo.
    double sampleRate() const;
    double samplesPerSixteenth() const;

    // --- The one writer of the patterns and of the cables.
    PatternEditing& patterns();
    CableEditing& cables();
    // The Advanced Random panel's settings, kept while the instrument lives.
    AdvancedRandomSettings& advancedRandomSettings();
    // Undo and redo of the writers' changes (edit_history.h), at least 64
    // deep; each answers what it put back, None when there was nothing.
    // They are the user's own explicit request, so PatternWriteProtect does
    // not hold them back: undo may give back notes the switch now guards.
    EditKind undo();
    EditKind redo();
    bool canUndo() const;
    bool canRedo() const;

    // --- Patches. A load or restore that fails leaves the current patch as
    // it was; a save that fails leaves the file and the current path as they
    // were. Only one control thread installs patches.
    bool loadPatchFile(const std::string& path);
    bool savePatchFile(const std::string& path);
    // The whole instrument's patch as a host stores it (kChunkSize bytes,
    // patch_chunk.h), from a consistent copy; the live patch is not touched.
    void saveChunk(unsigned char* out) const;
    // A chunk from a host; false when it held nothing of a patch.
    bool restoreChunk(const unsigned char* data, std::size_t size);
    std::string currentPatchPath() const;
    PatchInfo patchInfo() const;
    // The latest program change (or bank select) the audio thread saw since
    // the last call, for the control side to load; -1 when none waits.
    int takeProgramChange();
    int takeBankSelect();

    // --- What changed for the editor since it last looked.
    ParameterInbox& changedParameters();
    // True once after another patch became current (or the host renamed it).
    bool takePatchChanged();
    void notePatchChanged();

    // --- The voices.
    // Silences everything (the panic button).
    void panic();
    // The host stops rendering: the first block after starts from silence,
    // and events the host handed over before are dropped.
    void suspend();
    // The sequencer panel's keyboard: a note to hear while programming (a
    // stopped sequencer's voices fall silent first), and its release.
    void playPreview(int note, int velocity);
    void stopPreview();
    // The lights the audio thread raises; the editor clears them.
    ActivityIndicators& indicators();

    // --- MIDI learn and the controller map.
    bool midiLearn() const;
    // Switching learn on or off clears the learn target.
    void setMidiLearn(bool on);
    // The parameter the next controller moved while learn is on drives; -1: none.
    void setLearnParameter(int index);
    int learnParameter() const;
    // The lowest controller driving the parameter, or -1.
    int controllerFor(int parameter) const;
    bool readControllerMapFile(const std::string& path);
    bool writeControllerMapFile(const std::string& path) const;

    // --- The configuration ("Config.ini").
    const Configuration& configuration() const;
    // Reads the file again and applies it (Preferences' Reset); a missing
    // file is no settings, so this always answers true.
    bool readConfigurationFile();
    // Writes it, taking the five patch states it holds from the patch.
    bool writeConfigurationFile();
    void setOscModel(int model);
    void setMaxPolyphony(int voices);  // limited to 1..kMaxPolyphony
    // Whether a loaded patch starts its sequencer as it was saved.
    void setAutoRun(bool on);
    // The data folder, with a trailing separator; empty when unknown.
    const std::string& dataFolder() const;

private:
    Instrument& instrument_;
};

}  // namespace tarvik

// Which parameter each control of the panel edits, and how: the one place
// that ties the skin's control tags to the parameter indexes. The panel's
// knob defaults, its value handlers, the display of host and controller
// moves and the skin program's captions all read it.
#pragma once

#include "gui/skin_tags.h"
#include "patch/parameters.h"

namespace tarvik::gui {

enum class Edit {
    Value,        // the control's value is the parameter's (knobs and on/off switches)
    Toggle,       // a press switches the parameter between off and on
    CycleOctave,  // a press steps the octave through 16', 8' and 4'
    Momentary,    // the parameter is on while the button is held
};

struct ParameterControl {
    int tag;
    int parameter;
    Edit edit;
};

// The Tempo parameter has no row: the tempo display shows it in BPM, not as
// a parameter value.
inline constexpr ParameterControl kParameterControls[] = {
    // bass section
    {tag::TuningKnob, param::MasterTuning, Edit::Value},
    {tag::CutoffKnob, param::FilterCutoff, Edit::Value},
    {tag::ResonanceKnob, param::FilterResonance, Edit::Value},
    {tag::EnvModKnob, param::EnvelopeMod, Edit::Value},
    {tag::VcfTrackingKnob, param::VcfTracking, Edit::Value},
    {tag::AccentKnob, param::AccentAmount, Edit::Value},
    {tag::BoostKnob, param::VcoBoost, Edit::Value},
    {tag::DistortKnob, param::VcoShaper, Edit::Value},
    {tag::VolumeKnob, param::MasterVolume, Edit::Value},
    {tag::Vco2ModSwitch, param::Vco2Mod, Edit::Value},
    // oscillators
    {tag::Vco1Wave, param::Vco1Waveform, Edit::Value},
    {tag::Vco1Pw, param::Vco1PulseWidth, Edit::Value},
    {tag::Vco1Fm, param::Vco1FilterMod, Edit::Value},
    {tag::Vco1Fine, param::Vco1FineTune, Edit::Value},
    {tag::Vco1Range, param::Vco1Range, Edit::CycleOctave},
    {tag::Vco2Wave, param::Vco2Waveform, Edit::Value},
    {tag::Vco2Pw, param::Vco2PulseWidth, Edit::Value},
    {tag::Vco2Fm, param::Vco2FreqMod, Edit::Value},
    {tag::Vco2Fine, param::Vco2FineTune, Edit::Value},
    {tag::Vco2Range, param::Vco2Range, Edit::CycleOctave},
    // noise, glide and gate, mixer
    {tag::NgColor, param::NgColor, Edit::Value},
    {tag::GlideKnob, param::GlideTime, Edit::Value},
    {tag::GateKnob, param::GateTime, Edit::Value},
    {tag::TriggerButton, param::TriggerMode, Edit::Toggle},
    {tag::Vco1Level, param::Vco1Level, Edit::Value},
    {tag::Vco2Level, param::Vco2Level, Edit::Value},
    {tag::NoiseLevel, param::NoiseLevel, Edit::Value},
    {tag::AuxLevel, param::AuxLevel, Edit::Value},
    // modulation generator
    {tag::MgWave, param::MgWave, Edit::Value},
    {tag::MgFreq, param::MgFrequency, Edit::Value},
    {tag::MgAmount, param::MgAmount, Edit::Value},
    {tag::MgVco1Dest, param::MgVco1Dest, Edit::Toggle},
    {tag::MgVco2Dest, param::MgVco2Dest, Edit::Toggle},
    {tag::MgVcfDest, param::MgVcfDest, Edit::Toggle},
    {tag::MgVcaDest, param::MgVcaDest, Edit::Toggle},
    {tag::MgPw1Dest, param::MgPw1Dest, Edit::Toggle},
    {tag::MgRetrig, param::MgRetrigger, Edit::Toggle},
    {tag::MgAudio, param::MgAudioOutput, Edit::Toggle},
    {tag::MgBpmSync, param::MgBpmSync, Edit::Value},
    // sync and accent
    {tag::Sync12, param::Ring1x2, Edit::Toggle},
    {tag::Sync21, param::Sync2To1, Edit::Toggle},
    {tag::AccDecay, param::AccentDecay, Edit::Value},
    {tag::AccVolume, param::AccentVolume, Edit::Value},
    {tag::AccManual, param::AccentManual, Edit::Momentary},
    // envelopes
    {tag::VcaAttack, param::VcaAttack, Edit::Value},
    {tag::VcaDecay, param::VcaDecay, Edit::Value},
    {tag::VcaSustain, param::VcaSustain, Edit::Value},
    {tag::VcaRelease, param::VcaRelease, Edit::Value},
    {tag::VcfAttack, param::VcfAttack, Edit::Value},
    {tag::VcfDecay, param::VcfDecay, Edit::Value},
    {tag::VcfSustain, param::VcfSustain, Edit::Value},
    {tag::VcfRelease, param::VcfRelease, Edit::Value},
    // delay
    {tag::DelayAmount, param::DelayAmount, Edit::Value},
    {tag::DelayFeedback, param::DelayFeedback, Edit::Value},
    {tag::DelayLeft, param::DelayLeft, Edit::Value},
    {tag::DelayRight, param::DelayRight, Edit::Value},
    {tag::DelayBpmSync, param::DelayBpmSync, Edit::Value},
    // the patch field's utility knobs
    {tag::vcKnob(1), param::EnvFollowAttack, Edit::Value},
    {tag::vcKnob(2), param::EnvFollowRelease, Edit::Value},
    {tag::vcKnob(3), param::OutputVariable1, Edit::Value},
    {tag::vcKnob(4), param::OutputBias, Edit::Value},
    {tag::vcKnob(5), param::OutputVariable2, Edit::Value},
    {tag::vcKnob(6), param::OutputLagTime, Edit::Value},
};

// The row of a control tag, or of a parameter; nullptr when it has none.
constexpr const ParameterControl* controlRowOfTag(int tagValue) {
    for (const ParameterControl& row : kParameterControls)
        if (row.tag == tagValue) return &row;
    return nullptr;
}
constexpr const ParameterControl* controlRowOfParameter(int parameter) {
    for (const ParameterControl& row : kParameterControls)
        if (row.parameter == parameter) return &row;
    return nullptr;
}

// The parameter a control edits, -1 for none; the control that shows a
// parameter, -1 for none.
constexpr int parameterOfControl(int tagValue) {
    const ParameterControl* row = controlRowOfTag(tagValue);
    return row ? row->parameter : -1;
}
constexpr int controlOfParameter(int parameter) {
    const ParameterControl* row = controlRowOfParameter(parameter);
    return row ? row->tag : -1;
}

// Each control edits one parameter and each parameter has one control, so
// that a move shows on the control it came from.
constexpr bool eachTagAndParameterOnce() {
    for (const ParameterControl& row : kParameterControls)
        if (controlRowOfTag(row.tag) != &row || controlRowOfParameter(row.parameter) != &row) return false;
    return true;
}
static_assert(eachTagAndParameterOnce());

}  // namespace tarvik::gui

// What each control of the panel does when the user moves it, and what the
// panel shows of the plug-in in return.
#include <algorithm>
#include <array>
#include <cmath>

#include "gui/editor/illu_button.h"
#include "gui/editor/pitch_keyboard.h"
#include "gui/editor/panel_controller.h"
#include "gui/parameter_controls.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "instrument/pattern_editing.h"
#include "patch/pattern_ops.h"

namespace tarvik::gui {

namespace {

constexpr int kStepNumberBase = 1;  // the step display counts from 1
// The panel sets the tempo within the Tempo parameter's range, so that the
// host's parameter always says what the panel set.
constexpr double kLowestTempo = kTempoMinBpm;
constexpr double kHighestTempo = parameterToTempo(1.0f);
constexpr auto kRockerFirstRepeat = std::chrono::milliseconds(300);

// The parameter a control's value is: knobs and on/off switches.
int boundParameter(int tagValue) {
    const ParameterControl* row = controlRowOfTag(tagValue);
    return row && row->edit == Edit::Value ? row->parameter : -1;
}

// The parameter a gesture on the control moves: its own, or Tempo for the
// tempo display.
int gestureParameter(int tagValue) { return tagValue == tag::TempoDigits ? param::Tempo : boundParameter(tagValue); }

// A button that switches a parameter the panel has no knob for.
const ParameterControl* parameterButton(int tagValue) {
    const ParameterControl* row = controlRowOfTag(tagValue);
    return row && row->edit != Edit::Value ? row : nullptr;
}

// The sequencer buttons that each give the pattern editor one command.
struct SequencerButton {
    int tag;
    int command;
};
constexpr SequencerButton kSequencerButtons[] = {
    {tag::RunStopButton, command::kRunStop},     {tag::AutoAdvButton, command::kAutoAdvance},
    {tag::GateButton, command::kToggleGate}, {tag::DownButton, command::kToggleDown},
    {tag::UpButton, command::kToggleUp},         {tag::AccentButton, command::kToggleAccent},
    {tag::SlideButton, command::kToggleSlide},   {tag::BackButton, command::kBack},
    {tag::NextButton, command::kNext},
};

const SequencerButton* sequencerButton(int tagValue) {
    for (const SequencerButton& b : kSequencerButtons)
        if (b.tag == tagValue) return &b;
    return nullptr;
}

// An LED lit while a parameter is switched on.
struct ParameterLed {
    int tag;
    int parameter;
};
constexpr ParameterLed kParameterLeds[] = {
    {tag::MgRetrigLed, param::MgRetrigger}, {tag::MgAudioLed, param::MgAudioOutput}, {tag::MgVco1Led, param::MgVco1Dest},
    {tag::MgVco2Led, param::MgVco2Dest},    {tag::MgVcfLed, param::MgVcfDest},       {tag::MgVcaLed, param::MgVcaDest},
    {tag::MgPw1Led, param::MgPw1Dest},      {tag::Sync12Led, param::Ring1x2},        {tag::Sync21Led, param::Sync2To1},
    {tag::TriggerMulti, param::TriggerMode}, {tag::DelayLed, param::DelayAmount},
};

// The octave switch's three positions: 16', 8' and 4'.
int octaveStep(float value) { return std::clamp(static_cast<int>(value * 2.0f), 0, 2); }

bool pressed(const Control& c) { return c.value() > c.minimum(); }

}  // namespace

// While MIDI learn is on, the control the user takes hold of becomes what
// the next controller moved will drive.
void PanelController::beginEdit(Control& control) {
    const int index = gestureParameter(control.tag());
    if (index < 0) return;
    if (control_.midiLearn()) control_.setLearnParameter(index);
    control_.beginEdit(index);
}

void PanelController::endEdit(Control& control) {
    if (const int index = gestureParameter(control.tag()); index >= 0) control_.endEdit(index);
}

void PanelController::valueChanged(Control& control) {
    const int t = control.tag();
    if (const int index = boundParameter(t); index >= 0) {
        control_.changeParameter(index, control.value());
        showFloating(control.rect(), control_.midiLearn() ? learnTexts(control_, index) : knobTexts(control_, index));
        refreshStatus();
        return;
    }
    if (parameterButton(t)) {
        handleParameterButton(control);
    } else if (t == tag::PatternClearButton || sequencerButton(t) || t == tag::StepDisplay || t == tag::StepsDigits ||
               t == tag::StepsRocker || t == tag::PrescaleSwitch || t == tag::PatternDigits ||
               t == tag::PatternRocker || t == tag::TempoDigits || t == tag::TempoRocker || t == tag::SyncSwitch ||
               t == tag::ModeSwitch || t == tag::NoteSwitch || t == tag::TripletButton || t == tag::PitchKeyboard) {
        handleSequencer(control);
    } else {
        handlePanelButton(control);
    }
    refreshStatus();
    refreshSequencerPanel();
}

void PanelController::changeInOneGesture(int index, float value) {
    control_.beginEdit(index);
    control_.changeParameter(index, value);
    control_.endEdit(index);
}

void PanelController::handleParameterButton(Control& control) {
    const ParameterControl& button = *parameterButton(control.tag());
    const float now = control_.parameter(button.parameter);
    float next = now;
    switch (button.edit) {
        case Edit::Value: return;  // not a button
        case Edit::Momentary: next = pressed(control) ? 1.0f : 0.0f; break;
        case Edit::Toggle:
            if (!pressed(control)) return;
            next = now > 0.0f ? 0.0f : 1.0f;
            break;
        case Edit::CycleOctave:
            if (!pressed(control)) return;
            next = static_cast<float>((octaveStep(now) + 1) % 3) * 0.5f;
            break;
    }
    if (next == now) return;
    changeInOneGesture(button.parameter, next);
}

void PanelController::handlePanelButton(Control& control) {
    const bool on = control.value() > 0.5f;
    switch (control.tag()) {
        case tag::OptionCables: showCables(on); break;
        case tag::OptionMidiLearn: setMidiLearn(on); break;
        case tag::OptionAux: control_.setState(state::AuxInput, on ? 1 : 0); break;
        case tag::OptionFilter:
            if (!pressed(control)) break;
            setFilterMode(nextFilterMode(control_.state(state::FilterMode)));
            showFloating(control.rect(), filterTexts(control_.state(state::FilterMode)));
            break;
        case tag::OptionPanic:
            if (pressed(control)) control_.panic();
            break;
        case tag::OptionInfo: patchInfo_->show(); break;
        case tag::OptionMenu:
        case tag::PatternMenu:
        case tag::PatchButton:
        case tag::FilterDropdown:
            if (pressed(control)) showMenu(control.tag());
            break;
        case tag::NextPatchButton:
            if (pressed(control)) stepPatch(1);
            break;
        case tag::PrevPatchButton:
            if (pressed(control)) stepPatch(-1);
            break;
        case tag::PatternLock: control_.setState(state::PatternLock, on ? 1 : 0); break;
        case tag::PatternWriteProtect: control_.setState(state::PatternWriteProtect, on ? 1 : 0); break;
        case tag::DistortionSwitch: {
            // A bypass of the shaper that remembers its amount.
            const float shaper = control_.parameter(param::VcoShaper);
            const float next = on ? (shaperBeforeBypass_ > 0.0f ? shaperBeforeBypass_ : 0.5f) : 0.0f;
            if (!on && shaper > 0.0f) shaperBeforeBypass_ = shaper;
            changeInOneGesture(param::VcoShaper, next);
            refreshParameters();
            break;
        }
        default: break;
    }
}

void PanelController::handleSequencer(Control& control) {
    PatternEditing& patterns = control_.patterns();
    const int t = control.tag();
    const int shown = static_cast<int>(std::lround(control.value()));

    if (t == tag::PatternClearButton) {
        if (pressed(control)) {
            if (preferences_.clearConfirm == 1)
                dialogs_->ask("Clear Pattern", "Are you sure you want to clear the pattern?", [this](bool yes) {
                    if (yes) clearPattern();
                });
            else
                clearPattern();
            if (preferences_.functionButton1 == -2) preferences_.functionButton1 = -1;
            if (preferences_.functionButton2 == -2) preferences_.functionButton2 = -1;
        }
        return;
    }
    if (const SequencerButton* button = sequencerButton(t)) {
        if (pressed(control)) patterns.sequencerCommand(button->command);
        return;
    }
    switch (t) {
        case tag::StepDisplay: patterns.setEditPosition(shown - kStepNumberBase); break;
        // Length and step rate are how a pattern plays, not its notes: as
        // the length commands, they change even while notes are protected.
        case tag::StepsDigits: patterns.setLength(shown); break;
        case tag::PrescaleSwitch: patterns.setTimeMode(static_cast<int>(control.value() * 3.0f)); break;
        case tag::PatternDigits: control_.setState(state::CurrentPattern, std::clamp(shown, 0, kNumPatterns - 1)); break;
        case tag::TempoDigits: changeTempo(shown); break;
        case tag::StepsRocker:
        case tag::PatternRocker:
        case tag::TempoRocker:
            if (control.value() == 0.0f) {  // released
                heldRocker_ = -1;
                return;
            }
            heldRocker_ = t;
            heldDirection_ = control.value() < 0.0f ? 1 : -1;  // the upper half counts up
            stepRocker(t, heldDirection_);
            rockerRepeat_ = now_ + kRockerFirstRepeat;
            break;
        case tag::SyncSwitch: control_.setState(state::SyncMode, control.value() > 0.5f ? 1 : 0); break;
        case tag::ModeSwitch: control_.setState(state::MidiMode, control.value() > 0.5f ? 1 : 0); break;
        case tag::NoteSwitch: control_.setState(state::NoteMode, control.value() > 0.5f ? 1 : 0); break;
        case tag::TripletButton:
            if (pressed(control)) patterns.toggleTriplet();
            break;
        case tag::PitchKeyboard: playKeyboard(static_cast<PitchKeyboard&>(control).key());
            break;
        default: break;
    }
}

// A key of the panel's keyboard: the step at the edit position takes its
// note, and the note sounds (an octave up or down as the step says) so the
// user hears what is being programmed. A stopped sequencer's voices fall
// silent first, so that only the keyboard's note sounds.
void PanelController::playKeyboard(int key) {
    if (key < 0) {
        control_.stopPreview();
        lastPitchKey_ = -1;
        return;
    }
    PatternEditing& patterns = control_.patterns();
    const std::uint8_t flags = patterns.current().steps[patterns.editPosition()].flags;
    const int note = key + 36 + ((flags & step::kUp) != 0 ? 12 : 0) - ((flags & step::kDown) != 0 ? 12 : 0);
    if (note >= 1 && key != lastPitchKey_) control_.playPreview(note, (flags & step::kAccent) != 0 ? 127 : 1);
    lastPitchKey_ = key;
    patterns.sequencerCommand(command::kFirstNote + key);
}

void PanelController::clearPattern() {
    control_.patterns().sequencerCommand(command::kClearPattern);
    refreshStatus();
    refreshSequencerPanel();
}

// One step of a held rocker: pattern length, pattern number or tempo.
void PanelController::stepRocker(int tagValue, int direction) {
    PatternEditing& patterns = control_.patterns();
    switch (tagValue) {
        case tag::StepsRocker: patterns.setLength(playedLength(patterns.current().length) + direction); break;
        case tag::PatternRocker:
            control_.setState(state::CurrentPattern, std::clamp(patterns.currentIndex() + direction, 0, kNumPatterns - 1));
            break;
        case tag::TempoRocker:
            control_.beginEdit(param::Tempo);
            changeTempo(std::round(control_.tempo()) + direction);
            control_.endEdit(param::Tempo);
            break;
        default: break;
    }
    refreshSequencerPanel();
}

// The panel's tempo is the Tempo parameter's: the host hears each change as
// a move of it (within a gesture the caller brackets), which sets the tempo.
void PanelController::changeTempo(double bpm) {
    bpm = std::clamp(std::round(bpm), kLowestTempo, kHighestTempo);
    if (std::lround(control_.tempo()) != std::lround(bpm))
        control_.changeParameter(param::Tempo, tempoToParameter(bpm));
    showValue(tag::TempoDigits, static_cast<float>(bpm));
}

void PanelController::refreshParameters() {
    for (const ParameterControl& row : kParameterControls)
        if (row.edit == Edit::Value) showValue(row.tag, control_.parameter(row.parameter));
}

// Switches and LEDs that show states and the switch-like parameters.
void PanelController::refreshStatus() {
    auto lit = [](bool on) { return on ? 1.0f : 0.0f; };
    showValue(tag::SyncSwitch, lit(control_.state(state::SyncMode) != 0));
    showValue(tag::ModeSwitch, lit(control_.state(state::MidiMode) != 0));
    showValue(tag::NoteSwitch, lit(control_.state(state::NoteMode) != 0));
    showValue(tag::PatternLock, lit(control_.state(state::PatternLock) != 0));
    showValue(tag::PatternWriteProtect, lit(control_.state(state::PatternWriteProtect) != 0));
    showValue(tag::OptionAux, lit(control_.state(state::AuxInput) != 0));
    showValue(tag::OptionMidiLearn, lit(control_.midiLearn()));
    showValue(tag::OptionCables, lit(preferences_.displayCables != 0));
    showValue(tag::DistortionSwitch, lit(control_.parameter(param::VcoShaper) > 0.0f));
    for (const ParameterLed& led : kParameterLeds) showValue(led.tag, lit(control_.parameter(led.parameter) > 0.0f));
    showValue(tag::TriggerSingle, lit(!(control_.parameter(param::TriggerMode) > 0.0f)));
    const int range1 = octaveStep(control_.parameter(param::Vco1Range));
    const int range2 = octaveStep(control_.parameter(param::Vco2Range));
    const int ranges[2][3] = {{tag::Vco1Led16, tag::Vco1Led8, tag::Vco1Led4}, {tag::Vco2Led16, tag::Vco2Led8, tag::Vco2Led4}};
    for (int k = 0; k < 3; ++k) {
        showValue(ranges[0][k], lit(range1 == k));
        showValue(ranges[1][k], lit(range2 == k));
    }
    refreshMenus();
}

// The step at the edit position of the current pattern, read back from the
// plug-in each time: the panel keeps no pattern data of its own.
void PanelController::refreshSequencerPanel() {
    const PatternEditing& patterns = control_.patterns();
    const Pattern pattern = patterns.current();
    const int position = patterns.editPosition();
    const Step& step = pattern.steps[position];
    for (int n = 1; n <= 36; ++n) showValue(tag::noteLed(n), n - 1 == step.note ? 1.0f : 0.0f);
    auto bit = [&](std::uint8_t mask) { return (step.flags & mask) != 0 ? 1.0f : 0.0f; };
    showValue(tag::TimeModeLed, bit(step::kGate));
    showValue(tag::UpLed, bit(step::kUp));
    showValue(tag::DownLed, bit(step::kDown));
    showValue(tag::SlideLed, bit(step::kSlide));
    showValue(tag::AccentLed, bit(step::kAccent));
    showValue(tag::AutoAdvLed, patterns.autoAdvance() ? 1.0f : 0.0f);
    showValue(tag::StepDisplay, static_cast<float>(position + kStepNumberBase));
    showValue(tag::PatternDigits, static_cast<float>(patterns.currentIndex()));
    showValue(tag::StepsDigits, static_cast<float>(pattern.length));
    showValue(tag::PrescaleSwitch, static_cast<float>(pattern.timeMode) / 3.0f);
    if (auto* triplet = dynamic_cast<IlluButton*>(panel_.control(tag::TripletButton)))
        triplet->setLit((pattern.flags & kTripletFlag) != 0);
}

}  // namespace tarvik::gui

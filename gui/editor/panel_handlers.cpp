// What each control of the panel does when the user moves it, and what the
// panel shows of the plug-in in return.
#include <algorithm>
#include <array>
#include <cmath>

#include "gui/editor/illu_button.h"
#include "gui/editor/pitch_keyboard.h"
#include "gui/editor/tarvik_gui.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "patch/pattern_ops.h"

namespace tarvik::gui {

namespace {

constexpr int kStepNumberBase = 1;  // the step display counts from 1
constexpr double kLowestTempo = 1.0;
constexpr double kHighestTempo = 500.0;
constexpr auto kRockerFirstRepeat = std::chrono::milliseconds(300);

// The parameters that have a control of their own on the panel; the control's
// tag is the parameter's control id.
constexpr std::array<int, 50> kBoundParameters = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 12, 13, 14, 15, 17, 18, 19,
                                                  20, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 40, 41, 44, 45, 46, 47,
                                                  48, 49, 50, 51, 52, 53, 54, 55, 60, 61, 62, 63, 64, 65, 66, 67};

int boundParameter(int tagValue) {
    for (int index : kBoundParameters)
        if (kParameterTable[static_cast<std::size_t>(index)].controlId == tagValue) return index;
    return -1;
}

// Buttons that switch a parameter the panel has no knob for; each lights
// the LEDs that show the parameter.
enum class Press { Toggle, CycleOctave, Momentary };
struct ParameterButton {
    int tag;
    int parameter;
    Press press;
};
constexpr ParameterButton kParameterButtons[] = {
    {tag::Vco1Range, param::Vco1Range, Press::CycleOctave}, {tag::Vco2Range, param::Vco2Range, Press::CycleOctave},
    {tag::TriggerButton, param::TriggerMode, Press::Toggle}, {tag::MgRetrig, param::MgRetrigger, Press::Toggle},
    {tag::MgAudio, param::MgAudioOutput, Press::Toggle},     {tag::MgVco1Dest, param::MgVco1Dest, Press::Toggle},
    {tag::MgVco2Dest, param::MgVco2Dest, Press::Toggle},     {tag::MgVcfDest, param::MgVcfDest, Press::Toggle},
    {tag::MgVcaDest, param::MgVcaDest, Press::Toggle},       {tag::MgPw1Dest, param::MgPw1Dest, Press::Toggle},
    {tag::Sync12, param::Ring1x2, Press::Toggle},            {tag::Sync21, param::Sync2To1, Press::Toggle},
    {tag::AccManual, param::AccentManual, Press::Momentary},
};

const ParameterButton* parameterButton(int tagValue) {
    for (const ParameterButton& b : kParameterButtons)
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

void TarvikGui::beginEdit(Control& control) {
    if (const int index = boundParameter(control.tag()); index >= 0) plugin_.beginEdit(index);
}

void TarvikGui::endEdit(Control& control) {
    if (const int index = boundParameter(control.tag()); index >= 0) plugin_.endEdit(index);
}

void TarvikGui::valueChanged(Control& control) {
    const int t = control.tag();
    if (const int index = boundParameter(t); index >= 0) {
        plugin_.setParameterAutomated(index, control.value());
        showFloating(control.rect(), plugin_.midiLearn() ? learnTexts(plugin_, index) : knobTexts(plugin_, index));
        refreshStatus();
        return;
    }
    if (parameterButton(t)) {
        handleParameterButton(control);
    } else if ((t >= tag::PatternClearButton && t <= tag::NextButton) || t == tag::StepDisplay || t == tag::StepsDigits ||
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

// One gesture for the host: begin, the new value, end.
void TarvikGui::handleParameterButton(Control& control) {
    const ParameterButton& button = *parameterButton(control.tag());
    const float now = plugin_.getParameter(button.parameter);
    float next = now;
    switch (button.press) {
        case Press::Momentary: next = pressed(control) ? 1.0f : 0.0f; break;
        case Press::Toggle:
            if (!pressed(control)) return;
            next = now > 0.0f ? 0.0f : 1.0f;
            break;
        case Press::CycleOctave:
            if (!pressed(control)) return;
            next = static_cast<float>((octaveStep(now) + 1) % 3) * 0.5f;
            break;
    }
    if (next == now) return;
    plugin_.beginEdit(button.parameter);
    plugin_.setParameterAutomated(button.parameter, next);
    plugin_.endEdit(button.parameter);
}

void TarvikGui::handlePanelButton(Control& control) {
    TarvikPatch& patch = plugin_.engine().patch();
    const bool on = control.value() > 0.5f;
    switch (control.tag()) {
        case tag::OptionCables: showCables(on); break;
        case tag::OptionMidiLearn: setMidiLearn(on); break;
        case tag::OptionAux: patch.setState(state::AuxInput, on ? 1 : 0); break;
        case tag::OptionFilter:
            if (!pressed(control)) break;
            setFilterMode(nextFilterMode(patch.state(state::FilterMode)));
            showFloating(control.rect(), filterTexts(patch.state(state::FilterMode)));
            break;
        case tag::OptionPanic:
            if (pressed(control)) plugin_.engine().request(Engine::kReset);
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
        case tag::PatternLock: patch.setState(state::PatternLock, on ? 1 : 0); break;
        case tag::PatternWriteProtect: patch.setState(state::PatternWriteProtect, on ? 1 : 0); break;
        case tag::DistortionSwitch: {
            // A bypass of the shaper that remembers its amount.
            const float shaper = plugin_.getParameter(param::VcoShaper);
            const float next = on ? (shaperBeforeBypass_ > 0.0f ? shaperBeforeBypass_ : 0.5f) : 0.0f;
            if (!on && shaper > 0.0f) shaperBeforeBypass_ = shaper;
            plugin_.beginEdit(param::VcoShaper);
            plugin_.setParameterAutomated(param::VcoShaper, next);
            plugin_.endEdit(param::VcoShaper);
            refreshParameters();
            break;
        }
        default: break;
    }
}

void TarvikGui::handleSequencer(Control& control) {
    Engine& engine = plugin_.engine();
    TarvikPatch& patch = engine.patch();
    Pattern& pattern = currentPattern(patch);
    const bool writable = patch.state(state::PatternWriteProtect) == 0;
    const int t = control.tag();
    const int shown = static_cast<int>(std::lround(control.value()));

    if (t >= tag::PatternClearButton && t <= tag::NextButton) {
        if (!pressed(control)) return;
        if (t == tag::PatternClearButton) {
            if (preferences_.clearConfirm == 1)
                dialogs_->ask("Clear Pattern", "Are you sure you want to clear the pattern?", [this](bool yes) {
                    if (yes) clearPattern();
                });
            else
                clearPattern();
            if (preferences_.functionButton1 == -2) preferences_.functionButton1 = -1;
            if (preferences_.functionButton2 == -2) preferences_.functionButton2 = -1;
            return;
        }
        plugin_.sequencerCommand(t - 300);
        if (t == tag::RunStopButton) blinkStamp_ = Clock::now() - std::chrono::milliseconds(200);
        return;
    }
    switch (t) {
        case tag::StepDisplay:
            plugin_.patternEditor().setEditPosition(
                pattern, std::clamp(shown - kStepNumberBase, 0, playedLength(pattern.length) - 1));
            break;
        // Length and step rate are how a pattern plays, not its notes: as
        // the length commands, they change even while notes are protected.
        case tag::StepsDigits: pattern.length = static_cast<std::uint8_t>(std::clamp(shown, 1, kMaxSteps)); break;
        case tag::PrescaleSwitch:
            pattern.timeMode = static_cast<std::uint8_t>(std::clamp(static_cast<int>(control.value() * 3.0f), 0, 3));
            break;
        case tag::PatternDigits: patch.setState(state::CurrentPattern, std::clamp(shown, 0, kNumPatterns - 1)); break;
        case tag::TempoDigits: plugin_.setTempo(std::clamp(static_cast<double>(shown), kLowestTempo, kHighestTempo)); break;
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
            rockerStamp_ = Clock::now() + kRockerFirstRepeat;
            break;
        case tag::SyncSwitch: patch.setState(state::SyncMode, control.value() > 0.5f ? 1 : 0); break;
        case tag::ModeSwitch: {
            const int mode = control.value() > 0.5f ? 1 : 0;
            if (mode == 1 && patch.state(state::MidiMode) != 1) engine.request(Engine::kReleaseVoices);
            patch.setState(state::MidiMode, mode);
            break;
        }
        case tag::NoteSwitch: {
            const int mode = control.value() > 0.5f ? 1 : 0;
            if (mode == 0 && patch.state(state::NoteMode) == 1) engine.request(Engine::kForgetHeldKeys);
            patch.setState(state::NoteMode, mode);
            break;
        }
        case tag::TripletButton:
            if (pressed(control) && writable) pattern.flags ^= kTripletFlag;
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
void TarvikGui::playKeyboard(int key) {
    Engine& engine = plugin_.engine();
    TarvikPatch& patch = engine.patch();
    const bool stopped = patch.state(state::RunStop) == 0;
    if (key < 0) {
        if (stopped) {
            engine.request(Engine::kReleaseVoices);
            engine.requestPreview(-1, 0);
        }
        lastPitchKey_ = -1;
        return;
    }
    const Pattern& pattern = currentPattern(patch);
    const std::uint8_t flags = pattern.steps[plugin_.patternEditor().editPosition(pattern)].flags;
    const int note = key + 36 + ((flags & step::kUp) != 0 ? 12 : 0) - ((flags & step::kDown) != 0 ? 12 : 0);
    if (note >= 1 && key != lastPitchKey_) {
        if (stopped) engine.request(Engine::kReleaseVoices);
        engine.requestPreview(note, (flags & step::kAccent) != 0 ? 127 : 1);
    }
    lastPitchKey_ = key;
    plugin_.sequencerCommand(command::kFirstNote + key);
}

void TarvikGui::clearPattern() {
    plugin_.sequencerCommand(command::kClearPattern);
    refreshStatus();
    refreshSequencerPanel();
}

// One step of a held rocker: pattern length, pattern number or tempo.
void TarvikGui::stepRocker(int tagValue, int direction) {
    TarvikPatch& patch = plugin_.engine().patch();
    Pattern& pattern = currentPattern(patch);
    switch (tagValue) {
        case tag::StepsRocker:
            pattern.length = static_cast<std::uint8_t>(std::clamp(playedLength(pattern.length) + direction, 1, kMaxSteps));
            break;
        case tag::PatternRocker:
            patch.setState(state::CurrentPattern, std::clamp(currentPatternIndex(patch) + direction, 0, kNumPatterns - 1));
            break;
        case tag::TempoRocker: {
            const double bpm = std::clamp(std::round(plugin_.engine().tempo()) + direction, kLowestTempo, kHighestTempo);
            plugin_.setTempo(bpm);
            // The host hears of the new tempo as a move of the Tempo parameter.
            const float value = tempoToParameter(bpm);
            if (value >= 0.0f && value <= 1.0f) {
                plugin_.beginEdit(param::Tempo);
                plugin_.setParameterAutomated(param::Tempo, value);
                plugin_.endEdit(param::Tempo);
            }
            showValue(tag::TempoDigits, static_cast<float>(bpm));
            break;
        }
        default: break;
    }
    refreshSequencerPanel();
}

void TarvikGui::refreshParameters() {
    for (int index : kBoundParameters)
        showValue(kParameterTable[static_cast<std::size_t>(index)].controlId, plugin_.getParameter(index));
}

// Switches and LEDs that show states and the switch-like parameters.
void TarvikGui::refreshStatus() {
    const TarvikPatch& patch = plugin_.engine().patch();
    auto lit = [](bool on) { return on ? 1.0f : 0.0f; };
    showValue(tag::SyncSwitch, lit(patch.state(state::SyncMode) != 0));
    showValue(tag::ModeSwitch, lit(patch.state(state::MidiMode) != 0));
    showValue(tag::NoteSwitch, lit(patch.state(state::NoteMode) != 0));
    showValue(tag::PatternLock, lit(patch.state(state::PatternLock) != 0));
    showValue(tag::PatternWriteProtect, lit(patch.state(state::PatternWriteProtect) != 0));
    showValue(tag::OptionAux, lit(patch.state(state::AuxInput) != 0));
    showValue(tag::OptionMidiLearn, lit(plugin_.midiLearn()));
    showValue(tag::OptionCables, lit(preferences_.displayCables != 0));
    showValue(tag::DistortionSwitch, lit(plugin_.getParameter(param::VcoShaper) > 0.0f));
    for (const ParameterLed& led : kParameterLeds) showValue(led.tag, lit(plugin_.getParameter(led.parameter) > 0.0f));
    showValue(tag::TriggerSingle, lit(!(plugin_.getParameter(param::TriggerMode) > 0.0f)));
    const int range1 = octaveStep(plugin_.getParameter(param::Vco1Range));
    const int range2 = octaveStep(plugin_.getParameter(param::Vco2Range));
    const int ranges[2][3] = {{tag::Vco1Led16, tag::Vco1Led8, tag::Vco1Led4}, {tag::Vco2Led16, tag::Vco2Led8, tag::Vco2Led4}};
    for (int k = 0; k < 3; ++k) {
        showValue(ranges[0][k], lit(range1 == k));
        showValue(ranges[1][k], lit(range2 == k));
    }
    refreshMenus();
}

// The step at the edit position of the current pattern, read back from the
// plug-in each time: the panel keeps no pattern data of its own.
void TarvikGui::refreshSequencerPanel() {
    TarvikPatch& patch = plugin_.engine().patch();
    const Pattern& pattern = currentPattern(patch);
    const int position = plugin_.patternEditor().editPosition(pattern);
    const Step& step = pattern.steps[position];
    for (int n = 1; n <= 36; ++n) showValue(tag::noteLed(n), n - 1 == step.note ? 1.0f : 0.0f);
    auto bit = [&](std::uint8_t mask) { return (step.flags & mask) != 0 ? 1.0f : 0.0f; };
    showValue(tag::TimeModeLed, bit(step::kGate));
    showValue(tag::UpLed, bit(step::kUp));
    showValue(tag::DownLed, bit(step::kDown));
    showValue(tag::SlideLed, bit(step::kSlide));
    showValue(tag::AccentLed, bit(step::kAccent));
    showValue(tag::AutoAdvLed, plugin_.patternEditor().autoAdvance() ? 1.0f : 0.0f);
    showValue(tag::StepDisplay, static_cast<float>(position + kStepNumberBase));
    showValue(tag::PatternDigits, static_cast<float>(currentPatternIndex(patch)));
    showValue(tag::StepsDigits, static_cast<float>(pattern.length));
    showValue(tag::PrescaleSwitch, static_cast<float>(pattern.timeMode) / 3.0f);
    if (auto* triplet = dynamic_cast<IlluButton*>(panel_->control(tag::TripletButton)))
        triplet->setLit((pattern.flags & kTripletFlag) != 0);
}

}  // namespace tarvik::gui

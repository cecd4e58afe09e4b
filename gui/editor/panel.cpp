#include "gui/editor/panel.h"

#include <cmath>
#include <initializer_list>
#include <memory>

#include "gui/editor/illu_button.h"
#include "gui/editor/panel_knob.h"
#include "gui/editor/patch_field.h"
#include "gui/editor/pitch_keyboard.h"
#include "gui/editor/playing_step_display.h"
#include "gui/parameter_controls.h"
#include "gui/skin_tags.h"
#include "gui/toolkit/controls/buttons.h"
#include "gui/toolkit/controls/digit_display.h"
#include "gui/toolkit/controls/movie_bitmap.h"
#include "gui/toolkit/controls/switches.h"
#include "patch/parameters.h"

namespace tarvik::gui {

namespace {

enum class Kind {
    Knob,
    KickButton,
    Led,
    PrescaleSwitch,
    Digits,
    PlayingStep,
    OnOffButton,
    PatchButton,
    Rocker,
    VerticalSwitch,
    IlluButton,
    PitchKeyboard,
    MenuArea,  // an invisible button that opens a menu; needs no picture
};

struct Group {
    Kind kind;
    bool required;
    std::vector<int> tags;
};

std::vector<int> run(int first, int last) {
    std::vector<int> tags;
    for (int t = first; t <= last; ++t) tags.push_back(t);
    return tags;
}

// The panel's elements in the order their controls are made; later ones lie
// on top of earlier ones.
std::vector<Group> panelGroups() {
    using namespace tag;
    return {
        {Kind::Knob, true,
         {TuningKnob, CutoffKnob, ResonanceKnob, EnvModKnob, VcfTrackingKnob, AccentKnob, DistortKnob, VolumeKnob,
          BoostKnob}},
        {Kind::KickButton, true,
         {PatternClearButton, RunStopButton, AutoAdvButton, GateButton, DownButton, UpButton, AccentButton, SlideButton,
          BackButton, NextButton}},
        {Kind::Led, true, run(noteLed(1), noteLed(35))},
        {Kind::Led, false, {noteLed(36), AutoAdvLed, RunStopLed, DownLed, UpLed, AccentLed, SlideLed, TimeModeLed}},
        {Kind::PrescaleSwitch, false, {PrescaleSwitch}},
        {Kind::Digits, false, {StepDisplay, TempoDigits, PatternDigits, StepsDigits}},
        {Kind::PlayingStep, false, {tag::PlayingStepDisplay}},
        {Kind::OnOffButton, false,
         {DistortionSwitch, OptionCables, OptionMidiLearn, OptionAux, OptionInfo, PatternWriteProtect, PatternLock,
          Vco2ModSwitch, MgBpmSync, DelayBpmSync}},
        {Kind::KickButton, false, {OptionFilter, OptionPanic}},
        {Kind::PatchButton, false, {PatchButton}},
        {Kind::KickButton, false, {NextPatchButton, PrevPatchButton, PatternMenu, OptionMenu}},
        {Kind::Rocker, false, {TempoRocker, PatternRocker, StepsRocker}},
        {Kind::Led, false, {MidiLed}},
        {Kind::VerticalSwitch, false, {SyncSwitch, ModeSwitch, NoteSwitch}},
        {Kind::IlluButton, false, {TripletButton}},
        {Kind::Knob, false,
         {Vco1Wave, Vco1Pw, Vco1Fm, Vco1Fine, Vco2Wave, Vco2Pw, Vco2Fm, Vco2Fine, GlideKnob, GateKnob, Vco1Level,
          Vco2Level, NoiseLevel, AuxLevel, MgWave, MgFreq, MgAmount, NgColor, AccDecay, AccVolume, VcaAttack,
          VcaDecay, VcaSustain, VcaRelease, VcfAttack, VcfDecay, VcfSustain, VcfRelease, DelayAmount, DelayFeedback,
          DelayLeft, DelayRight}},
        {Kind::KickButton, false,
         {Vco1Range, Vco2Range, TriggerButton, MgRetrig, MgAudio, MgVco1Dest, MgVco2Dest, MgVcfDest, MgVcaDest,
          MgPw1Dest, Sync12, Sync21, AccManual}},
        {Kind::Led, false,
         {Vco1Led16, Vco1Led8, Vco1Led4, Vco2Led16, Vco2Led8, Vco2Led4, GateActiveLed, TriggerSingle, TriggerMulti,
          MgRetrigLed, MgAudioLed, MgVco1Led, MgVco2Led, MgVcfLed, MgVcaLed, MgPw1Led, Sync12Led, Sync21Led,
          AccExtLed, VcaTriggerLed, VcfTriggerLed, DelayLed}},
        {Kind::PitchKeyboard, false, {tag::PitchKeyboard}},
        {Kind::MenuArea, false, {FilterDropdown}},
    };
}

Rect toRect(const SkinRect& r) {
    return {static_cast<int>(std::lround(r.left)), static_cast<int>(std::lround(r.top)),
            static_cast<int>(std::lround(r.right)), static_cast<int>(std::lround(r.bottom))};
}

}  // namespace

const Bitmap* Panel::bitmap(int tagValue) const {
    const int index = skin_.bitmapIndex(tagValue);
    if (index < 0 || index >= static_cast<int>(bitmaps_.size())) return nullptr;
    const Bitmap& b = bitmaps_[static_cast<std::size_t>(index)];
    return b.empty() ? nullptr : &b;
}

Rect Panel::rect(int tagValue) const { return toRect(skin_.getRect(tagValue)); }

bool Panel::build(Frame& frame, ControlListener& listener, KnobMode knobMode, PatchField& field,
                  const Bitmap* cablePlug) {
    auto keep = [&](int tagValue, std::unique_ptr<Control> made) {
        Control& c = frame.add(std::move(made));
        controls_[static_cast<std::size_t>(tagValue)] = &c;
        return &c;
    };
    auto makeKnob = [&](int tagValue, const Rect& r, const Bitmap* b) {
        auto knob = std::make_unique<PanelKnob>(r, &listener, tagValue, b);
        knob->setMode(knobMode);
        const int parameter = parameterOfControl(tagValue);
        knob->setDefaultValue(parameter >= 0 ? kParameterTable[static_cast<std::size_t>(parameter)].defaultValue : 0.5f);
        PanelKnob& kept = *knob;
        keep(tagValue, std::move(knob));
        knobs_.push_back(&kept);
    };

    for (const Group& group : panelGroups()) {
        for (int tagValue : group.tags) {
            const Bitmap* b = bitmap(tagValue);
            const Rect r = rect(tagValue);
            if (group.kind == Kind::MenuArea) {
                if (!r.empty()) keep(tagValue, std::make_unique<KickButton>(r, &listener, tagValue, nullptr));
                continue;
            }
            if (!b) {
                if (group.required) return false;
                continue;
            }
            switch (group.kind) {
                case Kind::Knob: makeKnob(tagValue, r, b); break;
                case Kind::KickButton: keep(tagValue, std::make_unique<KickButton>(r, &listener, tagValue, b)); break;
                case Kind::Led: keep(tagValue, std::make_unique<MovieBitmap>(r, &listener, tagValue, b)); break;
                case Kind::OnOffButton: keep(tagValue, std::make_unique<OnOffButton>(r, &listener, tagValue, b)); break;
                case Kind::PitchKeyboard:
                    keep(tagValue, std::make_unique<gui::PitchKeyboard>(r, &listener, tagValue, b));
                    break;
                case Kind::IlluButton: keep(tagValue, std::make_unique<IlluButton>(r, &listener, tagValue, b)); break;
                case Kind::Rocker: keep(tagValue, std::make_unique<RockerSwitch>(r, &listener, tagValue, b)); break;
                case Kind::PrescaleSwitch:
                    keep(tagValue, std::make_unique<PositionSwitch>(r, &listener, tagValue, b,
                                                                    PositionSwitch::Direction::Horizontal));
                    break;
                case Kind::VerticalSwitch:
                    keep(tagValue, std::make_unique<PositionSwitch>(r, &listener, tagValue, b,
                                                                    PositionSwitch::Direction::Vertical));
                    break;
                case Kind::Digits: {
                    Control* digits = keep(tagValue, std::make_unique<DigitDisplay>(r, &listener, tagValue, b));
                    digits->setRange(0.0f, tagValue == tag::StepDisplay || tagValue == tag::StepsDigits ? 99.0f : 999.0f);
                    break;
                }
                case Kind::PlayingStep:
                    keep(tagValue, std::make_unique<gui::PlayingStepDisplay>(r, &listener, tagValue, b));
                    break;
                case Kind::MenuArea: break;
                case Kind::PatchButton: {
                    // The name sits on the button's picture; the button takes the clicks.
                    keep(tagValue, std::make_unique<KickButton>(r, &listener, tagValue, b));
                    patchName_ = &frame.add(std::make_unique<TextLabel>(r.inset(4)));
                    patchName_->setStyle(Font{12.0, true}, Color{230, 236, 240}, TextAlign::Centre);
                    break;
                }
            }
        }
    }

    field.addSockets(frame, *this);
    // The patch field's utility knobs stop at the first the skin leaves out.
    for (int n = 1; n <= 6; ++n) {
        const int tagValue = tag::vcKnob(n);
        const Bitmap* b = bitmap(tagValue);
        if (!b) break;
        makeKnob(tagValue, rect(tagValue), b);
    }
    field.addCables(frame, *this, skin_, cablePlug);
    return true;
}

}  // namespace tarvik::gui

#include "gui/editor/random_handler.h"

#include <algorithm>
#include <cmath>

namespace tarvik::gui {

namespace {

using T = RowType;
using R = RandomHandler;

constexpr std::array kRows = {
    PanelRow{T::Title, 0, "Advanced Random", 20, 8, 400, 32},
    PanelRow{T::Rule, 0, "", 20, 40, 602, 2},
    PanelRow{T::Title, 0, "Randomize", 50, 38, 200, 32},
    PanelRow{T::Title, 0, "Density", 300, 38, 200, 32},
    PanelRow{T::Title, 0, "Scale", 50, 190, 200, 32},
    PanelRow{T::CheckBox, R::kPitch, "Pitch", 50, 64, 200, 16},
    PanelRow{T::CheckBox, R::kGate, "Gate", 50, 96, 200, 16},
    PanelRow{T::CheckBox, R::kSlide, "Slide", 50, 128, 200, 16},
    PanelRow{T::CheckBox, R::kAccent, "Accent", 50, 160, 200, 16},
    PanelRow{T::SpinBox, 5, "", 300, 64, 67, 18},
    PanelRow{T::SpinBox, 6, "", 300, 96, 67, 18},
    PanelRow{T::SpinBox, 7, "", 300, 128, 67, 18},
    PanelRow{T::SpinBox, 8, "", 300, 160, 67, 18},
    PanelRow{T::CheckBox, 9, "C", 54, 244, 40, 16},
    PanelRow{T::CheckBox, 11, "D", 99, 244, 40, 16},
    PanelRow{T::CheckBox, 13, "E", 144, 244, 40, 16},
    PanelRow{T::CheckBox, 14, "F", 189, 244, 40, 16},
    PanelRow{T::CheckBox, 16, "G", 234, 244, 40, 16},
    PanelRow{T::CheckBox, 18, "A", 279, 244, 40, 16},
    PanelRow{T::CheckBox, 20, "B", 324, 244, 40, 16},
    PanelRow{T::CheckBox, 10, "C#", 76, 224, 40, 16},
    PanelRow{T::CheckBox, 12, "D#", 121, 224, 40, 16},
    PanelRow{T::CheckBox, 15, "F#", 211, 224, 40, 16},
    PanelRow{T::CheckBox, 17, "G#", 256, 224, 40, 16},
    PanelRow{T::CheckBox, 19, "A#", 301, 224, 40, 16},
    PanelRow{T::Rule, 0, "", 20, 280, 602, 2},
    PanelRow{T::PushButton, R::kReset, "Reset", 35, 295, 100, 20},
    PanelRow{T::PushButton, R::kRandomize, "Randomize", 280, 295, 100, 20},
    PanelRow{T::PushButton, R::kDone, "Done", 394, 295, 100, 20},
    PanelRow{T::CloseButton, R::kClose, "", 500, 0, 20, 20},
};

// The record's fields by id: the randomise flags of ids 1..4 and the
// densities of ids 5..8, in the same order.
std::int32_t* randomizeFlag(AdvancedRandomSettings& s, int id) {
    std::int32_t* const flags[] = {&s.randomizePitches, &s.randomizeGates, &s.randomizeSlides, &s.randomizeAccents};
    return flags[id - R::kPitch];
}

std::int32_t* density(AdvancedRandomSettings& s, int id) {
    std::int32_t* const densities[] = {&s.pitchPercent, &s.gatePercent, &s.slidePercent, &s.accentPercent};
    return densities[id - R::kPitchDensity];
}

bool on(const Control& control) { return control.value() > 0.5f; }

}  // namespace

std::span<const PanelRow> RandomHandler::rows() { return kRows; }

RandomHandler::RandomHandler(Frame& frame, const PanelPictures& pictures, PatternEditing& patterns,
                             AdvancedRandomSettings& settings, std::function<void()> patternChanged)
    : patterns_(patterns),
      settings_(settings),
      patternChanged_(std::move(patternChanged)),
      slot_(frame,
            std::make_unique<DialogPanel>(frame.rect(), kWidth, kHeight, kBackground, rows(), pictures, listener())) {}

void RandomHandler::show() {
    saved_.index = patterns_.currentIndex();
    saved_.pattern = patterns_.pattern(saved_.index);
    showSettings();
    slot_.show();
}

void RandomHandler::close() { slot_.hide(); }

void RandomHandler::showSettings() {
    const DialogPanel& p = panel();
    for (int id = kPitch; id <= kAccent; ++id) p.checkBox(id)->setChecked(*randomizeFlag(settings_, id) != 0);
    for (int id = kPitchDensity; id <= kAccentDensity; ++id) {
        SpinBox& spin = *p.spinBox(id);
        spin.showPercentage();
        spin.setValue(static_cast<float>(*density(settings_, id)) / 100.0f);
    }
    for (int id = kFirstNote; id <= kLastNote; ++id)
        p.checkBox(id)->setChecked(settings_.pitchClassEnabled[id - kFirstNote] != 0);
}

void RandomHandler::randomize() {
    patterns_.apply([this](Pattern& pattern) {
        settings_.stepCount = pattern.length;
        advancedRandomize(pattern, settings_);
    });
    tellPatternChanged();
}

// Into the pattern that was saved, even when another one has become the
// current pattern since: Reset never writes one pattern's steps into another.
// Its flags, length and steps come back; its time mode stays as it is now.
void RandomHandler::restore() {
    Pattern restored = patterns_.pattern(saved_.index);
    restored.flags = saved_.pattern.flags;
    restored.length = saved_.pattern.length;
    std::copy(std::begin(saved_.pattern.steps), std::end(saved_.pattern.steps), restored.steps);
    patterns_.replace(saved_.index, restored);
    tellPatternChanged();
}

void RandomHandler::tellPatternChanged() {
    if (patternChanged_) patternChanged_();
}

void RandomHandler::valueChanged(Control& control) {
    const int id = control.tag();
    if (id >= kPitch && id <= kAccent) {
        *randomizeFlag(settings_, id) = on(control) ? 1 : 0;
    } else if (id >= kPitchDensity && id <= kAccentDensity) {
        *density(settings_, id) = static_cast<std::int32_t>(std::lround(control.value() * 100.0f));
    } else if (id >= kFirstNote && id <= kLastNote) {
        settings_.pitchClassEnabled[id - kFirstNote] = on(control) ? 1 : 0;
    } else if (id == kRandomize) {
        randomize();
    } else if (id == kReset) {
        restore();
    } else if (id == kClose || id == kDone) {
        close();
    }
}

}  // namespace tarvik::gui

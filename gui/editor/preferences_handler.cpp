#include "gui/editor/preferences_handler.h"

#include <array>
#include <atomic>
#include <cmath>

#include "patch/parameters.h"
#include "instrument/data_folder.h"

namespace tarvik::gui {

namespace {

using T = RowType;
using P = PreferencesHandler;

constexpr std::array kRows = {
    PanelRow{T::Title, 0, "Preferences", 20, 8, 400, 32},
    PanelRow{T::CheckBox, P::kOscModel, "Aliasing free Oscillators", 50, 64, 200, 16},
    PanelRow{T::CheckBox, P::kFilterDiode18, "18dB Diode-Ladder", 50, 96, 200, 16},
    PanelRow{T::CheckBox, P::kFilter202, "24dB MC-202", 50, 112, 200, 16},
    PanelRow{T::CheckBox, P::kFilter202x2, "24dB MC-202 2x", 50, 128, 200, 16},
    PanelRow{T::CheckBox, P::kSyncMode, "Sync to Host", 50, 160, 200, 16},
    PanelRow{T::CheckBox, P::kClearConfirm, "Confirm pattern clear", 50, 176, 200, 16},
    PanelRow{T::RightLabel, 0, "Max Polyphony", 300, 64, 140, 16},
    PanelRow{T::SpinBox, P::kPolyphony, "", 450, 64, 67, 18},
    PanelRow{T::RightLabel, 0, "Pitch Bend Range", 300, 80, 140, 16},
    PanelRow{T::SpinBox, P::kBendRange, "", 450, 80, 67, 18},
    PanelRow{T::PushButton, P::kReset, "Reset", 360, 120, 160, 20},
    PanelRow{T::PushButton, P::kSaveDefaults, "Save Defaults", 360, 150, 160, 20},
    PanelRow{T::PushButton, P::kDone, "Done", 360, 180, 160, 20},
    PanelRow{T::CloseButton, P::kClose, "", 560, -5, 20, 20},
};

// The filter each of the three filter boxes chooses.
struct FilterBox {
    int id;
    int mode;
};
constexpr std::array kFilterBoxes = {FilterBox{P::kFilterDiode18, 2}, FilterBox{P::kFilter202, 3},
                                     FilterBox{P::kFilter202x2, 5}};

// Spin values 0..1 span 1..32 voices and 1..48 semitones.
constexpr int kPolyphonySteps = 31;
constexpr int kBendSteps = 47;

int fromSpin(float value, int steps) { return static_cast<int>(std::lround(value * static_cast<float>(steps))) + 1; }
float toSpin(int number, int steps) { return static_cast<float>(number - 1) / static_cast<float>(steps); }

bool on(const Control& control) { return control.value() > 0.5f; }

}  // namespace

std::span<const PanelRow> PreferencesHandler::rows() { return kRows; }

PreferencesHandler::PreferencesHandler(Frame& frame, const PanelPictures& pictures, ControlFace& control,
                                       GuiPreferences& preferences, Events events)
    : control_(control),
      preferences_(preferences),
      events_(std::move(events)),
      slot_(frame,
            std::make_unique<DialogPanel>(frame.rect(), kWidth, kHeight, kBackground, rows(), pictures, listener())) {
    panel().spinBox(kPolyphony)->setUnits(kPolyphonySteps);
    panel().spinBox(kBendRange)->setUnits(kBendSteps);
}

void PreferencesHandler::show() {
    refresh();
    slot_.show();
}

void PreferencesHandler::close() { slot_.hide(); }

void PreferencesHandler::refresh() {
    const DialogPanel& p = panel();
    const Configuration& config = control_.configuration();
    p.checkBox(kOscModel)->setChecked(config.oscModel != 0);
    const int filterMode = control_.state(state::FilterMode);
    for (const FilterBox& box : kFilterBoxes) p.checkBox(box.id)->setChecked(filterMode == box.mode);
    p.checkBox(kSyncMode)->setChecked(control_.state(state::SyncMode) != 0);
    p.checkBox(kClearConfirm)->setChecked(preferences_.clearConfirm != 0);

    SpinBox& polyphony = *p.spinBox(kPolyphony);
    polyphony.setValue(toSpin(config.maxPolyphony, kPolyphonySteps));
    polyphony.setText(SpinBox::formatted("%d", config.maxPolyphony));
    SpinBox& bend = *p.spinBox(kBendRange);
    const int bendRange = control_.state(state::BendRange);
    bend.setValue(toSpin(bendRange, kBendSteps));
    bend.setText(SpinBox::formatted("+/- %d st", bendRange));
}

void PreferencesHandler::reread() {
    control_.readConfigurationFile();
    GuiPreferences fresh;
    if (readGuiPreferences(fresh, dataPath(control_.dataFolder(), "Gui.ini"))) preferences_ = fresh;
    if (events_.guiReread) events_.guiReread();
}

void PreferencesHandler::valueChanged(Control& control) {
    switch (control.tag()) {
        case kOscModel: control_.setOscModel(on(control) ? 1 : 0); break;
        case kFilterDiode18:
        case kFilter202:
        case kFilter202x2:
            for (const FilterBox& box : kFilterBoxes)
                if (box.id == control.tag()) control_.setState(state::FilterMode, box.mode);
            break;
        case kSyncMode: control_.setState(state::SyncMode, on(control) ? 1 : 0); break;
        case kClearConfirm: preferences_.clearConfirm = on(control) ? 1 : 0; break;
        case kPolyphony: control_.setMaxPolyphony(fromSpin(control.value(), kPolyphonySteps)); break;
        case kBendRange: control_.setState(state::BendRange, fromSpin(control.value(), kBendSteps)); break;
        case kReset: reread(); break;
        case kSaveDefaults: control_.writeConfigurationFile(); return;
        case kClose:
        case kDone: close(); return;
        default: return;
    }
    refresh();
    if (events_.changed) events_.changed();
}

}  // namespace tarvik::gui

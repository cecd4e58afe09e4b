#include "gui/editor/panel_controller.h"

#include <algorithm>
#include <cmath>

#include "gui/parameter_controls.h"
#include "gui/skin_tags.h"
#include "instrument/data_folder.h"
#include "instrument/pattern_editing.h"
#include "patch/parameters.h"

namespace tarvik::gui {

namespace {
constexpr auto kRockerRepeat = std::chrono::milliseconds(50);
// The Ctrl shortcuts: cables, open, save, undo, redo.
constexpr int kShortcutKeys[] = {'l', 'o', 's', 'z', 'y'};
}  // namespace

PanelController::PanelController(ControlFace& control, GuiPreferences& preferences, Frame& frame, const Panel& panel,
                                 PatchField& field, std::string skinName)
    : control_(control),
      preferences_(preferences),
      frame_(frame),
      panel_(panel),
      field_(field),
      skinName_(std::move(skinName)),
      patchBank_(dataPath(control.dataFolder(), "Tarvik Patches/")) {}

// The menu goes first: an open one answers into the panels below.
PanelController::~PanelController() { menu_.reset(); }

void PanelController::addDialogs(void* parentWindow, FloatingDisplay* floating,
                                 std::function<void()> preferencesReread) {
    floating_ = floating;
    dialogs_ = std::make_unique<Dialogs>(frame_, parentWindow);
    fileDialogs_ = std::make_unique<FileDialogs>(frame_, parentWindow);
    panelPictures_ = PanelPictures::fromProgram();
    preferencesPanel_ = std::make_unique<PreferencesHandler>(
        frame_, panelPictures_, control_, preferences_,
        PreferencesHandler::Events{[this, reread = std::move(preferencesReread)] {
                                       field_.rebuild();
                                       if (reread) reread();
                                       refreshStatus();
                                   },
                                   [this] { refreshStatus(); }});
    randomPanel_ = std::make_unique<RandomHandler>(frame_, panelPictures_, control_.patterns(),
                                                   control_.advancedRandomSettings(), [this] { refreshSequencerPanel(); });
    patchInfo_ = std::make_unique<PatchInfoHandler>(frame_, panelPictures_);
    patchInfo_->setText(control_.patchInfo());
    menu_ = std::make_unique<OptionMenu>(frame_);
}

void PanelController::showAll() {
    refreshParameters();
    refreshStatus();
    refreshSequencerPanel();
    showPatchName();
}

void PanelController::idle(Clock::time_point now) {
    now_ = now;
    takeProgramRequests();
    fileDialogs_->idle();
    patchInfo_->idle();
    control_.changedParameters().drain([&](int index) {
        const int controlTag = controlOfParameter(index);
        showValue(controlTag, control_.parameter(index));
        // While learning, a parameter the host or a controller moved shows
        // which controller drives it.
        if (const Control* c = panel_.control(controlTag); c && control_.midiLearn())
            showFloating(c->rect(), learnTexts(control_, index));
    });
    // The repeats keep to their own 50 ms steps rather than to the idle
    // calls' (which would stretch each step to the next call); a host that
    // idles less often than that gets one step per call.
    if (heldRocker_ >= 0 && now >= rockerRepeat_) {
        stepRocker(heldRocker_, heldDirection_);
        rockerRepeat_ = std::max(rockerRepeat_ + kRockerRepeat, now);
    }
    refreshStatus();
    if (control_.state(state::MidiMode) == 0) refreshSequencerPanel();
    showValue(tag::TempoDigits, static_cast<float>(std::lround(control_.tempo())));
}

void PanelController::showNewPatch() {
    refreshParameters();
    showPatchName();
    field_.rebuild();
    patchInfo_->setText(control_.patchInfo());
}

// Ctrl+L shows or hides the cables, Ctrl+Z undoes and Ctrl+Shift+Z or
// Ctrl+Y redoes whatever the UseKeyboard preference says; the sequencer
// panel's key map works only while it is on.
bool PanelController::handleKey(const KeyEvent& key) {
    if (menu_->keyDown(key)) return true;           // a menu drawn in the frame takes every key
    if (dialogs_->handleKey(key)) return true;      // so does an open question
    if (fileDialogs_->handleKey(key)) return true;  // so does the panel's file chooser
    if ((key.modifiers & modifier::kControl) != 0) {
        switch (key.character) {
            case 'l':
                preferences_.displayCables = preferences_.displayCables != 0 ? 0 : 1;
                field_.rebuild();
                refreshStatus();
                return true;
            case 'z':
                if ((key.modifiers & modifier::kShift) != 0)
                    redo();
                else
                    undo();
                return true;
            case 'y': redo(); return true;
            case 'o': openPatch(); return true;
            case 's':
                if ((key.modifiers & modifier::kShift) != 0)
                    savePatchAs();
                else
                    savePatch();
                return true;
            default: return false;
        }
    }
    if (preferences_.useKeyboard == 0 || key.modifiers != 0) return false;
    const KeymapEntry* row = nullptr;
    for (const KeymapEntry& r : preferences_.keymap)
        if (!row && key.character != 0 && r.character == key.character) row = &r;
    for (const KeymapEntry& r : preferences_.keymap)
        if (!row && key.virtualKey != 0 && r.virtualKey == key.virtualKey) row = &r;
    if (!row) return false;
    control_.patterns().sequencerCommand(row->action);
    refreshStatus();
    refreshSequencerPanel();
    return true;
}

// A menu drawn in the frame, an open question and the file chooser take
// every key; otherwise the shortcuts (with or without Shift) and, while the
// UseKeyboard preference is on, the key map's keys without modifiers.
KeyInterest PanelController::keyInterest() const {
    KeyInterest interest;
    interest.everyKey = menu_->isOpen() || dialogs_->questionOpen() || fileDialogs_->takesKeys();
    if (interest.everyKey) return interest;
    for (const int character : kShortcutKeys)
        for (const int modifiers : {modifier::kControl, modifier::kControl | modifier::kShift})
            interest.keys.push_back({character, 0, modifiers});
    if (preferences_.useKeyboard == 0) return interest;
    for (const KeymapEntry& row : preferences_.keymap) {
        if (row.character != kNoKey)
            interest.keys.push_back({row.character, 0, 0});
        else if (row.virtualKey != kNoKey)
            interest.keys.push_back({0, row.virtualKey, 0});
    }
    return interest;
}

bool PanelController::busy() const { return heldRocker_ >= 0 || patchInfo_->fading(); }

bool PanelController::answerDue() const { return fileDialogs_->answerDue(); }

void PanelController::popUp(const MenuModel& menu, Point where, MenuAnswer answer) {
    if (menu_) menu_->popUp(menu, where, std::move(answer));
}

void PanelController::showSocket(const Rect& socketRect, int socket) { showFloating(socketRect, socketTexts(socket)); }

void PanelController::showValue(int tagValue, float value) {
    if (Control* c = panel_.control(tagValue)) c->setValue(value);
}

void PanelController::showFloating(const Rect& under, const DisplayTexts& texts) {
    if (floating_ && preferences_.floatingDisplay != 0) floating_->show(under, texts, Clock::now());
}

void PanelController::showPatchName() {
    if (TextLabel* label = panel_.patchName()) label->setText(patchDisplayName(control_.currentPatchPath()));
}

}  // namespace tarvik::gui

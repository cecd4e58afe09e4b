#include "gui/editor/tarvik_gui.h"

#include <algorithm>
#include <cmath>

#include "gui/editor/display_texts.h"
#include "gui/editor/illu_button.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "plugin/data_folder.h"

namespace tarvik::gui {

namespace {

constexpr auto kMidiLedTime = std::chrono::milliseconds(75);
constexpr auto kBlinkTime = std::chrono::milliseconds(200);
constexpr auto kActivityTime = std::chrono::milliseconds(100);
constexpr auto kKnobGlideTime = std::chrono::milliseconds(500);

constexpr const char* kErrorTitle = "Tarvik Error";
constexpr const char* kReinstallText = "This plug-in needs to be reinstalled for this user account";
constexpr const char* kMissingFilesText =
    "There is a problem locating some of the files needed to run Tarvik. Please reinstall Tarvik.";
constexpr const char* kBadSkinText =
    "There is a problem with the skin definition. Reverting to Default Skin. \nTry closing/reopening the window, or "
    "restarting the plug-in. ";

}  // namespace

TarvikGui::TarvikGui(Tarvik& plugin) : plugin_(plugin) {}

TarvikGui::~TarvikGui() { close(); }

void TarvikGui::fail(const char* title, const char* text) { reportOpenFailure(parent_, title, text); }

// Hosts size their window from this before they open the editor, so an
// editor not yet open reads the skin's background size (once: some hosts
// ask at every idle).
bool TarvikGui::getRect(vst::ERect** rect) {
    if (!rect) return false;
    if (!isOpen() && !rectFromSkin_) {
        rectFromSkin_ = true;
        dataFolder_ = plugin_.dataFolderPath();
        GuiPreferences saved;
        if (readGuiPreferences(saved, dataPath(dataFolder_, "Gui.ini"))) preferences_ = saved;
        if (loadSkin()) updateRect(skin_->getRect(tag::Background));
        skin_.reset();
    }
    *rect = &rect_;
    return true;
}

void TarvikGui::updateRect(const SkinRect& background) {
    rect_.top = 0;
    rect_.left = 0;
    rect_.bottom = static_cast<vst::VstInt16>(std::lround(background.bottom) - 1);
    rect_.right = static_cast<vst::VstInt16>(std::lround(background.right) - 2);
}

// A missing or unreadable "Gui.ini" is replaced by the defaults rather than
// taking the panel away; only a data folder that cannot take the file stops
// the editor.
bool TarvikGui::readPreferences() {
    preferences_ = GuiPreferences{};
    const std::string path = dataPath(dataFolder_, "Gui.ini");
    if (readGuiPreferences(preferences_, path)) return true;
    preferences_ = GuiPreferences{};
    if (writeGuiPreferences(preferences_, path)) return true;
    fail(kProductTitle, kReinstallText);
    return false;
}

// The chosen skin, else the default one; false when neither reads.
bool TarvikGui::loadSkin() {
    skin_ = std::make_unique<SkinDefinition>();
    if (!preferences_.skin.empty() && skin_->parse(userFilePath(dataFolder_, preferences_.skin))) return true;
    skin_ = std::make_unique<SkinDefinition>();
    return skin_->parse(dataPath(dataFolder_, "Tarvik.skn"));
}

void TarvikGui::loadBitmaps() {
    bitmaps_.clear();
    for (const std::string& file : skin_->bitmapFiles()) {
        std::optional<Bitmap> picture = loadPng(dataPath(dataFolder_, file));
        bitmaps_.push_back(picture ? std::move(*picture) : Bitmap{});
    }
}

bool TarvikGui::open(void* parentWindow) {
    close();
    if (!parentWindow) return false;
    parent_ = parentWindow;
    dataFolder_ = plugin_.dataFolderPath();
    if (!readPreferences()) return false;
    if (!loadSkin()) {
        preferences_.skin.clear();
        skin_.reset();
        fail(kErrorTitle, kMissingFilesText);
        return false;
    }
    const SkinRect background = skin_->getRect(tag::Background);
    updateRect(background);
    loadBitmaps();
    knobMode_ = static_cast<KnobMode>(std::clamp(plugin_.configuration().guiKnobMode, 0, 2));

    frame_ = std::make_unique<Frame>(
        Rect{0, 0, static_cast<int>(std::lround(background.right)), static_cast<int>(std::lround(background.bottom))});
    panel_ = std::make_unique<Panel>(*skin_, bitmaps_);
    patchField_ = std::make_unique<PatchField>(plugin_, preferences_);
    patchField_->setPopUp([this](const MenuModel& menu, Point where, MenuAnswer answer) {
        if (menu_) menu_->popUp(menu, where, std::move(answer));
    });
    cordPlug_ = loadPng(dataPath(dataFolder_, "cordplug.png"));
    frame_->setBackground(panel_->bitmap(tag::Background));
    frame_->setKeyHandler([this](const KeyEvent& key) { return handleKey(key); });
    if (!panel_->build(*frame_, *this, knobMode_, *patchField_, cordPlug_ ? &*cordPlug_ : nullptr)) {
        // The next open falls back to the default skin, whether or not the
        // host closes an editor that failed to open.
        preferences_.skin.clear();
        writeGuiPreferences(preferences_, dataPath(dataFolder_, "Gui.ini"));
        panel_.reset();
        frame_.reset();
        skin_.reset();
        patchField_.reset();
        fail(kErrorTitle, kBadSkinText);
        return false;
    }
    if (!frame_->open(parentWindow)) {
        patchField_.reset();
        panel_.reset();
        frame_.reset();
        skin_.reset();
        return false;
    }

    addOverlays();
    dialogs_ = std::make_unique<Dialogs>(*frame_, parentWindow);
    fileDialogs_ = std::make_unique<FileDialogs>(*frame_, parentWindow);
    addPanels();
    menu_ = std::make_unique<OptionMenu>(*frame_);
    skinName_ = skin_->name();

    const Clock::time_point now = Clock::now();
    midiLedStamp_ = blinkStamp_ = activityStamp_ = rockerStamp_ = cordStamp_ = now;
    heldRocker_ = -1;
    refreshParameters();
    refreshStatus();
    refreshSequencerPanel();
    showPatchName();
    preferences_.showSplashSequence = 0;
    preferences_.antiAliasing = 0;
    return true;
}

void TarvikGui::close() {
    rectFromSkin_ = false;  // the next open may bring another skin
    if (!frame_) return;
    writeGuiPreferences(preferences_, dataPath(dataFolder_, "Gui.ini"));
    // Everything below points into the frame, so it goes first.
    menu_.reset();
    frame_->close();
    preferencesPanel_.reset();
    randomPanel_.reset();
    patchInfo_.reset();
    fileDialogs_.reset();
    dialogs_.reset();
    patchField_.reset();
    floating_ = nullptr;
    sprite_ = nullptr;
    splash_ = nullptr;
    effects_ = nullptr;
    panel_.reset();
    frame_.reset();
    skin_.reset();
    bitmaps_.clear();
}

void TarvikGui::idle() {
    if (!frame_) return;
    const Clock::time_point now = Clock::now();
    Engine& engine = plugin_.engine();
    takeProgramRequests();
    fileDialogs_->idle();
    patchInfo_->idle();

    inbox_.drain([&](int index) {
        const int controlTag = index < kNumParameters ? kParameterTable[static_cast<std::size_t>(index)].controlId : 0;
        if (Control* c = panel_->control(controlTag)) c->setValue(plugin_.getParameter(index));
    });
    if (refreshAll_.exchange(false, std::memory_order_acquire)) {
        // A new patch: the knobs swing over to it rather than jump.
        for (PanelKnob* knob : panel_->knobs()) knob->setGliding(true);
        glideEnd_ = now + kKnobGlideTime;
        refreshParameters();
        showPatchName();
        patchField_->rebuild();
        patchInfo_->setText(plugin_.engine().patch().info);
    }
    if (glideEnd_) {
        const bool over = now >= *glideEnd_;
        for (PanelKnob* knob : panel_->knobs()) {
            if (over) knob->setGliding(false);
            knob->step();
        }
        if (over) glideEnd_.reset();
    }
    refreshStatus();
    if (plugin_.engine().patch().state(state::MidiMode) == 0) refreshSequencerPanel();
    showValue(tag::TempoDigits, static_cast<float>(std::lround(engine.tempo())));

    ActivityIndicators& lights = engine.indicators();
    if (lights.midi.exchange(0, std::memory_order_relaxed) != 0) {
        showValue(tag::MidiLed, 1.0f);
        midiLedStamp_ = now;
    } else if (now - midiLedStamp_ >= kMidiLedTime) {
        showValue(tag::MidiLed, 0.0f);
    }

    if (heldRocker_ >= 0 && now >= rockerStamp_) {
        stepRocker(heldRocker_, heldDirection_);
        rockerStamp_ = now + std::chrono::milliseconds(50);
    }

    if (now - blinkStamp_ >= kBlinkTime) {
        blinkStamp_ = now;
        blinkPhase_ = !blinkPhase_;
        const TarvikPatch& patch = engine.patch();
        showValue(tag::RunStopLed, patch.state(state::RunStop) == 1 && blinkPhase_ ? 1.0f : 0.0f);
        showValue(tag::OptionInfo, patch.info.text[0] != '\0' && blinkPhase_ ? 1.0f : 0.0f);
    }

    patchField_->idle(std::chrono::duration<double, std::milli>(now - cordStamp_).count(), frame_->mousePosition());
    cordStamp_ = now;
    if (floating_) {
        if (frame_->mouseInside())
            if (const auto hover = patchField_->hover(frame_->mousePosition()))
                showFloating(hover->rect, socketTexts(hover->socket));
        if (!plugin_.midiLearn()) floating_->idle(now);
    }
    if (auto* triplet = dynamic_cast<IlluButton*>(panel_->control(tag::TripletButton))) triplet->step();
    // The arrow by the patch field moves only while a cable is in hand: a
    // panel at rest shows nothing moving that is not active.
    if (sprite_) {
        if (patchField_->dragging())
            sprite_->step(now);
        else
            sprite_->rest();
    }
    if (splash_) splash_->step(now);

    // The lights wait while a cable is in the user's hand: the drag is what
    // the user watches.
    if (now - activityStamp_ >= kActivityTime && !patchField_->dragging()) {
        activityStamp_ = now;
        showValue(tag::GateActiveLed, lights.gate.load(std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
        showValue(tag::VcaTriggerLed, lights.vcaEnvelope.exchange(0, std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
        showValue(tag::VcfTriggerLed, lights.vcfEnvelope.exchange(0, std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
        showValue(tag::AccExtLed, lights.accent.exchange(0, std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
    }

    frame_->idle();
}

bool TarvikGui::onKeyDown(vst::VstKeyCode& key) {
    if (!frame_) return false;
    KeyEvent event;
    event.character = key.character >= 'A' && key.character <= 'Z' ? key.character - 'A' + 'a' : key.character;
    event.virtualKey = key.virt;
    // VST modifier bits: 1 Shift, 2 Alt, 4 Command (the Mac's), 8 Control.
    if (key.modifier & 1) event.modifiers |= modifier::kShift;
    if (key.modifier & 2) event.modifiers |= modifier::kAlt;
    if (key.modifier & (4 | 8)) event.modifiers |= modifier::kControl;
    return frame_->keyDown(event);
}

bool TarvikGui::onKeyUp(vst::VstKeyCode& /*key*/) { return false; }

bool TarvikGui::setKnobMode(int mode) {
    knobMode_ = static_cast<KnobMode>(std::clamp(mode, 0, 2));
    if (panel_)
        for (PanelKnob* knob : panel_->knobs()) knob->setMode(knobMode_);
    return true;
}

void TarvikGui::setParameter(int index, float /*value*/) { inbox_.mark(index); }

void TarvikGui::programChanged() { refreshAll_.store(true, std::memory_order_release); }

void TarvikGui::programNameChanged() { refreshAll_.store(true, std::memory_order_release); }

// On the audio thread: program changes and bank selects load patches, which
// only the GUI thread may do, so they are only noted here for the idle (a
// later one in the same block wins). The light needs nothing from here: the
// engine raises it.
void TarvikGui::midiMessage(int status, int data1, int data2) {
    if ((status & 0xF0) == 0xC0) pendingProgram_.store(data1, std::memory_order_release);
    if ((status & 0xF0) == 0xB0 && data1 == 0) pendingBank_.store(data2, std::memory_order_release);
}

// Ctrl+L shows or hides the cables whatever the UseKeyboard preference
// says; the sequencer panel's key map works only while it is on.
bool TarvikGui::handleKey(const KeyEvent& key) {
    if (menu_->keyDown(key)) return true;           // a menu drawn in the frame takes every key
    if (dialogs_->handleKey(key)) return true;      // so does an open question
    if (fileDialogs_->handleKey(key)) return true;  // so does the panel's file chooser
    if ((key.modifiers & modifier::kControl) != 0) {
        switch (key.character) {
            case 'l':
                preferences_.displayCables = preferences_.displayCables != 0 ? 0 : 1;
                patchField_->rebuild();
                refreshStatus();
                return true;
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
    plugin_.sequencerCommand(row->action);
    refreshStatus();
    refreshSequencerPanel();
    return true;
}

void TarvikGui::showValue(int tagValue, float value) {
    if (Control* c = panel_->control(tagValue)) c->setValue(value);
}

// The views laid over the controls, in the order they stack: the value
// display, the sprite, the splash screen, and the effects over everything.
void TarvikGui::addOverlays() {
    if (const Bitmap* box = panel_->bitmap(tag::DispBackground))
        floating_ = &frame_->add(std::make_unique<FloatingDisplay>(panel_->rect(tag::DispBackground), box));
    if (const Bitmap* arrow = panel_->bitmap(tag::SmallArrow))
        sprite_ = &frame_->add(std::make_unique<AnimSprite>(panel_->rect(tag::SmallArrow), arrow));
    splashPicture_ = loadPng(dataPath(dataFolder_, "splashscreen.png"));
    const Rect splashArea = panel_->rect(tag::Splash);
    if (!splashArea.empty() && preferences_.showSplashSequence != 0)
        splash_ = &frame_->add(
            std::make_unique<SplashScreen>(splashArea, splashPicture_ ? &*splashPicture_ : nullptr, "Tarvik 1.0"));
    effects_ = &frame_->add(std::make_unique<PanelEffects>(frame_->rect()));
    effects_->setEnabled(preferences_.antiAliasing != 0);
}

// The three panels the menus and buttons show: made at each open, hidden.
void TarvikGui::addPanels() {
    panelPictures_ = PanelPictures::fromProgram();
    preferencesPanel_ = std::make_unique<PreferencesHandler>(
        *frame_, panelPictures_, plugin_, preferences_,
        PreferencesHandler::Events{[this] {
                                       patchField_->rebuild();
                                       effects_->setEnabled(preferences_.antiAliasing != 0);
                                       refreshStatus();
                                   },
                                   [this] { refreshStatus(); }});
    randomPanel_ = std::make_unique<RandomHandler>(*frame_, panelPictures_, plugin_, plugin_.advancedRandomSettings(),
                                                   [this] { refreshSequencerPanel(); });
    patchInfo_ = std::make_unique<PatchInfoHandler>(*frame_, panelPictures_);
    patchInfo_->setText(plugin_.engine().patch().info);
    patchBank_ = std::make_unique<PatchBank>(dataPath(dataFolder_, "Tarvik Patches/"));
}

void TarvikGui::showFloating(const Rect& under, const DisplayTexts& texts) {
    if (floating_ && preferences_.floatingDisplay != 0) floating_->show(under, texts, Clock::now());
}

void TarvikGui::showPatchName() {
    TextLabel* label = panel_->patchName();
    if (!label) return;
    label->setText(patchDisplayName(plugin_.currentPatchPath()));
}

}  // namespace tarvik::gui

#include "gui/editor/tarvik_gui.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "gui/editor/illu_button.h"
#include "gui/skin_paths.h"
#include "gui/skin_tags.h"
#include "gui/toolkit/controls/question_panel.h"
#include "instrument/data_folder.h"

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
// The default skin is on screen by the time the user reads this; what
// follows it names the chosen skin and what is wrong with it.
constexpr const char* kBadSkinText = "There is a problem with the skin definition. Reverting to Default Skin. ";
constexpr const char* kUnreadableSkin = "the file cannot be read.";
constexpr const char* kMissingElement = "an element the panel needs is missing, or its picture cannot be loaded.";

std::string badBackground() {
    return "its BACKGROUND line is missing, or the panel it gives is not 1 to " +
           std::to_string(SkinDefinition::kMaxPanelSide) + " pixels a side.";
}

// The skin at `path` when it reads and its panel fits the screen.
std::optional<SkinDefinition> fittingSkin(const std::optional<std::string>& path) {
    SkinDefinition skin;
    if (!path || !skin.parse(*path) || !skin.backgroundFits()) return std::nullopt;
    return skin;
}

// The lights the audio thread raises, each shown for a while after it.
constexpr int kActivityLeds[] = {tag::GateActiveLed, tag::VcaTriggerLed, tag::VcfTriggerLed, tag::AccExtLed};

}  // namespace

TarvikGui::TarvikGui(ControlFace& control) : control_(control) {}

TarvikGui::~TarvikGui() { close(); }

void TarvikGui::tell(std::string title, std::string text) { messages_.push_back({std::move(title), std::move(text)}); }

// Hosts size their window from this before they open the editor, so an
// editor not yet open reads the skin's background size (once: some hosts
// ask at every idle): the chosen skin's when it reads and fits the screen,
// else the default skin's.
Rect TarvikGui::windowRect() {
    if (!isOpen() && !rectFromSkin_) {
        rectFromSkin_ = true;
        dataFolder_ = control_.dataFolder();
        GuiPreferences saved;
        if (readGuiPreferences(saved, dataPath(dataFolder_, "Gui.ini"))) preferences_ = saved;
        std::optional<SkinDefinition> skin;
        if (!preferences_.skin.empty()) skin = fittingSkin(chosenSkinPath());
        if (!skin) skin = fittingSkin(dataPath(dataFolder_, "Tarvik.skn"));
        if (skin) updateRect(skin->getRect(tag::Background));
    }
    return rect_;
}

void TarvikGui::updateRect(const SkinRect& background) {
    rect_ = {0, 0, static_cast<int>(std::lround(background.right) - 2), static_cast<int>(std::lround(background.bottom) - 1)};
}

// A missing or unreadable "Gui.ini" is replaced by the defaults; a data
// folder that cannot take the file leaves the editor with the defaults, and
// the user is told.
void TarvikGui::readPreferences() {
    preferences_ = GuiPreferences{};
    const std::string path = dataPath(dataFolder_, "Gui.ini");
    if (readGuiPreferences(preferences_, path)) return;
    preferences_ = GuiPreferences{};
    if (!writeGuiPreferences(preferences_, path)) tell(kProductTitle, kReinstallText);
}

// A name of the user's own is taken as it is; one below the data folder is
// read as a skin names its files.
std::optional<std::string> TarvikGui::chosenSkinPath() const {
    if (std::filesystem::path(preferences_.skin).is_absolute()) return preferences_.skin;
    return skinFilePath(dataFolder_, preferences_.skin);
}

void TarvikGui::loadBitmaps() {
    bitmaps_.clear();
    for (const std::string& file : skin_->bitmapFiles()) {
        const std::optional<std::string> path = skinFilePath(dataFolder_, file);
        std::optional<Bitmap> picture = path ? loadPng(*path) : std::nullopt;
        bitmaps_.push_back(picture ? std::move(*picture) : Bitmap{});
    }
}

std::optional<std::string> TarvikGui::buildPanel(const std::string& path) {
    skin_ = std::make_unique<SkinDefinition>();
    if (!skin_->parse(path)) {
        skin_.reset();
        return kUnreadableSkin;
    }
    // Checked before any picture is loaded or window made: a panel of
    // 32767 pixels a side takes gigabytes and the X server down with it.
    if (!skin_->backgroundFits()) {
        skin_.reset();
        return badBackground();
    }
    loadBitmaps();
    const SkinRect background = skin_->getRect(tag::Background);
    frame_ = std::make_unique<Frame>(
        Rect{0, 0, static_cast<int>(std::lround(background.right)), static_cast<int>(std::lround(background.bottom))});
    panel_ = std::make_unique<Panel>(*skin_, bitmaps_);
    patchField_ = std::make_unique<PatchField>(control_.cables(), preferences_);
    controller_ = std::make_unique<PanelController>(control_, preferences_, *frame_, *panel_, *patchField_, skin_->name());
    patchField_->setPopUp([this](const MenuModel& menu, Point where, MenuAnswer answer) {
        controller_->popUp(menu, where, std::move(answer));
    });
    cablePlug_ = loadPng(dataPath(dataFolder_, "cordplug.png"));
    frame_->setBackground(panel_->bitmap(tag::Background));
    frame_->setKeyHandler([this](const KeyEvent& key) { return controller_->handleKey(key); });
    frame_->setKeyInterest([this] { return controller_->keyInterest(); });
    if (!panel_->bitmap(tag::Background) || !panel_->build(*frame_, controller_->listener(), knobMode_, *patchField_,
                                                           cablePlug_ ? &*cablePlug_ : nullptr)) {
        dropPanel();
        return kMissingElement;
    }
    updateRect(background);
    return std::nullopt;
}

bool TarvikGui::open(void* parentWindow) {
    close();
    if (!parentWindow) return false;
    parent_ = parentWindow;
    dataFolder_ = control_.dataFolder();
    readPreferences();
    knobMode_ = static_cast<KnobMode>(std::clamp(control_.configuration().guiKnobMode, 0, 2));

    // A chosen skin that cannot make the panel gives way to the default skin
    // in this same open, and for good: Gui.ini forgets it at once.
    if (!preferences_.skin.empty()) {
        const std::optional<std::string> path = chosenSkinPath();
        const std::optional<std::string> refusal =
            path ? buildPanel(*path) : std::optional<std::string>(kUnreadableSkin);
        if (refusal) {
            tell(kErrorTitle, kBadSkinText + ("\n" + preferences_.skin + ": " + *refusal));
            preferences_.skin.clear();
            writeGuiPreferences(preferences_, dataPath(dataFolder_, "Gui.ini"));
        }
    }
    if (!frame_ && buildPanel(dataPath(dataFolder_, "Tarvik.skn")).has_value()) {
        tell(kErrorTitle, kMissingFilesText);
        return failOpen();
    }
    if (!frame_->open(parentWindow)) return failOpen();

    addOverlays();
    controller_->addDialogs(parentWindow, floating_,
                            [this] { effects_->setEnabled(preferences_.antiAliasing != 0); });

    const Clock::time_point now = Clock::now();
    midiLedOff_ = blinkStamp_ = activityStamp_ = cableStamp_ = now;
    midiLedLit_ = false;
    lastRunStop_ = control_.state(state::RunStop);
    control_.takePatchChanged();  // the panel opens on the patch as it is
    controller_->showAll();
    for (const Message& message : messages_) controller_->dialogs().tell(message.title, message.text);
    messages_.clear();
    preferences_.showSplashSequence = 0;
    preferences_.antiAliasing = 0;
    return true;
}

// No panel to show them in: the messages go to the window system's own
// boxes (on Linux the desktop's message tool, else standard error).
bool TarvikGui::failOpen() {
    dropPanel();
    for (const Message& message : messages_) reportOpenFailure(parent_, message.title, message.text);
    messages_.clear();
    return false;
}

void TarvikGui::close() {
    rectFromSkin_ = false;  // the next open may bring another skin
    if (!frame_) return;
    writeGuiPreferences(preferences_, dataPath(dataFolder_, "Gui.ini"));
    dropPanel();
}

// A drag under way ends as a release would, so that the host hears the end
// of the gesture; then everything that points into the frame goes, the
// controller's menu before the window.
void TarvikGui::dropPanel() {
    if (frame_) frame_->cancelCapture();
    controller_.reset();
    if (frame_) frame_->close();
    patchField_.reset();
    floating_ = nullptr;
    sprite_ = nullptr;
    splash_ = nullptr;
    effects_ = nullptr;
    glideEnd_.reset();
    panel_.reset();
    frame_.reset();
    skin_.reset();
    bitmaps_.clear();
}

void TarvikGui::idle() {
    if (!frame_) return;
    const Clock::time_point now = Clock::now();
    controller_->idle(now);
    // A new patch: the knobs swing over to it rather than jump.
    if (control_.takePatchChanged()) {
        for (PanelKnob* knob : panel_->knobs()) knob->setGliding(true);
        glideEnd_ = now + kKnobGlideTime;
        controller_->showNewPatch();
    }
    glideKnobs(now);
    showLights(now);
    blink(now);

    patchField_->idle(std::chrono::duration<double, std::milli>(now - cableStamp_).count(), frame_->mousePosition());
    cableStamp_ = now;
    hoveringSocket_ = false;
    if (floating_) {
        if (frame_->mouseInside())
            if (const auto hover = patchField_->hover(frame_->mousePosition())) {
                controller_->showSocket(hover->rect, hover->socket);
                hoveringSocket_ = true;
            }
        if (!control_.midiLearn()) floating_->idle(now);
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

    frame_->idle();
}

void TarvikGui::glideKnobs(Clock::time_point now) {
    if (!glideEnd_) return;
    const bool over = now >= *glideEnd_;
    for (PanelKnob* knob : panel_->knobs()) {
        if (over) knob->setGliding(false);
        knob->step();
    }
    if (over) glideEnd_.reset();
}

// The MIDI light stays on for a moment after the last message and the
// playing step follows the sequencer at every idle; the others show what the
// audio thread raised in the last tenth of a second, and wait while a cable
// is in the user's hand: the drag is what the user watches.
void TarvikGui::showLights(Clock::time_point now) {
    ActivityIndicators& lights = control_.indicators();
    if (lights.midi.exchange(0, std::memory_order_relaxed) != 0) {
        midiLedOff_ = now + kMidiLedTime;
        midiLedLit_ = true;
    } else if (now >= midiLedOff_) {
        midiLedLit_ = false;
    }
    showValue(tag::MidiLed, midiLedLit_ ? 1.0f : 0.0f);
    // Counted from 1 as the STEP display counts; dark while stopped.
    const int playing = lights.playingStep.load(std::memory_order_relaxed);
    showValue(tag::PlayingStepDisplay, playing >= 0 ? static_cast<float>(playing + 1) : 0.0f);

    if (now - activityStamp_ < kActivityTime || patchField_->dragging()) return;
    activityStamp_ = now;
    showValue(tag::GateActiveLed, lights.gate.load(std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
    showValue(tag::VcaTriggerLed, lights.vcaEnvelope.exchange(0, std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
    showValue(tag::VcfTriggerLed, lights.vcfEnvelope.exchange(0, std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
    showValue(tag::AccExtLed, lights.accent.exchange(0, std::memory_order_relaxed) != 0 ? 1.0f : 0.0f);
}

// A running sequencer blinks RUN/STOP, a patch with notes blinks INFO. A
// change of RunStop shows at once, whoever made it.
void TarvikGui::blink(Clock::time_point now) {
    const int runStop = control_.state(state::RunStop);
    if (runStop != lastRunStop_) {
        lastRunStop_ = runStop;
        blinkStamp_ = now - kBlinkTime;
    }
    if (now - blinkStamp_ < kBlinkTime) return;
    blinkStamp_ = now;
    blinkPhase_ = !blinkPhase_;
    showValue(tag::RunStopLed, runStop == 1 && blinkPhase_ ? 1.0f : 0.0f);
    showValue(tag::OptionInfo, control_.patchInfo().text[0] != '\0' && blinkPhase_ ? 1.0f : 0.0f);
}

bool TarvikGui::caughtUp() {
    if (!frame_) return true;
    if (PlatformWindow* window = frame_->window(); window && !window->quiet()) return false;
    return !controller_->answerDue();
}

bool TarvikGui::atRest() {
    if (!frame_) return true;
    if (!caughtUp() || glideEnd_ || midiLedLit_ || controller_->busy() || patchField_->moving()) return false;
    for (int led : kActivityLeds)
        if (const Control* c = panel_->control(led); c && c->value() > 0.0f) return false;
    if (const auto* triplet = dynamic_cast<const IlluButton*>(panel_->control(tag::TripletButton));
        triplet && triplet->fade() != (triplet->lit() ? 1.0f : 0.0f))
        return false;
    if (splash_ && !splash_->finished()) return false;
    return !floating_ || !floating_->isVisible() || hoveringSocket_;
}

std::string TarvikGui::shownMessage() const {
    if (!frame_) return {};
    const auto& views = frame_->children();
    for (auto view = views.rbegin(); view != views.rend(); ++view)
        if (const auto* question = dynamic_cast<const QuestionPanel*>(view->get()); question && question->isOpen())
            return question->text();
    return {};
}

bool TarvikGui::keyDown(const KeyEvent& key) { return frame_ && frame_->hostKeyDown(key); }

void TarvikGui::setKnobMode(int mode) {
    knobMode_ = static_cast<KnobMode>(std::clamp(mode, 0, 2));
    if (panel_)
        for (PanelKnob* knob : panel_->knobs()) knob->setMode(knobMode_);
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
            std::make_unique<SplashScreen>(splashArea, splashPicture_ ? &*splashPicture_ : nullptr));
    effects_ = &frame_->add(std::make_unique<PanelEffects>(frame_->rect()));
    effects_->setEnabled(preferences_.antiAliasing != 0);
}

}  // namespace tarvik::gui

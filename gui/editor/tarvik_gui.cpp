#include "gui/editor/tarvik_gui.h"

#include <algorithm>
#include <cmath>

#include "gui/skin_tags.h"
#include "gui/toolkit/controls/knob.h"
#include "patch/parameters.h"
#include "plugin/data_folder.h"

namespace tarvik::gui {

namespace {

constexpr auto kMidiLedTime = std::chrono::milliseconds(75);
constexpr auto kBlinkTime = std::chrono::milliseconds(200);
constexpr auto kActivityTime = std::chrono::milliseconds(100);

constexpr const char* kProductTitle = "Sonvarde Kelvane Pro";
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
// editor not yet open reads the skin's background size.
bool TarvikGui::getRect(vst::ERect** rect) {
    if (!rect) return false;
    if (!isOpen()) {
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
    frame_->setBackground(panel_->bitmap(tag::Background));
    frame_->setKeyHandler([this](const KeyEvent& key) { return handleKey(key); });
    if (!panel_->build(*frame_, *this, knobMode_)) {
        // The next open falls back to the default skin, whether or not the
        // host closes an editor that failed to open.
        preferences_.skin.clear();
        writeGuiPreferences(preferences_, dataPath(dataFolder_, "Gui.ini"));
        panel_.reset();
        frame_.reset();
        skin_.reset();
        fail(kErrorTitle, kBadSkinText);
        return false;
    }
    if (!frame_->open(parentWindow)) {
        panel_.reset();
        frame_.reset();
        skin_.reset();
        return false;
    }

    const Clock::time_point now = Clock::now();
    midiLedStamp_ = blinkStamp_ = activityStamp_ = rockerStamp_ = now;
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
    if (!frame_) return;
    writeGuiPreferences(preferences_, dataPath(dataFolder_, "Gui.ini"));
    frame_->close();
    panel_.reset();
    frame_.reset();
    skin_.reset();
    bitmaps_.clear();
}

void TarvikGui::idle() {
    if (!frame_) return;
    const Clock::time_point now = Clock::now();
    Engine& engine = plugin_.engine();

    inbox_.drain([&](int index) {
        const int controlTag = index < kNumParameters ? kParameterTable[static_cast<std::size_t>(index)].controlId : 0;
        if (Control* c = panel_->control(controlTag)) c->setValue(plugin_.getParameter(index));
    });
    if (refreshAll_.exchange(false, std::memory_order_acquire)) {
        refreshParameters();
        showPatchName();
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

    if (now - activityStamp_ >= kActivityTime) {
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
        for (Control* knob : panel_->knobs()) static_cast<Knob*>(knob)->setMode(knobMode_);
    return true;
}

void TarvikGui::setParameter(int index, float /*value*/) { inbox_.mark(index); }

void TarvikGui::programChanged() { refreshAll_.store(true, std::memory_order_release); }

void TarvikGui::programNameChanged() { refreshAll_.store(true, std::memory_order_release); }

// Program changes and bank selects load patches, which only the GUI thread
// may do; the light needs nothing from here, the engine raises it.
void TarvikGui::midiMessage(int /*status*/, int /*data1*/, int /*data2*/) {}

bool TarvikGui::handleKey(const KeyEvent& /*key*/) { return false; }

void TarvikGui::showValue(int tagValue, float value) {
    if (Control* c = panel_->control(tagValue)) c->setValue(value);
}

void TarvikGui::showPatchName() {
    TextLabel* label = panel_->patchName();
    if (!label) return;
    std::string name = plugin_.currentPatchPath();
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    if (name.size() > 5 && name.compare(name.size() - 5, 5, ".tvkp") == 0) name.erase(name.size() - 5);
    label->setText(name);
}

}  // namespace tarvik::gui

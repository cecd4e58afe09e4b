// Programming a bass line on the panel, as a user does: the built binary's
// editor under a virtual X server, the pointer and keys through XTest, the
// result read back from the patch the host would save and from the audio.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>
#include <string>
#include <vector>

#include "gui/editor/pitch_keyboard.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "patch/pattern_ops.h"
#include "tests/gui/editor_fixture.h"
#include "tests/support/signal_analysis.h"

namespace tarvik {
namespace {

namespace tag = gui::tag;
using gui::PitchKeyboard;

class SequencerPanel : public test::EditorWindow {
protected:
    // A stopped sequencer in pattern mode on pattern 0 of the given length,
    // every step a gated C.
    void openWithPattern(int length, std::uint8_t stepFlags = step::kGate) {
        TarvikPatch p;
        p.setState(state::MidiMode, 0);
        p.setState(state::CurrentPattern, 0);
        p.patterns[0].length = static_cast<std::uint8_t>(length);
        for (Step& s : p.patterns[0].steps) s = {0, stepFlags};
        restore(p);
        open();
    }

    // Presses key k (0..35) of the panel's keyboard, white or black.
    void pressKey(int k) {
        const gui::SkinRect keyboard = element(tag::PitchKeyboard);
        const gui::Rect area = PitchKeyboard::keyArea(k, static_cast<int>(keyboard.bottom - keyboard.top));
        const int x = static_cast<int>(keyboard.left) + (area.left + area.right) / 2;
        const int y = static_cast<int>(keyboard.top) + (PitchKeyboard::isBlack(k) ? 30 : area.bottom - 12);
        window_.moveTo(x, y);
        window_.press();
        window_.release();
    }

    const Pattern& pattern0() {
        saved_ = patch();
        return saved_.patterns[0];
    }

    TarvikPatch saved_;
};

TEST_F(SequencerPanel, SeventeenNotesWithAutoAdvanceWrapToStepZero) {
    openWithPattern(16);
    click(tag::AutoAdvButton);
    for (int n = 0; n < 17; ++n) pressKey(n + 1);
    const Pattern& p = pattern0();
    EXPECT_EQ(p.steps[0].note, 17) << "the seventeenth note wrote step 0 again";
    for (int s = 1; s < 16; ++s) EXPECT_EQ(p.steps[s].note, s + 1) << "step " << s;
}

TEST_F(SequencerPanel, BackFromTheFirstStepGoesToTheLastPlayedStep) {
    openWithPattern(12);
    click(tag::BackButton);
    pressKey(5);
    const Pattern& p = pattern0();
    EXPECT_EQ(p.steps[11].note, 5);
    EXPECT_EQ(p.steps[0].note, 0);
}

// The keyboard plays what is being programmed: key 0 of a step marked up is
// note 48, heard from the plug-in's own voice, not sent to the host.
TEST_F(SequencerPanel, KeyZeroOnAnUpStepPlaysNote48AndWritesNote0) {
    openWithPattern(16, step::kGate | step::kUp);
    pressKey(3);  // the step holds another note before
    ASSERT_TRUE(window_.settle());
    render(4096);
    plugin_.clearRecords();
    // Press and hold key 0.
    const gui::SkinRect keyboard = element(tag::PitchKeyboard);
    window_.moveTo(static_cast<int>(keyboard.left) + 9, static_cast<int>(keyboard.bottom) - 12);
    window_.press();
    const std::vector<float> out = render(22050);
    window_.release();

    EXPECT_EQ(pattern0().steps[0].note, 0);
    const double hz = test::zeroCrossingFrequency(std::vector<float>(out.begin() + 8000, out.end()), 44100.0);
    EXPECT_NEAR(1200.0 * std::log2(hz / 130.8128), 0.0, 20.0) << "note 48 sounds; measured " << hz << " Hz";
    EXPECT_TRUE(plugin_.midiOutput().empty());
}

TEST_F(SequencerPanel, TheLengthDisplayKeepsToOneTo64Steps) {
    openWithPattern(16);
    const Point digits = centre(tag::StepsDigits);
    window_.drag(digits.x, digits.y, digits.x, digits.y + 60, 12);  // half a step a pixel: down past 0
    EXPECT_EQ(pattern0().length, 1);
    window_.drag(digits.x, digits.y, digits.x, digits.y - 300, 30);  // up past 99
    EXPECT_EQ(pattern0().length, 64);
}

class KeyMap : public SequencerPanel, public ::testing::WithParamInterface<int> {};

// Space runs and stops the sequencer through the key map, but only while
// the UseKeyboard preference is on.
TEST_P(KeyMap, SpaceStartsTheSequencerOnlyWithTheKeyboardOn) {
    const int useKeyboard = GetParam();
    test::writeWholeFile(folder_.path() / "Gui.ini", "UseKeyboard = " + std::to_string(useKeyboard) + "\n");
    openWithPattern(16);
    const Point somewhere = centre(tag::Background);
    window_.moveTo(somewhere.x, somewhere.y);
    window_.tapKey(XK_space);
    render(512);  // the engine takes the request up on the audio thread
    EXPECT_EQ(patch().state(state::RunStop), useKeyboard);
}

INSTANTIATE_TEST_SUITE_P(UseKeyboard, KeyMap, ::testing::Values(0, 1),
                         [](const auto& row) { return row.param ? std::string("On") : std::string("Off"); });

}  // namespace
}  // namespace tarvik

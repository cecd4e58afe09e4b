// Taking changes back on the built binary's panel, as a user does: the
// pattern menu's entries clicked where the menu pops up, Ctrl+Z and
// Ctrl+Shift+Z, cables patched with the pointer; and the step the running
// sequencer plays, read off the panel's digits. What changed is read back
// from the patch the host would save.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "gui/editor/editor_menus.h"
#include "gui/skin_tags.h"
#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/menu_session.h"
#include "patch/parameters.h"
#include "patch/pattern_ops.h"
#include "tests/gui/editor_fixture.h"

// Last: Xlib's macros (None among them) would break the names above.
#include <X11/Xlib.h>

namespace tarvik {
namespace {

namespace tag = gui::tag;
using gui::PatternCommand;

class EditorUndo : public test::EditorWindow {
protected:
    // Pattern 0 of sixteen steps, each its own note; a cable from the LFO
    // to the amplifier.
    void openWithPatternAndCable() {
        TarvikPatch p;
        p.setState(state::MidiMode, 0);
        p.setState(state::CurrentPattern, 0);
        p.patterns[0].length = 16;
        for (int s = 0; s < kMaxSteps; ++s) p.patterns[0].steps[s] = {static_cast<std::uint8_t>(s % 12), step::kGate};
        p.connections.set(0, {socket::MgCvOutput, socket::VcaCv});
        p.connections.setSize(1);
        restore(p);
        open();
        ASSERT_TRUE(window_.settle());
    }

    // Clicks an entry of the pattern menu where the editor shows it: the
    // same layout at the skin's drop-down place beside the editor's window,
    // kept on the screen.
    void choosePatternMenuEntry(PatternCommand command) {
        Display* display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        int originX = 0;
        int originY = 0;
        Window child = 0;
        XTranslateCoordinates(display, window_.window(), DefaultRootWindow(display), 0, 0, &originX, &originY, &child);
        const Screen* screen = DefaultScreenOfDisplay(display);
        const gui::Rect bounds = gui::Rect::sized(0, 0, WidthOfScreen(screen), HeightOfScreen(screen));
        XCloseDisplay(display);

        const gui::SkinRect dropdown = element(tag::PatternDropdown);
        const gui::Point where{originX + static_cast<int>(std::lround(dropdown.left)),
                               originY + static_cast<int>(std::lround(dropdown.top))};
        const gui::MenuSession layout(gui::patternMenu({}), where, bounds);
        int index = 0;
        while (gui::patternCommand(index) != command) ++index;
        const gui::Rect entry = layout.entryRect(0, index);

        click(tag::PatternMenu);
        window_.click((entry.left + entry.right) / 2 - originX, (entry.top + entry.bottom) / 2 - originY);
        ASSERT_TRUE(window_.settle());
    }

    Pattern pattern0() { return patch().patterns[0]; }

    std::vector<Connection> cords() {
        const TarvikPatch p = patch();
        std::vector<Connection> list;
        for (int i = 0; i < p.connections.size(); ++i) list.push_back(p.connections.at(i));
        return list;
    }

    // With the pointer over the panel, where the keys go (a chosen menu
    // entry may have left it beside the window).
    void tapControl(KeySym key, bool shift = false) {
        const Point panel = centre(tag::Background);
        window_.moveTo(panel.x, panel.y);
        window_.tapKey(key, true, shift);
        ASSERT_TRUE(window_.settle());
    }
};

// The entry can be clicked but does nothing: an empty clipboard pasted
// would have wiped the pattern to a length of 0. The entry below it,
// clicked the same way, does what it says.
TEST_F(EditorUndo, PasteBeforeAnyCopyLeavesThePatternByteForByte) {
    openWithPatternAndCable();
    const Pattern before = pattern0();
    choosePatternMenuEntry(PatternCommand::Paste);
    window_.tapKey(XK_Escape);  // the menu stays open after a click on a disabled entry
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(pattern0(), before);

    choosePatternMenuEntry(PatternCommand::TransposeUpOctave);
    Pattern transposed = before;
    transposePattern(transposed, 12);
    EXPECT_EQ(pattern0(), transposed) << "the clicks land on the entries meant";
}

TEST_F(EditorUndo, ControlZTakesBackARandomisationFromTheMenuAndControlShiftZBringsItAgain) {
    openWithPatternAndCable();
    const Pattern before = pattern0();
    choosePatternMenuEntry(PatternCommand::RandomizeAll);
    const Pattern randomised = pattern0();
    ASSERT_NE(randomised, before);

    tapControl(XK_z);
    EXPECT_EQ(pattern0(), before);
    tapControl(XK_z, true);
    EXPECT_EQ(pattern0(), randomised);
    choosePatternMenuEntry(PatternCommand::Undo);
    EXPECT_EQ(pattern0(), before) << "the menu's Undo";
}

TEST_F(EditorUndo, ACableClearedFromItsSocketComesBackWithControlZ) {
    openWithPatternAndCable();
    const Point lfo = centre(tag::socket(socket::MgCvOutput + 1));
    window_.click(lfo.x, lfo.y, 1, true);
    ASSERT_TRUE(window_.settle());
    ASSERT_TRUE(cords().empty());
    tapControl(XK_z);
    EXPECT_EQ(cords(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcaCv}}));
}

// Taken off one input and dropped on another: one move, one undo.
TEST_F(EditorUndo, ACableMovedToAnotherInputGoesBackWithOneControlZ) {
    openWithPatternAndCable();
    const Point from = centre(tag::socket(socket::VcaCv + 1));
    const Point to = centre(tag::socket(socket::VcfCv + 1));
    window_.drag(from.x, from.y, to.x, to.y, 12);
    ASSERT_TRUE(window_.settle());
    ASSERT_EQ(cords(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));
    tapControl(XK_z);
    EXPECT_EQ(cords(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcaCv}}));
}

class PlayingStep : public test::EditorWindow {
protected:
    // What a digit display shows, read from the window's pixels against the
    // skin's digit images: a digit, or '-' for the unlit glass.
    std::string shown(int tagValue) {
        gui::SkinDefinition skin;
        EXPECT_TRUE(skin.parse((folder_.path() / "Tarvik.skn").string()));
        const int bitmap = skin.bitmapIndex(tagValue);
        EXPECT_GE(bitmap, 0);
        if (bitmap < 0) return {};
        if (!digits_)
            digits_ = gui::loadPng((folder_.path() / skin.bitmapFiles()[static_cast<std::size_t>(bitmap)]).string());
        EXPECT_TRUE(digits_.has_value());
        if (!digits_) return {};
        const gui::SkinRect r = skin.getRect(tagValue);
        const int left = static_cast<int>(std::lround(r.left));
        const int top = static_cast<int>(std::lround(r.top));
        const int height = static_cast<int>(std::lround(r.bottom - r.top));
        const int width = digits_->width();
        const int images = digits_->height() / height;
        const std::vector<std::uint32_t> pixels = window_.capture();
        std::string text;
        for (int cell = 0; cell * width < static_cast<int>(std::lround(r.right - r.left)); ++cell) {
            long best = -1;
            int bestImage = 0;
            for (int image = 0; image < images; ++image) {
                long difference = 0;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const std::uint32_t a =
                            pixels[static_cast<std::size_t>(top + y) * window_.width() + left + cell * width + x];
                        const std::uint32_t b = digits_->pixel(x, image * height + y);
                        difference += std::abs(host::red(a) - host::red(b)) +
                                      std::abs(host::green(a) - host::green(b)) +
                                      std::abs(host::blue(a) - host::blue(b));
                    }
                if (best < 0 || difference < best) {
                    best = difference;
                    bestImage = image;
                }
            }
            text += bestImage < 10 ? static_cast<char>('0' + bestImage) : '-';
        }
        return text;
    }

    void render(int frames) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
        float* out[2] = {left.data(), right.data()};
        plugin_.process(nullptr, out, frames);
    }

    std::optional<gui::Bitmap> digits_;
};

// Blocks shorter than a step (a step at 120 BPM is 5512.5 samples), each
// followed by the editor catching up: the display goes through the steps one
// by one, round the pattern's end, while STEP keeps showing the edit
// position; stopped, it is dark.
TEST_F(PlayingStep, TheDisplayFollowsTheRunningSequencerAndIsDarkWhenStopped) {
    TarvikPatch p;
    p.setState(state::MidiMode, 0);
    p.setParameter(param::Tempo, tempoToParameter(120.0));
    p.patterns[0].length = 6;
    for (Step& s : p.patterns[0].steps) s = {0, step::kGate};
    restore(p);
    open();
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(shown(tag::PlayingStepDisplay), "--");

    click(tag::RunStopButton);
    std::vector<std::string> seen;
    for (int block = 0; block < 500 && seen.size() < 9; ++block) {
        render(2048);
        ASSERT_TRUE(window_.catchUp());
        const std::string now = shown(tag::PlayingStepDisplay);
        if (seen.empty() || seen.back() != now) seen.push_back(now);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"01", "02", "03", "04", "05", "06", "01", "02", "03"}));
    EXPECT_EQ(shown(tag::StepDisplay), "01") << "the edit position stays where it was";

    click(tag::RunStopButton);
    render(256);
    ASSERT_TRUE(window_.catchUp());
    EXPECT_EQ(shown(tag::PlayingStepDisplay), "--");
}

// Skins drawn before the display existed lack it: they open as they are,
// and while the sequencer runs nothing is drawn over the background there.
TEST_F(PlayingStep, ASkinWithoutTheDisplayOpensAndShowsTheBackgroundThere) {
    const gui::SkinRect r = element(tag::PlayingStepDisplay);
    useSkin([](std::string text) {
        return std::regex_replace(text, std::regex("(^|\\n)PLAYINGSTEPDISPLAY[ \t][^\\n]*"), "$1");
    });
    ASSERT_EQ(test::readWholeFile(folder_.path() / "Changed.skn").find("PLAYINGSTEPDISPLAY"), std::string::npos);
    open();
    click(tag::RunStopButton);
    render(2048);
    ASSERT_TRUE(window_.catchUp());

    const std::optional<gui::Bitmap> background = gui::loadPng((folder_.path() / "Tarvik Skin/background.png").string());
    ASSERT_TRUE(background.has_value());
    const std::vector<std::uint32_t> pixels = window_.capture();
    int differing = 0;
    for (int y = static_cast<int>(r.top); y < static_cast<int>(r.bottom); ++y)
        for (int x = static_cast<int>(r.left); x < static_cast<int>(r.right); ++x)
            if ((pixels[static_cast<std::size_t>(y) * window_.width() + x] & 0xFFFFFF) !=
                (background->pixel(x, y) & 0xFFFFFF))
                ++differing;
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace tarvik

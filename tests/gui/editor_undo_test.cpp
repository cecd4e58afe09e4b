// Taking changes back on the built binary's panel, as a user does: the
// pattern menu's entries clicked where the menu pops up, Ctrl+Z and
// Ctrl+Shift+Z, cables patched with the pointer. What changed is read back
// from the patch the host would save.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "gui/editor/editor_menus.h"
#include "gui/skin_tags.h"
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
        p.cables.set(0, {socket::MgCvOutput, socket::VcaCv});
        p.cables.setSize(1);
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

    std::vector<Connection> cables() {
        const TarvikPatch p = patch();
        std::vector<Connection> list;
        for (int i = 0; i < p.cables.size(); ++i) list.push_back(p.cables.at(i));
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
    ASSERT_TRUE(cables().empty());
    tapControl(XK_z);
    EXPECT_EQ(cables(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcaCv}}));
}

// Taken off one input and dropped on another: one move, one undo.
TEST_F(EditorUndo, ACableMovedToAnotherInputGoesBackWithOneControlZ) {
    openWithPatternAndCable();
    const Point from = centre(tag::socket(socket::VcaCv + 1));
    const Point to = centre(tag::socket(socket::VcfCv + 1));
    window_.drag(from.x, from.y, to.x, to.y, 12);
    ASSERT_TRUE(window_.settle());
    ASSERT_EQ(cables(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));
    tapControl(XK_z);
    EXPECT_EQ(cables(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcaCv}}));
}

}  // namespace
}  // namespace tarvik

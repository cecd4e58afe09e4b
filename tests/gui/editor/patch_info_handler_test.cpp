// The Patch Info panel: its text, its fade in, and its fade out after the
// close button.
#include "gui/editor/patch_info_handler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/gui/editor/panel_fixture.h"

namespace tarvik::gui {
namespace {

using H = PatchInfoHandler;
using test::rowName;

class PatchInfoTest : public test::DialogPanelFixture {
public:
    const DialogPanel& panel() const { return handler.panel(); }
    // A point of the panel's plain background.
    Point background() const { return {panel().rect().left + 10, panel().rect().bottom - 60}; }
    void idles(int count) {
        for (int i = 0; i < count; ++i) handler.idle();
    }

    PatchInfoHandler handler{frame, pictures};
};

TEST_F(PatchInfoTest, IsLaidOverTheMiddleOfTheFrameWhenShown) {
    EXPECT_FALSE(handler.isShown());
    handler.show();
    EXPECT_TRUE(inFrame(handler.panel()));
    EXPECT_EQ(panel().rect(), Rect::sized((kFrameWidth - 500) / 2, (kFrameHeight - 256) / 2, 500, 256));
    ASSERT_NE(panel().control(H::kClose), nullptr);
    EXPECT_EQ(panel().control(H::kClose)->rect(), panel().place(H::rows()[1]));
}

TEST_F(PatchInfoTest, FadesInHalfWayAtEachIdle) {
    handler.show();
    EXPECT_EQ(shown(background()), test::kWhite);
    double expected = 0.0;
    for (int i = 1; i <= 6; ++i) {
        handler.idle();
        expected += (1.0 - expected) / 2.0;
        EXPECT_DOUBLE_EQ(handler.opacity(), expected) << "idle " << i;
        // The background (40, 40, 40) over the white frame at 0.98 of the opacity.
        const double blue = 255.0 + (40.0 - 255.0) * 0.98 * expected;
        EXPECT_NEAR(static_cast<double>(shown(background()) & 0xFF), blue, 1.5) << "idle " << i;
    }
}

TEST_F(PatchInfoTest, NeverDrawsQuiteOpaque) {
    handler.show();
    idles(60);
    EXPECT_NEAR(panel().drawAlpha(), 0.98, 1e-9);
    EXPECT_NEAR(static_cast<double>(shown(background()) & 0xFF), 255.0 + (40.0 - 255.0) * 0.98, 1.5);
}

TEST_F(PatchInfoTest, TheCloseButtonFadesItOutAndItLeavesOnceBelowATenth) {
    handler.show();
    idles(20);
    clickControl(panel(), H::kClose);
    EXPECT_TRUE(handler.isShown());
    bool gone = false;
    for (int i = 0; i < 10 && !gone; ++i) {
        const double before = handler.opacity();
        handler.idle();
        const double after = before / 2.0;
        gone = !handler.isShown();
        EXPECT_EQ(gone, after < 0.1) << "idle " << i << " from " << before;
    }
    EXPECT_TRUE(gone);
    EXPECT_FALSE(inFrame(handler.panel()));
}

TEST_F(PatchInfoTest, ShowingAgainWhileFadingOutFadesBackIn) {
    handler.show();
    idles(20);
    clickControl(panel(), H::kClose);
    idles(2);
    const double low = handler.opacity();
    handler.show();
    handler.idle();
    EXPECT_GT(handler.opacity(), low);
    idles(20);
    EXPECT_TRUE(handler.isShown());
}

TEST_F(PatchInfoTest, ShownAfterFadingOutItStartsFromNothing) {
    handler.show();
    idles(20);
    handler.fadeOut();
    idles(20);
    ASSERT_FALSE(handler.isShown());
    handler.show();
    EXPECT_EQ(shown(background()), test::kWhite);
}

// --- The text.

struct TextCase {
    std::string name;
    std::string input;
    std::string expected;
    friend void PrintTo(const TextCase& row, std::ostream* out) { *out << row.name; }
};

class PatchInfoText : public PatchInfoTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(PatchInfoText, LosesItsLineBreaksButKeepsWordsApart) {
    const TextCase& c = GetParam();
    handler.setText(c.input);
    EXPECT_EQ(handler.text(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PatchInfoText,
    ::testing::Values(TextCase{"Plain", "Squelchy acid bass", "Squelchy acid bass"},
                      TextCase{"WindowsLines", "Line one\r\nLine two\r\n", "Line one Line two"},
                      TextCase{"UnixLines", "a\nb\nc", "a b c"}, TextCase{"OldMacLines", "a\rb", "a b"},
                      TextCase{"BreakAfterASpace", "a \r\nb", "a b"},
                      TextCase{"ParagraphBreak", "a\n\n\nb", "a b"},
                      TextCase{"OnlyBreaks", "\r\n\r\n", ""},
                      TextCase{"BreaksDoNotCountTowardsTheLimit", std::string(10, '\n') + std::string(1023, 'x'),
                               std::string(1023, 'x')},
                      TextCase{"CutAtTheLimit", std::string(1100, 'x'), std::string(1023, 'x')}),
    rowName<TextCase>);

TEST_F(PatchInfoTest, APatchRecordWithoutItsEndIsReadNoFurther) {
    PatchInfo info{};
    std::memset(info.text, 'y', sizeof info.text);
    info.value = 0x41414141;
    handler.setText(info);
    EXPECT_EQ(handler.text(), std::string(1023, 'y'));
}

TEST_F(PatchInfoTest, APatchTextIsShown) {
    PatchInfo info{};
    std::strcpy(info.text, "Made for the\r\nlate night set");
    handler.setText(info);
    EXPECT_EQ(handler.text(), "Made for the late night set");
}

TEST_F(PatchInfoTest, TheTextIsPrintedInItsAreaInsideThePanel) {
    handler.setText(std::string(300, 'W'));
    handler.show();
    idles(20);
    paintAll(frame, canvas);
    const Rect area = H::kTextArea.offset(panel().origin().x, panel().origin().y).intersection(panel().rect());
    const std::uint32_t plain = canvas.pixel(background().x, background().y);
    bool ink = false;
    for (int y = area.top; y < area.top + 15 && !ink; ++y)
        for (int x = area.left; x < area.left + 60 && !ink; ++x) ink = canvas.pixel(x, y) != plain;
    EXPECT_TRUE(ink);
    // Nothing of it shows below the panel.
    for (int x = area.left; x < area.right; ++x) ASSERT_EQ(canvas.pixel(x, panel().rect().bottom + 1), test::kWhite);
}

TEST_F(PatchInfoTest, EveryCharacterOfTheLongestTextCanBeScrolledIntoView) {
    std::string text;
    while (text.size() < MultiLineText::kMaxLength) text += "Acid line with slides ";
    handler.setText(text);
    handler.show();
    idles(20);
    paintAll(frame, canvas);
    const Rect area = H::kTextArea.offset(panel().origin().x, panel().origin().y);
    EXPECT_TRUE(panel().rect().contains(area)) << "the text is inside the panel, not cut by its edge";
    const auto* shown = dynamic_cast<const MultiLineText*>(frame.findAt(area.centre(), [](View& v) {
        return dynamic_cast<MultiLineText*>(&v) != nullptr;
    }));
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(shown->overflows());
    for (int notch = 0; notch < 100 && shown->firstLine() + shown->visibleLines() < shown->lineCount(); ++notch) {
        frame.wheel(test::mouseAt(area.centre()), -1.0);
        paintAll(frame, canvas);
    }
    EXPECT_EQ(shown->firstLine() + shown->visibleLines(), shown->lineCount()) << "the last line comes into view";
}

}  // namespace
}  // namespace tarvik::gui

#include "gui/toolkit/controls/question_panel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "gui/toolkit/controls/digit_display.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

const Rect kFrameArea = Rect::sized(0, 0, 600, 400);
const Rect kUnderneath = Rect::sized(10, 10, 40, 40);  // a button in the backdrop's corner

// A panel with a button, a question panel over it, and the answers heard.
class QuestionPanelTest : public ::testing::Test {
protected:
    QuestionPanelTest() {
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        beneath = &frame.add(std::make_unique<KickButton>(kUnderneath, &listener, 5, &images));
        panel = &frame.add(std::make_unique<QuestionPanel>(kFrameArea));
    }

    QuestionPanel::Answer record() {
        return [this](bool yes) { answers.push_back(yes); };
    }
    void click(Point p) {
        frame.mouseDown(test::mouseAt(p));
        frame.mouseUp(test::mouseAt(p));
    }
    bool key(int virtualKey) { return panel->onKeyDown(KeyEvent{0, virtualKey, 0}); }

    Bitmap images = test::stackedImages(40, 40, 2);
    Frame frame{kFrameArea};
    test::RecordingListener listener;
    test::Canvas canvas{600, 400};
    KickButton* beneath = nullptr;
    QuestionPanel* panel = nullptr;
    std::vector<bool> answers;
};

TEST_F(QuestionPanelTest, HiddenUntilAsked) {
    EXPECT_FALSE(panel->isOpen());
    EXPECT_FALSE(panel->isVisible());
    click(kUnderneath.centre());
    EXPECT_FALSE(listener.reports.empty()) << "a closed panel lets clicks through";
}

struct AnswerCase {
    const char* name;
    bool byKey;
    bool yes;
    friend void PrintTo(const AnswerCase& row, std::ostream* out) { *out << row.name; }
};

class QuestionPanelAnswer : public QuestionPanelTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(QuestionPanelAnswer, HeardOnceAndTheQuestionCloses) {
    const AnswerCase& c = GetParam();
    panel->ask("Tarvik", "Clear the pattern?", record());
    ASSERT_TRUE(panel->isOpen());
    if (c.byKey)
        key(c.yes ? vkey::kReturn : vkey::kEscape);
    else
        click((c.yes ? panel->yesButton() : panel->noButton()).centre());
    EXPECT_EQ(answers, std::vector<bool>{c.yes});
    EXPECT_FALSE(panel->isOpen());
    // Nothing more is heard however the user goes on.
    key(vkey::kReturn);
    click(panel->yesButton().centre());
    EXPECT_EQ(answers, std::vector<bool>{c.yes});
}

INSTANTIATE_TEST_SUITE_P(Cases, QuestionPanelAnswer,
                         ::testing::Values(AnswerCase{"YesButton", false, true}, AnswerCase{"NoButton", false, false},
                                           AnswerCase{"ReturnKey", true, true}, AnswerCase{"EscapeKey", true, false}),
                         test::rowName<AnswerCase>);

TEST_F(QuestionPanelTest, TheBackdropSwallowsClicksAndWheel) {
    // A display that takes the wheel, beneath the backdrop too.
    Bitmap digitImages = test::stackedImages(10, 20, DigitDisplay::kDigitImages);
    const Rect digitsArea = Rect::sized(10, 300, 20, 20);
    DigitDisplay& digits = frame.add(std::make_unique<DigitDisplay>(digitsArea, &listener, 8, &digitImages));
    digits.setRange(0.0f, 999.0f);
    panel->ask("Tarvik", "Sure?", record());
    click(kUnderneath.centre());
    frame.wheel(test::mouseAt(digitsArea.centre()), 1.0);
    click(panel->box().centre());  // inside the box but on no button
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(panel->isOpen());
}

TEST_F(QuestionPanelTest, AReleaseAwayFromTheButtonIsNoAnswer) {
    panel->ask("Tarvik", "Sure?", record());
    frame.mouseDown(test::mouseAt(panel->yesButton().centre()));
    frame.mouseMoved(test::mouseAt(panel->box().centre()));
    frame.mouseUp(test::mouseAt(panel->box().centre()));
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(panel->isOpen());
}

TEST_F(QuestionPanelTest, TakesEveryKeyWhileOpenAndNoneWhenClosed) {
    panel->ask("Tarvik", "Sure?", record());
    EXPECT_TRUE(key(vkey::kSpace)) << "no shortcut of the panel beneath runs";
    EXPECT_TRUE(answers.empty());
    key(vkey::kEscape);
    EXPECT_FALSE(key(vkey::kSpace));
}

TEST_F(QuestionPanelTest, AMessageHasOneOkButton) {
    bool done = false;
    panel->tell("Tarvik Error", "Could not save patch.", [&](bool) { done = true; });
    EXPECT_TRUE(panel->noButton().empty());
    click(panel->yesButton().centre());
    EXPECT_TRUE(done);
    EXPECT_FALSE(panel->isOpen());
}

TEST_F(QuestionPanelTest, EscapeDismissesAMessage) {
    panel->tell("Tarvik", "Done.");
    key(vkey::kEscape);
    EXPECT_FALSE(panel->isOpen());
}

TEST_F(QuestionPanelTest, QuestionsAskedMeanwhileWaitTheirTurn) {
    std::vector<std::string> heard;
    panel->ask("First", "1?", [&](bool yes) { heard.push_back(std::string("first ") + (yes ? "yes" : "no")); });
    panel->ask("Second", "2?", [&](bool yes) { heard.push_back(std::string("second ") + (yes ? "yes" : "no")); });
    EXPECT_EQ(panel->title(), "First");
    key(vkey::kReturn);
    EXPECT_EQ(panel->title(), "Second");
    key(vkey::kEscape);
    EXPECT_EQ(heard, (std::vector<std::string>{"first yes", "second no"}));
    EXPECT_FALSE(panel->isOpen());
}

TEST_F(QuestionPanelTest, AnAnswerMayAskAgain) {
    panel->ask("First", "1?", [&](bool) { panel->ask("Then", "2?", record()); });
    click(panel->yesButton().centre());
    ASSERT_TRUE(panel->isOpen());
    EXPECT_EQ(panel->title(), "Then");
    click(panel->noButton().centre());
    EXPECT_EQ(answers, std::vector<bool>{false});
}

TEST_F(QuestionPanelTest, ComesOnTopOfViewsAddedAfterIt) {
    Bitmap later = test::stackedImages(40, 40, 1);
    test::RecordingListener laterListener;
    KickButton& lateButton = frame.add(std::make_unique<KickButton>(Rect::sized(60, 10, 40, 40), &laterListener, 6, &later));
    panel->ask("Tarvik", "Sure?", record());
    click(lateButton.rect().centre());
    EXPECT_TRUE(laterListener.reports.empty());
}

TEST_F(QuestionPanelTest, DimsThePanelAndDrawsTheBox) {
    test::paintAll(frame, canvas);
    const std::uint32_t before = canvas.pixel(300, 5);
    panel->ask("Tarvik", "Sure?", record());
    test::paintAll(frame, canvas);
    EXPECT_LT(canvas.pixel(300, 5) & 0xFFu, before & 0xFFu) << "the backdrop darkens the panel";
    key(vkey::kReturn);
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(300, 5), before) << "and goes with the question";
}

}  // namespace
}  // namespace tarvik::gui

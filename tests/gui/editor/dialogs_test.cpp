#include "gui/editor/dialogs.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

// On Linux the questions are drawn in the frame: ask returns at once and the
// answer comes with the user's click or key.
class DialogsTest : public ::testing::Test {
protected:
    const QuestionPanel* openPanel() const {
        for (const auto& child : frame.children())
            if (const auto* p = dynamic_cast<const QuestionPanel*>(child.get()); p && p->isOpen()) return p;
        return nullptr;
    }
    void click(Point p) {
        frame.mouseDown(test::mouseAt(p));
        frame.mouseUp(test::mouseAt(p));
    }

    Frame frame{Rect::sized(0, 0, 500, 300)};
    Dialogs dialogs{frame, nullptr};
    std::vector<bool> answers;
};

TEST_F(DialogsTest, AskReturnsAtOnceAndTheClickAnswers) {
    dialogs.ask("Sonvarde Kelvane Pro", "Show this dialog again?", [&](bool yes) { answers.push_back(yes); });
    EXPECT_TRUE(answers.empty()) << "nothing waits for the user";
    ASSERT_TRUE(dialogs.questionOpen());
    const QuestionPanel* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->text(), "Show this dialog again?");
    click(panel->noButton().centre());
    EXPECT_EQ(answers, std::vector<bool>{false});
    EXPECT_FALSE(dialogs.questionOpen());
}

TEST_F(DialogsTest, KeysGoToTheOpenQuestionFirst) {
    EXPECT_FALSE(dialogs.handleKey(KeyEvent{'a', 0, 0})) << "no question: the editor's shortcuts run";
    dialogs.ask("Tarvik", "Sure?", [&](bool yes) { answers.push_back(yes); });
    EXPECT_TRUE(dialogs.handleKey(KeyEvent{'a', 0, 0}));
    EXPECT_TRUE(dialogs.handleKey(KeyEvent{0, vkey::kReturn, 0}));
    EXPECT_EQ(answers, std::vector<bool>{true});
}

TEST_F(DialogsTest, TellShowsAMessageUntilDismissed) {
    dialogs.tell("Tarvik Error", "Could not save patch.");
    ASSERT_TRUE(dialogs.questionOpen());
    EXPECT_EQ(openPanel()->title(), "Tarvik Error");
    dialogs.handleKey(KeyEvent{0, vkey::kReturn, 0});
    EXPECT_FALSE(dialogs.questionOpen());
}

}  // namespace
}  // namespace tarvik::gui

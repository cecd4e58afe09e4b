// Panels made from row tables: placement, the program's pictures, clipping,
// opacity, and the panel shielding what lies beneath it.
#include "gui/editor/dialog_panel.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "gui/editor/program_resources.h"
#include "gui/toolkit/controls/buttons.h"
#include "gui/toolkit/controls/click_button.h"
#include "gui/toolkit/controls/text_label.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::mouseAt;

// --- The pictures built into the program.

struct PictureCase {
    std::string name;
    const char* file;
    int width;
    int imageHeight;  // as high as the controls that use it
    int images;
    friend void PrintTo(const PictureCase& row, std::ostream* out) { *out << row.name; }
};

class ProgramPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(ProgramPicture, IsCompiledInAtTheSizeThePanelsPlaceIt) {
    const PictureCase& c = GetParam();
    const std::optional<Bitmap> picture = programPicture(c.file);
    ASSERT_TRUE(picture.has_value()) << c.file << " is not compiled in or does not decode";
    EXPECT_EQ(picture->width(), c.width);
    EXPECT_EQ(picture->height(), c.imageHeight * c.images);
}

// The check box fits the 16-pixel rows, the close button and the spin box
// their 20 x 20 and 67 x 18 rows; the rule is as long as the panels' rules.
INSTANTIATE_TEST_SUITE_P(Files, ProgramPicture,
                         ::testing::Values(PictureCase{"CheckBox", PanelPictures::kCheckBoxFile, 16, 16, 2},
                                           PictureCase{"CloseButton", PanelPictures::kCloseButtonFile, 20, 20, 2},
                                           PictureCase{"SpinBox", PanelPictures::kSpinBoxFile, 67, 18, 1},
                                           PictureCase{"Rule", PanelPictures::kRuleFile, 602, 2, 1}),
                         test::rowName<PictureCase>);

TEST(ProgramPictures, AnUnknownNameGivesNothing) { EXPECT_FALSE(programPicture("Tarvik.skn").has_value()); }

TEST(ProgramPictures, TheCheckBoxImagesDiffer) {
    const PanelPictures pictures = PanelPictures::fromProgram();
    const Bitmap& box = pictures.checkBox;
    ASSERT_FALSE(box.empty());
    const int half = box.height() / 2;
    bool differ = false;
    for (int y = 0; y < half && !differ; ++y)
        for (int x = 0; x < box.width() && !differ; ++x) differ = box.pixel(x, y) != box.pixel(x, y + half);
    EXPECT_TRUE(differ);
}

// --- A panel of a few rows over a frame with a button of the main panel.

class NullListener : public ControlListener {
public:
    void valueChanged(Control& control) override { heard.push_back(control.tag()); }
    std::vector<int> heard;
};

constexpr std::array kRows = {
    PanelRow{RowType::Title, 0, "Panel", 20, 8, 200, 32},
    PanelRow{RowType::CheckBox, 1, "Option", 50, 64, 200, 16},
    PanelRow{RowType::RightLabel, 0, "Amount", 20, 100, 100, 16},
    PanelRow{RowType::SpinBox, 2, "", 130, 100, 67, 18},
    PanelRow{RowType::PushButton, 3, "Done", 100, 150, 100, 20},
    PanelRow{RowType::CloseButton, 4, "", 270, -5, 20, 20},
    PanelRow{RowType::Rule, 0, "", 20, 40, 400, 2},
};

class DialogPanelTest : public ::testing::Test {
protected:
    static constexpr Rect kFrame{0, 0, 400, 300};
    static constexpr Color kPanelGrey{40, 40, 40};

    DialogPanelTest() {
        frame.setBackgroundColor(test::colorOf(test::kWhite));
        owned = std::make_unique<DialogPanel>(kFrame, 300, 200, kPanelGrey, kRows, pictures, listener);
        panel = owned.get();
    }
    void show() { frame.add(std::move(owned)); }
    std::uint32_t shown(Point p) {
        test::paintAll(frame, canvas);
        return canvas.pixel(p.x, p.y);
    }

    Frame frame{kFrame};
    test::Canvas canvas{400, 300};
    PanelPictures pictures = PanelPictures::fromProgram();
    NullListener listener;
    std::unique_ptr<DialogPanel> owned;
    DialogPanel* panel = nullptr;
};

TEST_F(DialogPanelTest, IsCentredOnTheFrame) { EXPECT_EQ(panel->rect(), Rect::sized(50, 50, 300, 200)); }

TEST_F(DialogPanelTest, PlacesEachRowRelativeToItsCorner) {
    ASSERT_NE(panel->control(3), nullptr);
    EXPECT_EQ(panel->control(3)->rect(), Rect::sized(150, 200, 100, 20));
    EXPECT_EQ(panel->checkBox(1)->rect(), Rect::sized(100, 114, 200, 16));
    EXPECT_EQ(panel->spinBox(2)->rect(), Rect::sized(180, 150, 67, 18));
    EXPECT_NE(dynamic_cast<TextButton*>(panel->control(3)), nullptr);
    EXPECT_NE(dynamic_cast<ImageButton*>(panel->control(4)), nullptr);
}

TEST_F(DialogPanelTest, RowsWithoutAnIdAreNoControls) {
    EXPECT_EQ(panel->control(0), nullptr);
    EXPECT_EQ(panel->checkBox(2), nullptr);  // a spin box, not a check box
}

TEST_F(DialogPanelTest, PaintsItsBackgroundAndLabels) {
    show();
    EXPECT_EQ(shown({60, 250 - 3}), 0xFF282828u);
    // The title's label frame is (60, 60, 60).
    EXPECT_EQ(shown({70, 58 + 16}), 0xFF3C3C3Cu);
}

TEST_F(DialogPanelTest, ARowPastTheEdgeIsCutThere) {
    show();
    // The close button starts 5 pixels above the panel: those stay the frame's.
    EXPECT_EQ(shown({330, 47}), test::kWhite);
    EXPECT_NE(shown({330, 52}), 0xFF282828u);
}

TEST_F(DialogPanelTest, DrawsEverythingAtItsOpacity) {
    show();
    panel->setDrawAlpha(0.5);
    // (40, 40, 40) half over white.
    const std::uint32_t pixel = shown({60, 247});
    EXPECT_NEAR(static_cast<int>(pixel & 0xFF), (40 + 255) / 2, 1);
    // After the panel the frame draws at full strength again.
    EXPECT_EQ(shown({10, 10}), test::kWhite);
}

TEST_F(DialogPanelTest, TakesPressesSoNothingBeneathMoves) {
    test::RecordingListener below;
    Bitmap picture = test::stackedImages(40, 40, 2);
    OnOffButton& beneath = frame.add(std::make_unique<OnOffButton>(Rect::sized(300, 200, 40, 40), &below, 5, &picture));
    show();
    frame.mouseDown(mouseAt({320, 220}));
    frame.wheel(mouseAt({320, 220}), 1.0);
    EXPECT_TRUE(below.reports.empty());
    EXPECT_FLOAT_EQ(beneath.value(), 0.0f);
}

TEST_F(DialogPanelTest, ItsControlsReportToItsListener) {
    show();
    frame.mouseDown(mouseAt({110, 122}));
    EXPECT_EQ(listener.heard, (std::vector<int>{1}));
}

TEST_F(DialogPanelTest, AViewAddedInsideIsDrawnWithinTheOpacity) {
    auto& label = panel->addInside(std::make_unique<TextLabel>(Rect::sized(60, 220, 100, 20)));
    label.setBackground(Color{0, 0, 255});
    show();
    panel->setDrawAlpha(0.0);
    EXPECT_EQ(shown({70, 230}), test::kWhite);
    panel->setDrawAlpha(1.0);
    EXPECT_EQ(shown({70, 230}), test::kBlue);
}

// --- PanelSlot.

TEST_F(DialogPanelTest, ASlotAddsThePanelOnTopAndTakesItBack) {
    PanelSlot slot(frame, std::move(owned));
    frame.add(std::make_unique<TextLabel>(Rect::sized(0, 0, 10, 10)));
    EXPECT_FALSE(slot.shown());
    slot.show();
    EXPECT_TRUE(slot.shown());
    EXPECT_EQ(frame.children().back().get(), panel);
    slot.show();
    EXPECT_EQ(frame.children().size(), 2u);
    slot.hide();
    EXPECT_FALSE(slot.shown());
    EXPECT_EQ(frame.children().size(), 1u);
    EXPECT_EQ(&slot.panel(), panel);
}

TEST_F(DialogPanelTest, ASlotThatGoesTakesItsPanelOutOfTheFrame) {
    {
        PanelSlot slot(frame, std::move(owned));
        slot.show();
    }
    EXPECT_TRUE(frame.children().empty());
}

}  // namespace
}  // namespace tarvik::gui

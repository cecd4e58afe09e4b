// A headless editor frame of the default size with a real instrument behind
// it (in a throw-away data folder) and the program's own panel pictures, for
// the tests of the dialog panels.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gui/editor/dialog_panel.h"
#include "gui/toolkit/controls/click_button.h"
#include "gui/toolkit/frame.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"
#include "tests/support/test_instrument.h"

namespace tarvik::gui::test {

// A row of a panel's table: the control with this id, where it must stand
// relative to the panel and the text it must show.
struct PlaceCase {
    std::string name;
    int id;
    std::string text;
    Rect place;
    friend void PrintTo(const PlaceCase& row, std::ostream* out) { *out << row.name; }
};

class DialogPanelFixture : public ::testing::Test {
public:
    static constexpr int kFrameWidth = 755;
    static constexpr int kFrameHeight = 525;

    DialogPanelFixture() { frame.setBackgroundColor(colorOf(kWhite)); }

    ControlFace& control() { return instrument.control(); }

    void press(Point p) { frame.mouseDown(mouseAt(p)); }
    void release(Point p) { frame.mouseUp(mouseAt(p)); }
    void click(Point p) {
        press(p);
        release(p);
    }
    // A click on the middle of a panel's control.
    void clickControl(const DialogPanel& panel, int id) {
        ASSERT_NE(panel.control(id), nullptr) << "no control " << id;
        click(panel.control(id)->rect().centre());
    }
    // Drags a spin box vertically by `rise` pixels (up for positive).
    void dragSpin(const DialogPanel& panel, int id, int rise) {
        ASSERT_NE(panel.spinBox(id), nullptr) << "no spin box " << id;
        const Point from = panel.spinBox(id)->rect().centre();
        const Point to{from.x, from.y - rise};
        press(from);
        frame.mouseMoved(mouseAt(to));
        release(to);
    }
    // A control's place relative to its panel's corner, and its text.
    static Rect placeIn(const DialogPanel& panel, const Control& control) {
        return control.rect().offset(-panel.origin().x, -panel.origin().y);
    }
    static std::string textOf(const Control& control) {
        if (const auto* box = dynamic_cast<const CheckBox*>(&control)) return box->text();
        if (const auto* button = dynamic_cast<const TextButton*>(&control)) return button->text();
        return {};
    }
    static void expectPlaced(const DialogPanel& panel, const PlaceCase& c) {
        const Control* control = panel.control(c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(placeIn(panel, *control), c.place);
        EXPECT_EQ(textOf(*control), c.text);
    }
    bool inFrame(const View& view) const {
        for (const auto& child : frame.children())
            if (child.get() == &view) return true;
        return false;
    }
    std::uint32_t shown(Point p) {
        paintAll(frame, canvas);
        return canvas.pixel(p.x, p.y);
    }

    tarvik::test::TestInstrument instrument;
    Frame frame{Rect::sized(0, 0, kFrameWidth, kFrameHeight)};
    Canvas canvas{kFrameWidth, kFrameHeight};
    PanelPictures pictures = PanelPictures::fromProgram();
};

}  // namespace tarvik::gui::test

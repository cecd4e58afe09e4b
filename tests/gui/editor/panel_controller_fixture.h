// The panel's behaviour without a window: a real instrument (in a
// throw-away data folder) behind a panel controller over a frame that has
// no window and a panel without skin, so that commands run as the menus and
// keys give them, and controls a test adds report to the controller as the
// skin's would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gui/editor/panel.h"
#include "gui/editor/panel_controller.h"
#include "gui/editor/patch_field.h"
#include "gui/skin_definition.h"
#include "gui/toolkit/frame.h"
#include "tests/support/test_instrument.h"

namespace tarvik::gui::test {

class PanelControllerFixture : public ::testing::Test {
protected:
    PanelControllerFixture() { controller.addDialogs(nullptr, nullptr); }

    ControlFace& control() { return instrument.control(); }
    PatternEditing& patterns() { return control().patterns(); }

    tarvik::test::TestInstrument instrument;
    GuiPreferences preferences;
    Frame frame{Rect::sized(0, 0, 755, 525)};
    SkinDefinition skin;
    std::vector<Bitmap> bitmaps;
    Panel panel{skin, bitmaps};
    PatchField field{control().cables(), preferences, 17u};
    PanelController controller{control(), preferences, frame, panel, field, "Default"};
};

}  // namespace tarvik::gui::test

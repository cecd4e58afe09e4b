// The panels the editor lays over the middle of its frame (Preferences,
// Advanced Random, Patch Info). Each is a container filled from a fixed
// table of rows, every row one control placed relative to the panel's
// top-left corner. Its controls report to the panel's handler, never to the
// editor, so their ids need not differ from the main panel's tags.
//
// The panel keeps everything it holds inside its rectangle, as a dialog's
// frame does (a row reaching past the edge is cut there), and draws all of
// it, background included, at one opacity, so that a panel can fade. It
// takes every press and wheel turn that reaches it, so nothing beneath it
// moves while it is shown.
//
// Panel text is meant to be Verdana; the draw contexts print DejaVu Sans,
// the editor's one family, which stands in for it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/container.h"
#include "gui/toolkit/control.h"
#include "gui/toolkit/controls/check_box.h"
#include "gui/toolkit/controls/spin_box.h"
#include "gui/toolkit/frame.h"

namespace tarvik::gui {

enum class RowType : std::int32_t {
    CheckBox = 0,     // a check box with its text
    PushButton = 4,   // a text button
    CloseButton = 7,  // a picture button of two images
    Title = 9,        // the panel's title, left aligned in a large font
    RightLabel = 11,  // a label, right aligned
    SpinBox = 14,
    Rule = 15,  // a horizontal line
};

struct PanelRow {
    RowType type;
    std::int32_t id;  // the control's tag; 0 for rows nobody asks for
    const char* text;
    std::int32_t x;  // relative to the panel's top-left corner
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// The program's own pictures the panels draw, decoded once per open editor;
// they must outlive every panel made with them. A picture that is not
// compiled in is an empty bitmap, and its controls draw without it.
struct PanelPictures {
    static constexpr const char* kCheckBoxFile = "CheckBox.png";
    static constexpr const char* kCloseButtonFile = "closebutton.png";
    static constexpr const char* kSpinBoxFile = "spinbox.png";
    static constexpr const char* kRuleFile = "horizontalline.png";

    Bitmap checkBox;
    Bitmap closeButton;
    Bitmap spinBox;
    Bitmap rule;

    static PanelPictures fromProgram();
};

// How the panels print: light text on the panel grey in a faint frame.
namespace panel_style {
inline constexpr Color kText{240, 240, 240};
inline constexpr Color kLabelBackground{40, 40, 40};
inline constexpr Color kLabelFrame{60, 60, 60};
inline constexpr Font kTitleFont{16.0, true};
inline constexpr Font kTextFont{11.0, false};
}  // namespace panel_style

class DialogPanel : public Container {
public:
    // A panel of width x height centred on `frameArea`, made from `rows`;
    // its controls report to `listener`.
    DialogPanel(const Rect& frameArea, int width, int height, Color background, std::span<const PanelRow> rows,
                const PanelPictures& pictures, ControlListener& listener);
    ~DialogPanel() override;

    // The panel's top-left corner in the frame.
    Point origin() const { return {rect().left, rect().top}; }
    // A row's rectangle in the frame.
    Rect place(const PanelRow& row) const;

    // The control of a row by its id; null for none (and for id 0).
    Control* control(int id) const;
    CheckBox* checkBox(int id) const;
    SpinBox* spinBox(int id) const;

    // Adds a view of the caller's (placed in frame coordinates) on top of
    // the rows, inside the panel's clip and opacity.
    template <typename T>
    T& addInside(std::unique_ptr<T> view) {
        T& kept = *view;
        insertBeforeEnd(std::move(view));
        return kept;
    }

    // Everything is drawn at this opacity, 0..1 (1 at the start).
    double drawAlpha() const { return drawAlpha_; }
    void setDrawAlpha(double alpha);
    Color background() const { return background_; }

    MouseResult onMouseDown(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;

private:
    void addRow(const PanelRow& row, const PanelPictures& pictures, ControlListener& listener);
    void insertBeforeEnd(std::unique_ptr<View> view);

    Color background_;
    double drawAlpha_ = 1.0;
    std::map<int, Control*> controls_;
    View* end_ = nullptr;  // the last child: it ends the clip and the opacity
};

// Where a panel lives: with its handler while hidden, in the frame while
// shown (on top of everything there). The frame must outlive the slot; a
// slot that goes while its panel is shown takes the panel out of the frame.
class PanelSlot {
public:
    PanelSlot(Frame& frame, std::unique_ptr<DialogPanel> panel);
    ~PanelSlot();
    PanelSlot(const PanelSlot&) = delete;
    PanelSlot& operator=(const PanelSlot&) = delete;

    DialogPanel& panel() const { return *panel_; }
    bool shown() const { return owned_ == nullptr; }
    // Nothing happens when the panel already is where it is asked to be.
    void show();
    void hide();

private:
    Frame& frame_;
    std::unique_ptr<DialogPanel> owned_;
    DialogPanel* panel_;
};

}  // namespace tarvik::gui

#include "gui/editor/dialog_panel.h"

#include <string>
#include <utility>

#include "gui/editor/program_resources.h"
#include "gui/toolkit/controls/click_button.h"
#include "gui/toolkit/controls/rule.h"
#include "gui/toolkit/controls/text_label.h"

namespace tarvik::gui {

namespace {

Bitmap pictureOrEmpty(const char* file) {
    std::optional<Bitmap> picture = programPicture(file);
    return picture ? std::move(*picture) : Bitmap{};
}

// The first child: what follows it is clipped to the panel and drawn at the
// panel's opacity, over the panel's background painted at that opacity too.
class DrawBegin : public View {
public:
    explicit DrawBegin(const DialogPanel& panel) : View(panel.rect()), panel_(panel) {}
    bool hitTest(Point) const override { return false; }
    void draw(DrawContext& context) override {
        context.save();
        context.clip(panel_.rect());
        context.setGlobalAlpha(panel_.drawAlpha());
        context.fillRect(panel_.rect(), panel_.background());
    }

private:
    const DialogPanel& panel_;
};

// The last child: back to the clip and opacity of whatever is drawn after
// the panel.
class DrawEnd : public View {
public:
    explicit DrawEnd(const Rect& rect) : View(rect) {}
    bool hitTest(Point) const override { return false; }
    void draw(DrawContext& context) override { context.restore(); }
};

class FramedLabel : public TextLabel {
public:
    FramedLabel(const Rect& rect, std::string text, const Font& font, TextAlign align)
        : TextLabel(rect, std::move(text)) {
        setStyle(font, panel_style::kText, align);
        setBackground(panel_style::kLabelBackground);
    }
    void draw(DrawContext& context) override {
        TextLabel::draw(context);
        context.frameRect(rect(), panel_style::kLabelFrame, 1.0);
    }
};

Rect centredIn(const Rect& area, int width, int height) {
    const Point c = area.centre();
    return Rect::sized(c.x - width / 2, c.y - height / 2, width, height);
}

}  // namespace

PanelPictures PanelPictures::fromProgram() {
    PanelPictures pictures;
    pictures.checkBox = pictureOrEmpty(kCheckBoxFile);
    pictures.closeButton = pictureOrEmpty(kCloseButtonFile);
    pictures.spinBox = pictureOrEmpty(kSpinBoxFile);
    pictures.rule = pictureOrEmpty(kRuleFile);
    return pictures;
}

DialogPanel::DialogPanel(const Rect& frameArea, int width, int height, Color background,
                         std::span<const PanelRow> rows, const PanelPictures& pictures, ControlListener& listener)
    : Container(centredIn(frameArea, width, height)), background_(background) {
    add(std::make_unique<DrawBegin>(*this));
    end_ = &add(std::make_unique<DrawEnd>(rect()));
    for (const PanelRow& row : rows) addRow(row, pictures, listener);
}

DialogPanel::~DialogPanel() = default;

Rect DialogPanel::place(const PanelRow& row) const {
    return Rect::sized(rect().left + row.x, rect().top + row.y, row.width, row.height);
}

void DialogPanel::insertBeforeEnd(std::unique_ptr<View> view) {
    std::unique_ptr<View> end = remove(*end_);
    add(std::move(view));
    end_ = &add(std::move(end));
}

void DialogPanel::addRow(const PanelRow& row, const PanelPictures& pictures, ControlListener& listener) {
    const Rect r = place(row);
    const std::string text = row.text ? row.text : "";
    Control* made = nullptr;
    switch (row.type) {
        case RowType::CheckBox: {
            auto& box = addInside(std::make_unique<CheckBox>(r, &listener, row.id, &pictures.checkBox, text));
            box.setTextStyle(panel_style::kTextFont, panel_style::kText);
            made = &box;
            break;
        }
        case RowType::PushButton: made = &addInside(std::make_unique<TextButton>(r, &listener, row.id, text)); break;
        case RowType::CloseButton:
            made = &addInside(std::make_unique<ImageButton>(r, &listener, row.id, &pictures.closeButton));
            break;
        case RowType::Title:
            addInside(std::make_unique<FramedLabel>(r, text, panel_style::kTitleFont, TextAlign::Left));
            break;
        case RowType::RightLabel:
            addInside(std::make_unique<FramedLabel>(r, text, panel_style::kTextFont, TextAlign::Right));
            break;
        case RowType::SpinBox: made = &addInside(std::make_unique<SpinBox>(r, &listener, row.id, &pictures.spinBox)); break;
        case RowType::Rule: addInside(std::make_unique<Rule>(r, &pictures.rule)); break;
    }
    if (made && row.id != 0) controls_[row.id] = made;
}

Control* DialogPanel::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

CheckBox* DialogPanel::checkBox(int id) const { return dynamic_cast<CheckBox*>(control(id)); }

SpinBox* DialogPanel::spinBox(int id) const { return dynamic_cast<SpinBox*>(control(id)); }

void DialogPanel::setDrawAlpha(double alpha) {
    const double limited = alpha < 0.0 ? 0.0 : alpha > 1.0 ? 1.0 : alpha;
    if (limited == drawAlpha_) return;
    drawAlpha_ = limited;
    invalid();
}

MouseResult DialogPanel::onMouseDown(const MouseEvent& /*event*/) { return MouseResult::Handled; }

bool DialogPanel::onWheel(const MouseEvent& /*event*/, double /*distance*/) { return true; }

PanelSlot::PanelSlot(Frame& frame, std::unique_ptr<DialogPanel> panel)
    : frame_(frame), owned_(std::move(panel)), panel_(owned_.get()) {}

PanelSlot::~PanelSlot() { hide(); }

void PanelSlot::show() {
    if (shown()) return;
    frame_.add(std::move(owned_));
}

void PanelSlot::hide() {
    if (!shown()) return;
    std::unique_ptr<View> back = frame_.remove(*panel_);
    owned_.reset(static_cast<DialogPanel*>(back.release()));
}

}  // namespace tarvik::gui

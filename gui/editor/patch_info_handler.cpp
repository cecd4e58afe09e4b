#include "gui/editor/patch_info_handler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace tarvik::gui {

namespace {

constexpr double kSettled = 1.0 / 1024.0;

constexpr std::array kRows = {
    PanelRow{RowType::Title, 0, "Patch Info", 20, 8, 400, 32},
    PanelRow{RowType::CloseButton, PatchInfoHandler::kClose, "", 465, -5, 20, 20},
};

}  // namespace

std::span<const PanelRow> PatchInfoHandler::rows() { return kRows; }

PatchInfoHandler::PatchInfoHandler(Frame& frame, const PanelPictures& pictures)
    : slot_(frame,
            std::make_unique<DialogPanel>(frame.rect(), kWidth, kHeight, kBackground, rows(), pictures, listener())) {
    const Point o = panel().origin();
    text_ = &panel().addInside(std::make_unique<MultiLineText>(kTextArea.offset(o.x, o.y)));
    text_->setStyle(panel_style::kTextFont, panel_style::kText, 15);
    panel().setDrawAlpha(kDrawShare * opacity_);
}

// The panel wraps the text itself, so line breaks go; the words on either
// side of one stay apart.
void PatchInfoHandler::setText(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    bool broken = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            broken = !kept.empty();
            continue;
        }
        if (broken && c != ' ' && kept.back() != ' ') kept += ' ';
        broken = false;
        kept += c;
    }
    text_->setText(kept);
}

void PatchInfoHandler::setText(const PatchInfo& info) {
    const char* end = std::find(std::begin(info.text), std::end(info.text), '\0');
    setText(std::string_view(info.text, static_cast<std::size_t>(end - info.text)));
}

void PatchInfoHandler::show() {
    if (!isShown()) {
        opacity_ = 0.0;
        panel().setDrawAlpha(0.0);
    }
    target_ = 1.0;
    slot_.show();
}

void PatchInfoHandler::fadeOut() { target_ = 0.0; }

void PatchInfoHandler::idle() {
    if (!isShown()) return;
    opacity_ += (target_ - opacity_) / 2.0;
    // The last invisible steps would only keep repainting the panel.
    if (std::abs(target_ - opacity_) < kSettled) opacity_ = target_;
    panel().setDrawAlpha(kDrawShare * opacity_);
    if (target_ == 0.0 && opacity_ < kGoneBelow) slot_.hide();
}

void PatchInfoHandler::valueChanged(Control& control) {
    if (control.tag() == kClose) fadeOut();
}

}  // namespace tarvik::gui

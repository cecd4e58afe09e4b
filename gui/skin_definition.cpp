#include "gui/skin_definition.h"

#include <algorithm>
#include <iterator>

#include "gui/ascii_case.h"
#include "gui/skin_tags.h"

namespace tarvik::gui {

static_assert(SkinDefinition::kMaxBitmaps >= SkinDefinition::kMaxElements,
              "every element may name a bitmap of its own, so the bitmap list never refuses one");

SkinRect SkinElement::rect() const {
    // Summed as int: two int16 values cannot overflow it.
    const int right = x + width;
    const int bottom = y + height;
    return SkinRect{static_cast<double>(std::min<int>(x, right)), static_cast<double>(std::min<int>(y, bottom)),
                    static_cast<double>(std::max<int>(x, right)), static_cast<double>(std::max<int>(y, bottom))};
}

void SkinDefinition::reset() {
    name_ = "Default";
    elements_.clear();
    bitmapFiles_.clear();
    backgroundSize_.reset();
    offsetX_ = 0;
    offsetY_ = 0;
    blendMode_ = 0;
}

bool SkinDefinition::append(SkinElement element) {
    if (elements_.size() >= kMaxElements) return false;
    element.bitmapIndex = -1;
    if (!element.bitmapFile.empty()) {
        const auto known = std::find_if(bitmapFiles_.begin(), bitmapFiles_.end(), [&](const std::string& file) {
            return equalsIgnoringCase(file, element.bitmapFile);
        });
        element.bitmapIndex = static_cast<int>(std::distance(bitmapFiles_.begin(), known));
        if (known == bitmapFiles_.end()) bitmapFiles_.push_back(element.bitmapFile);
    }
    elements_.push_back(std::move(element));
    return true;
}

const SkinElement* SkinDefinition::find(int tag) const {
    const auto found =
        std::find_if(elements_.begin(), elements_.end(), [tag](const SkinElement& element) { return element.tag == tag; });
    return found == elements_.end() ? nullptr : &*found;
}

SkinRect SkinDefinition::getRect(int tag) const {
    const SkinElement* element = find(tag);
    return element ? element->rect() : SkinRect{};
}

bool SkinDefinition::backgroundFits() const {
    const SkinElement* background = find(tag::Background);
    if (!background || !backgroundSize_) return false;
    const auto fits = [](double side) { return side >= 1 && side <= kMaxPanelSide; };
    const SkinRect r = background->rect();
    return fits(backgroundSize_->first) && fits(backgroundSize_->second) && fits(r.right) && fits(r.bottom);
}

const std::string& SkinDefinition::bitmapFile(int tag) const {
    static const std::string kNone;
    const SkinElement* element = find(tag);
    return element ? element->bitmapFile : kNone;
}

int SkinDefinition::bitmapIndex(int tag) const {
    const SkinElement* element = find(tag);
    return element ? element->bitmapIndex : -1;
}

std::optional<LedColor> SkinDefinition::ledColor(int index) const {
    if (index < 0 || index >= static_cast<int>(kNumLedColors)) return std::nullopt;
    return ledColors_[static_cast<std::size_t>(index)];
}

}  // namespace tarvik::gui

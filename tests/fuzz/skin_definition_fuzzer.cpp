// Reads each input as a skin definition, the way the editor reads one at
// open, and checks what the reader promises the editor about any skin.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gui/ascii_case.h"
#include "gui/skin_definition.h"
#include "gui/skin_tags.h"
#include "tests/fuzz/input_file.h"
#include "tests/fuzz/patch_invariants.h"

namespace {

using tarvik::fuzz::require;
using tarvik::gui::SkinDefinition;
using tarvik::gui::SkinElement;

bool knownTag(int tag) {
    for (const tarvik::gui::SkinTag& row : tarvik::gui::skinTags())
        if (row.tag == tag) return true;
    return false;
}

void requireElement(const SkinDefinition& skin, const SkinElement& element, std::vector<bool>& bitmapUsed) {
    require(knownTag(element.tag), "every element carries a tag of the table");
    require(element.elementName.size() <= SkinDefinition::kMaxElementNameLength, "element names within their room");
    require(element.bitmapFile.size() <= SkinDefinition::kMaxBitmapFileLength, "bitmap names within their room");
    const tarvik::gui::SkinRect rect = element.rect();
    require(rect.left <= rect.right && rect.top <= rect.bottom, "rectangles normalised");
    require(skin.getRect(element.tag) == skin.find(element.tag)->rect(), "getRect answers the first element");
    require((element.bitmapIndex < 0) == element.bitmapFile.empty(), "a bitmap index exactly for a bitmap name");
    if (element.bitmapIndex < 0) return;
    const auto index = static_cast<std::size_t>(element.bitmapIndex);
    require(index < skin.bitmapFiles().size(), "bitmap indexes inside the bitmap list");
    require(tarvik::gui::equalsIgnoringCase(skin.bitmapFiles()[index], element.bitmapFile),
            "the bitmap index names the element's bitmap");
    bitmapUsed[index] = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tarvik::fuzz::InputFile file;

    SkinDefinition skin;
    require(skin.parse(file.holding(data, size)), "a regular file is always read");
    require(skin.name().size() <= SkinDefinition::kMaxNameLength, "the skin name within its room");
    require(skin.elements().size() <= SkinDefinition::kMaxElements, "at most 1024 elements");
    require(skin.bitmapFiles().size() <= SkinDefinition::kMaxBitmaps, "at most 1024 bitmaps");

    std::vector<bool> bitmapUsed(skin.bitmapFiles().size(), false);
    for (const SkinElement& element : skin.elements()) requireElement(skin, element, bitmapUsed);
    for (bool used : bitmapUsed) require(used, "every listed bitmap is some element's");
    const auto bitmaps = skin.bitmapFiles();
    for (std::size_t i = 0; i < bitmaps.size(); ++i)
        for (std::size_t j = i + 1; j < bitmaps.size(); ++j)
            require(!tarvik::gui::equalsIgnoringCase(bitmaps[i], bitmaps[j]), "each bitmap listed once");
    return 0;
}

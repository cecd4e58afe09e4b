// A skin definition ("*.skn"): where each control of the panel sits and which
// picture draws it. Skins are written by hand and passed around, so the
// reader takes whatever a file holds: it keeps what it can make sense of,
// skips what it cannot, and never lets a file grow the definition beyond its
// fixed room.
//
// The file is a run of keywords and element lines; letter case does not
// matter in either:
//
//   ; a comment, up to the end of its line
//   NAME "Dark Steel"
//   VERSION 2                       lines with an own name become readable
//   OFFSET 10, 20                   added to the position of later lines
//   CUTOFFKNOB "knob.png", x, y, width, height
//   myKnob CUTOFFKNOB "knob.png", x, y, width, height, extra1, extra2, extra3
//                                   a line with an own name: version 2 only,
//                                   earlier versions pass over it whole
//   INCLUDE "base.skn"              starts over from that file's elements
//   TRANSPARENTCOLOR r, g, b    CABLETINT r, g, b    CABLETYPE n
//   CROSSFADE n  or  BLENDMODE n    LEDCOLOR index, r, g, b
//
// Loading the pictures is the editor's business: the definition only names
// them (bitmapFiles), and tells which of them an element uses.
//
// The BACKGROUND line gives the panel its size. A panel larger than
// kMaxPanelSide on either side fits no screen, and its pictures alone would
// take gigabytes; such a skin, like one without a BACKGROUND line, is
// refused before anything is drawn (backgroundFits).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::gui {

struct SkinRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    bool operator==(const SkinRect&) const = default;
};

struct SkinColor {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const SkinColor&) const = default;
};

struct LedColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;

    bool operator==(const LedColor&) const = default;
};

struct SkinElement {
    int tag = -1;
    std::string elementName;  // the line's own name, if it had one
    std::string bitmapFile;   // relative to the data folder; empty for none
    int bitmapIndex = -1;     // into SkinDefinition::bitmapFiles(); -1 for none
    // The offset in force when the line was read is already added. A
    // negative size flips the corner: see rect().
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int32_t extra1 = 0;  // lines with an own name only
    std::int32_t extra2 = 0;
    std::int32_t extra3 = 0;

    // Left never beyond right, top never below bottom.
    SkinRect rect() const;

    bool operator==(const SkinElement&) const = default;
};

class SkinDefinition {
public:
    static constexpr std::size_t kMaxElements = 1024;
    static constexpr std::size_t kMaxBitmaps = 1024;
    static constexpr std::size_t kMaxNameLength = 255;
    static constexpr std::size_t kMaxElementNameLength = 255;
    static constexpr std::size_t kMaxBitmapFileLength = 255;
    static constexpr std::size_t kNumLedColors = 256;
    // How deep INCLUDE lines may nest: a file that includes itself, directly
    // or round a cycle, stops there at the latest.
    static constexpr int kMaxIncludeDepth = 8;
    // The widest and tallest panel the editor shows, in pixels.
    static constexpr int kMaxPanelSide = 4096;

    // Back to the state before a file is read: name "Default", no elements,
    // no offset, blend mode 0. The colours, cable type, LED colours and
    // version stay as they are.
    void reset();

    // Reads the file at path into this definition, after what it already
    // holds; false, with nothing changed, when path is not a readable regular
    // file. Anything the file holds beyond that reads without failing.
    bool parse(const std::string& path);

    const std::string& name() const { return name_; }
    std::span<const SkinElement> elements() const { return elements_; }

    // The first element with the tag, or null.
    const SkinElement* find(int tag) const;
    // The first element's rectangle; all zero when no element has the tag.
    SkinRect getRect(int tag) const;
    // Whether the first BACKGROUND line gives a panel the editor can show:
    // its width and height as written (before they are cut to 16 bits) from
    // 1 to kMaxPanelSide, and its right and bottom edges within that too.
    bool backgroundFits() const;
    // The first element's bitmap file name; empty when there is none.
    const std::string& bitmapFile(int tag) const;

    // Every bitmap file the elements name, each once whatever its letter
    // case, spelt as first met; the editor loads them in this order.
    std::span<const std::string> bitmapFiles() const { return bitmapFiles_; }
    // Where the first element's bitmap is in bitmapFiles(); -1 for none.
    int bitmapIndex(int tag) const;

    SkinColor transparentColor() const { return transparentColor_; }
    SkinColor cableTint() const { return cableTint_; }
    // nullopt for an index the skin never set or outside 0..255.
    std::optional<LedColor> ledColor(int index) const;
    int offsetX() const { return offsetX_; }
    int offsetY() const { return offsetY_; }
    int cableType() const { return cableType_; }
    int blendMode() const { return blendMode_; }
    int version() const { return version_; }

private:
    class Reader;

    // False when the element did not fit; its bitmap name is recorded only
    // with the element.
    bool append(SkinElement element);

    std::string name_ = "Default";
    std::vector<SkinElement> elements_;
    std::vector<std::string> bitmapFiles_;
    // The size the first BACKGROUND line wrote, before it was cut to 16 bits.
    std::optional<std::pair<int, int>> backgroundSize_;
    SkinColor transparentColor_{255, 255, 0};
    SkinColor cableTint_{0, 0, 0};
    std::array<std::optional<LedColor>, kNumLedColors> ledColors_{};
    int offsetX_ = 0;
    int offsetY_ = 0;
    int cableType_ = 0;
    int blendMode_ = 0;
    int version_ = 1;
};

}  // namespace tarvik::gui

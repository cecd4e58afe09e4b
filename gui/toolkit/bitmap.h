// A picture in memory: 32-bit pixels, 0xAARRGGBB with the colour already
// multiplied by alpha, rows top to bottom. Both drawing backends (Cairo and
// GDI+) draw this layout directly, so skins are decoded once and never
// converted again. Skins stack the images of a control (knob positions,
// lit and unlit states) vertically in one bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::gui {

class Bitmap {
public:
    Bitmap() = default;
    // A transparent picture; sizes below 1 give an empty one.
    Bitmap(int width, int height);
    // Moving keeps the pixels where they are, and with them the backend's
    // handle; a copy would share a handle on the wrong pixels.
    Bitmap(Bitmap&&) = default;
    Bitmap& operator=(Bitmap&&) = default;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    int strideBytes() const { return width_ * 4; }
    std::uint32_t* pixels() { return pixels_.data(); }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // The drawing backend's own handle on these pixels, made on first use
    // and kept while the bitmap lives (the pixels never move).
    template <typename Make>
    void* native(Make&& make) const {
        if (!native_) native_ = make();
        return native_.get();
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    mutable std::shared_ptr<void> native_;
};

// The largest picture the editor decodes: 4096 x 4096 pixels in all (64 MB
// in memory), and no side beyond 32767 pixels (what both drawing backends
// hold). A few hundred bytes of PNG can declare a picture of gigabytes, so
// the size its header declares is checked before anything is decoded.
inline constexpr std::uint64_t kMaxPicturePixels = 4096u * 4096u;
inline constexpr std::uint32_t kMaxPictureSide = 32767;

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size the header of PNG data declares; nullopt when the data does not
// begin with the PNG signature and a whole header chunk.
std::optional<PictureSize> pngSize(const unsigned char* data, std::size_t size);
// Whether the editor decodes a picture of this size: not empty, within the
// limits above.
bool pictureSizeAllowed(PictureSize size);

// Decodes a PNG file or PNG data (the drawing backend's decoder); nullopt
// when it cannot be read, is no PNG, or declares a size not allowed.
std::optional<Bitmap> loadPng(const std::string& path);
std::optional<Bitmap> decodePng(const unsigned char* data, std::size_t size);

}  // namespace tarvik::gui

#include "gui/toolkit/bitmap.h"

#include <cstring>

namespace tarvik::gui {

namespace {

constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// The signature, then the header chunk: its length, "IHDR", width, height.
constexpr std::size_t kHeaderType = sizeof kPngSignature + 4;
constexpr std::size_t kHeaderWidth = kHeaderType + 4;
constexpr std::size_t kHeaderEnd = kHeaderWidth + 8;

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

}  // namespace

Bitmap::Bitmap(int width, int height) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
}

std::optional<PictureSize> pngSize(const unsigned char* data, std::size_t size) {
    if (!data || size < kHeaderEnd || std::memcmp(data, kPngSignature, sizeof kPngSignature) != 0 ||
        std::memcmp(data + kHeaderType, "IHDR", 4) != 0)
        return std::nullopt;
    return PictureSize{bigEndian32(data + kHeaderWidth), bigEndian32(data + kHeaderWidth + 4)};
}

bool pictureSizeAllowed(PictureSize size) {
    return size.width >= 1 && size.height >= 1 && size.width <= kMaxPictureSide && size.height <= kMaxPictureSide &&
           std::uint64_t{size.width} * size.height <= kMaxPicturePixels;
}

}  // namespace tarvik::gui

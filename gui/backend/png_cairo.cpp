// PNG pictures through Cairo's own decoder.
#include <cairo.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "gui/toolkit/bitmap.h"

namespace tarvik::gui {

namespace {

std::optional<Bitmap> fromSurface(cairo_surface_t* surface) {
    std::optional<Bitmap> result;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        // Decoded pictures are ARGB32 or RGB24; both are 32 bits a pixel,
        // RGB24 with its unused byte read as opaque.
        const cairo_format_t format = cairo_image_surface_get_format(surface);
        const int width = cairo_image_surface_get_width(surface);
        const int height = cairo_image_surface_get_height(surface);
        if ((format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24) && width > 0 && height > 0) {
            cairo_surface_flush(surface);
            Bitmap bitmap(width, height);
            const unsigned char* data = cairo_image_surface_get_data(surface);
            const int stride = cairo_image_surface_get_stride(surface);
            for (int y = 0; y < height; ++y) {
                std::uint32_t* row = bitmap.pixels() + static_cast<std::size_t>(y) * width;
                std::memcpy(row, data + static_cast<std::size_t>(y) * stride, static_cast<std::size_t>(width) * 4);
                if (format == CAIRO_FORMAT_RGB24)
                    for (int x = 0; x < width; ++x) row[x] |= 0xFF000000u;
            }
            result = std::move(bitmap);
        }
    }
    cairo_surface_destroy(surface);
    return result;
}

struct Reader {
    const unsigned char* data;
    std::size_t size;
    std::size_t at;
};

cairo_status_t readChunk(void* closure, unsigned char* out, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (length > r->size - r->at) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data + r->at, length);
    r->at += length;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

// Skins name their pictures; only regular files of a sane size are read, so
// a folder, a device or a pipe named by mistake never blocks the editor.
std::optional<Bitmap> loadPng(const std::string& path) {
    constexpr std::uintmax_t kLargestPicture = 64u << 20;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > kLargestPicture)
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file && !file.eof()) return std::nullopt;
    return decodePng(bytes.data(), bytes.size());
}

std::optional<Bitmap> decodePng(const unsigned char* data, std::size_t size) {
    const std::optional<PictureSize> declared = pngSize(data, size);
    if (!declared || !pictureSizeAllowed(*declared)) return std::nullopt;
    Reader reader{data, size, 0};
    return fromSurface(cairo_image_surface_create_from_png_stream(readChunk, &reader));
}

}  // namespace tarvik::gui

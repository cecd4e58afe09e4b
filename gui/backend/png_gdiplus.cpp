// PNG pictures through GDI+'s own decoder.
#include "gui/backend/gdiplus_session.h"

#include <shlwapi.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gui/toolkit/bitmap.h"

namespace tarvik::gui {

namespace {

constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::size_t kChunkFraming = 12;  // length, type, CRC

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

// GDI+ corrects colours by a file's gAMA chunk, which Cairo (and so the
// Linux editor and the skin author's screenshots) ignores: the same skin
// would look lighter or darker on Windows. The copy handed to GDI+ leaves
// those chunks out. Data that does not parse as chunks goes through as it
// is, for the decoder to judge.
std::vector<unsigned char> withoutGamma(const unsigned char* data, std::size_t size) {
    std::vector<unsigned char> kept(data, data + sizeof kPngSignature);
    std::size_t at = sizeof kPngSignature;
    while (at < size) {
        if (size - at < kChunkFraming) return {data, data + size};
        const std::size_t length = bigEndian32(data + at);
        if (length > size - at - kChunkFraming) return {data, data + size};
        const std::size_t whole = length + kChunkFraming;
        if (std::memcmp(data + at + 4, "gAMA", 4) != 0) kept.insert(kept.end(), data + at, data + at + whole);
        at += whole;
    }
    return kept;
}

std::optional<Bitmap> decode(IStream* stream) {
    // Colour profiles are left aside for the same reason as gAMA.
    const std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream, FALSE));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return std::nullopt;
    const auto width = static_cast<int>(image->GetWidth());
    const auto height = static_cast<int>(image->GetHeight());
    if (width < 1 || height < 1) return std::nullopt;

    // GDI+ converts whatever the file holds (palette, grey, 16 bits) to
    // premultiplied 32-bit pixels, our own layout.
    Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData locked{};
    if (image->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked) != Gdiplus::Ok)
        return std::nullopt;
    Bitmap bitmap(width, height);
    const auto* rows = static_cast<const unsigned char*>(locked.Scan0);
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap.pixels() + static_cast<std::size_t>(y) * width,
                    rows + static_cast<std::ptrdiff_t>(y) * locked.Stride, static_cast<std::size_t>(width) * 4);
    image->UnlockBits(&locked);
    return bitmap;
}

}  // namespace

// Skins name their pictures; only regular files of a sane size are read, so
// a folder, a device or a pipe named by mistake never blocks the editor.
std::optional<Bitmap> loadPng(const std::string& path) {
    constexpr LONGLONG kLargestPicture = 64 << 20;
    const std::wstring name = toUtf16(path, true);
    if (name.empty()) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return std::nullopt;
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<unsigned char> bytes;
    LARGE_INTEGER size{};
    bool complete = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
                    size.QuadPart <= kLargestPicture;
    if (complete) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t at = 0;
        while (complete && at < bytes.size()) {
            DWORD read = 0;
            complete =
                ReadFile(file, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &read, nullptr) && read > 0;
            at += read;
        }
    }
    CloseHandle(file);
    if (!complete) return std::nullopt;
    return decodePng(bytes.data(), bytes.size());
}

std::optional<Bitmap> decodePng(const unsigned char* data, std::size_t size) {
    // GDI+ would also take a BMP, JPEG or GIF: only data that starts as a
    // PNG of an allowed size goes to it.
    const std::optional<PictureSize> declared = pngSize(data, size);
    if (!declared || !pictureSizeAllowed(*declared) || size > UINT_MAX) return std::nullopt;
    const GdiplusSession session;
    if (!session.started()) return std::nullopt;
    const std::vector<unsigned char> png = withoutGamma(data, size);
    IStream* stream = SHCreateMemStream(png.data(), static_cast<UINT>(png.size()));
    if (!stream) return std::nullopt;
    std::optional<Bitmap> result = decode(stream);
    stream->Release();
    return result;
}

}  // namespace tarvik::gui

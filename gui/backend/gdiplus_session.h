// What the Windows backend's files share: the counted GDI+ start, owning
// handles on GDI+ objects, and UTF-8 to UTF-16 for the Windows calls.
//
// GDI+ runs once per module however many editors are open. Every user
// (a window, a draw context, a picture being decoded, a picture's cached
// GDI+ image) holds a session; the first starts GDI+ and the last shuts it
// down, so closing one editor never pulls GDI+ from under another or from
// under a picture still holding a GDI+ image. GdiplusStartup starts a
// thread and loads libraries, which must never happen inside DllMain: no
// static object holds a session.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// GDI+ needs the COM declarations (IStream) that the lean windows.h leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include <climits>
#include <memory>
#include <string>
#include <string_view>

namespace tarvik::gui {

// A short hold on a Win32 lock (an SRW lock needs no construction, so the
// counts below are ready before any constructor runs).
class LockHold {
public:
    explicit LockHold(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~LockHold() { ReleaseSRWLockExclusive(&lock_); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    SRWLOCK& lock_;
};

class GdiplusSession {
public:
    GdiplusSession() : started_(acquire()) {}
    ~GdiplusSession() {
        if (started_) release();
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    // False when GDI+ would not start: nothing can be drawn or decoded.
    bool started() const { return started_; }

private:
    static bool acquire() {
        LockHold hold(lock_);
        if (users_ == 0) {
            Gdiplus::GdiplusStartupInput input;
            ULONG_PTR token = 0;
            if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
            token_ = token;
        }
        ++users_;
        return true;
    }

    static void release() {
        LockHold hold(lock_);
        if (--users_ == 0) Gdiplus::GdiplusShutdown(token_);
    }

    static inline SRWLOCK lock_ = SRWLOCK_INIT;
    static inline int users_ = 0;
    static inline ULONG_PTR token_ = 0;

    bool started_;
};

// Frees whichever GDI+ object it is given through the matching flat call.
// The flat interface rather than GDI+'s C++ classes: those keep a few
// objects (the generic string formats and font families) in process-wide
// caches that would outlive a shutdown and dangle after the next startup.
struct GdiplusFree {
    void operator()(Gdiplus::GpGraphics* p) const { Gdiplus::DllExports::GdipDeleteGraphics(p); }
    void operator()(Gdiplus::GpImage* p) const { Gdiplus::DllExports::GdipDisposeImage(p); }
    void operator()(Gdiplus::GpBrush* p) const { Gdiplus::DllExports::GdipDeleteBrush(p); }
    void operator()(Gdiplus::GpPen* p) const { Gdiplus::DllExports::GdipDeletePen(p); }
    void operator()(Gdiplus::GpPath* p) const { Gdiplus::DllExports::GdipDeletePath(p); }
    void operator()(Gdiplus::GpFont* p) const { Gdiplus::DllExports::GdipDeleteFont(p); }
    void operator()(Gdiplus::GpFontFamily* p) const { Gdiplus::DllExports::GdipDeleteFontFamily(p); }
    void operator()(Gdiplus::GpStringFormat* p) const { Gdiplus::DllExports::GdipDeleteStringFormat(p); }
    void operator()(Gdiplus::GpImageAttributes* p) const { Gdiplus::DllExports::GdipDisposeImageAttributes(p); }
};

template <typename T>
using GdiplusPtr = std::unique_ptr<T, GdiplusFree>;

// UTF-8 as the Windows calls want it. Strict conversion answers an empty
// string for malformed input (a path must name exactly what it says);
// lenient conversion shows malformed bytes as U+FFFD.
inline std::wstring toUtf16(std::string_view utf8, bool strict) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    if (MultiByteToWideChar(CP_UTF8, flags, utf8.data(), length, text.data(), wide) != wide) return {};
    return text;
}

}  // namespace tarvik::gui

// A plug-in's editor in a window of its own, as a Linux host shows it: a
// top-level X11 window of the size the editor asks for, handed over with
// effEditOpen and kept alive with effEditIdle. Input arrives as from a user,
// through the XTest extension, and the window's pixels can be read back.
// Tests drive the editor with it, and the screenshot tool pictures it.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/host/hosted_plugin.h"

namespace tarvik::host {

class EditorWindowHost {
public:
    // Connects to $DISPLAY; ready() is false without an X server.
    explicit EditorWindowHost(HostedPlugin& plugin);
    ~EditorWindowHost();
    EditorWindowHost(const EditorWindowHost&) = delete;
    EditorWindowHost& operator=(const EditorWindowHost&) = delete;

    bool ready() const { return display_ != nullptr; }

    // Asks the editor's size, makes and maps a window of that size and opens
    // the editor in it; false (with the reason) when any step fails.
    bool open(std::string& error);
    // effEditClose, then the window goes.
    void close();
    // The window goes first, as some hosts do, then effEditClose.
    void destroyWindowThenClose();

    // Asks the X server to expose the editor's whole window, as when the
    // host's window was covered: the next idle repaints all of it.
    void exposeEditor();

    // effEditIdle every few milliseconds for the given time.
    void idleFor(std::chrono::milliseconds time);
    void idle();
    // effEditIdle until the editor says it has read and answered every input
    // and painted it (catchUp), and also that nothing moves towards where it
    // rests (settle); false when that has not come within the limit, which
    // only a stuck editor reaches (timeouts() counts those).
    bool catchUp(std::chrono::milliseconds limit = kLimit);
    bool settle(std::chrono::milliseconds limit = kLimit);
    int timeouts() const { return timeouts_; }
    // The text of the message the editor's panel shows; empty when none.
    std::string shownMessage();

    // Pointer and keys, in window coordinates; each is followed by idle
    // calls until the editor has caught up with it.
    void moveTo(int x, int y);
    void press(int button = 1);
    void release(int button = 1);
    // Press at `from`, move in steps to `to`, release.
    void drag(int fromX, int fromY, int toX, int toY, int steps = 10);
    void tapKey(unsigned long keysym, bool control = false, bool shift = false);
    // One press of a key handed over both ways, as some hosts do: as the X
    // event to the editor's window and through effEditKeyDown (`character`,
    // VST virtual key `virtualKey`), the call either before the editor's
    // idle pass reads the event or right after it.
    void tapKeyBothWays(unsigned long keysym, int character, int virtualKey, bool callFirst);
    // A press and release at (x, y), with Shift held when asked.
    void click(int x, int y, int button = 1, bool shift = false);

    // A key press that reached the host's own window: one the editor left
    // to it (passed up by the server, `sent` false) or passed on itself
    // (`sent` true).
    struct HostKey {
        unsigned long keysym;
        bool sent;
    };
    // The key presses that reached the host's window since it opened.
    const std::vector<HostKey>& hostKeys();

    int width() const { return width_; }
    int height() const { return height_; }
    Window window() const { return window_; }
    // 0xRRGGBB of every pixel of the window, row by row; empty on failure.
    std::vector<std::uint32_t> capture();
    // The window's picture as a PNG file.
    bool writePng(const std::string& path);

private:
    static constexpr std::chrono::milliseconds kLimit{30000};

    void sync();
    // Reads the host window's own events, as a host's event loop does.
    void readOwnEvents();
    bool waitFor(int calm, std::chrono::milliseconds limit);

    HostedPlugin& plugin_;
    Display* display_ = nullptr;
    Window window_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool open_ = false;
    int timeouts_ = 0;
    std::vector<HostKey> hostKeys_;
};

// Pixel helpers for 0xRRGGBB values.
inline int red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

}  // namespace tarvik::host

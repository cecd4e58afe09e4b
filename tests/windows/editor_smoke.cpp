// The Windows build's editor, opened as a Windows host opens it: a window of
// the size the plug-in asks for, effEditOpen with its HWND, a message pump
// with effEditIdle. The window's pixels are read back from the screen and
// compared with the skin's background picture where no control lies; then
// a cable is dragged from one socket to another with the mouse, and the
// cable must be in the chunk the host saves; the filter menu (the
// system's own pop-up menu) is worked with the keys and must set the filter
// mode, and Preferences from the option menu must draw its panel. Ends with
// "RESULT ok" or "RESULT fail: <reason>".
//
//   tarvik_editor_smoke.exe Tarvik.dll DATA_FOLDER
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "gui/skin_definition.h"
#include "gui/skin_tags.h"
#include "gui/toolkit/bitmap.h"
#include "patch/patch_chunk.h"
#include "tools/host/hosted_plugin.h"
#include "vst/editor_query.h"

namespace {

using tarvik::gui::SkinDefinition;

int fail(const std::string& reason) {
    std::printf("RESULT fail: %s\n", reason.c_str());
    return 1;
}

// Runs the message loop and the editor's idle until the editor says it has
// come as far as `calm` (tarvik::EditorCalm): caught up with its input, or
// also at rest. Only a stuck editor takes longer than the limit.
void dispatchMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool settle(tarvik::host::HostedPlugin& plugin, int calm = tarvik::kEditorAtRest) {
    const DWORD end = GetTickCount() + 30000;
    for (;;) {
        dispatchMessages();
        plugin.dispatch(vst::effEditIdle);
        if (plugin.dispatch(vst::effVendorSpecific, tarvik::kEditorCalmQuery) >= calm) return true;
        if (GetTickCount() > end) return false;
        Sleep(1);
    }
}

// The window's pixels as the screen shows them, 0xRRGGBB, row by row.
std::vector<unsigned> capture(HWND window, int width, int height) {
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned> pixels(static_cast<const unsigned*>(bits),
                                 static_cast<const unsigned*>(bits) + static_cast<std::size_t>(width) * height);
    for (unsigned& p : pixels) p &= 0xFFFFFFu;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool insideAnyElement(const SkinDefinition& skin, int x, int y) {
    for (const auto& e : skin.elements()) {
        if (e.tag == tarvik::gui::tag::Background) continue;
        const auto r = e.rect();
        if (x >= r.left - 2 && x < r.right + 2 && y >= r.top - 2 && y < r.bottom + 2) return true;
    }
    return false;
}

POINT centreOf(const SkinDefinition& skin, int tagValue) {
    const auto r = skin.getRect(tagValue);
    return {static_cast<LONG>((r.left + r.right) / 2), static_cast<LONG>((r.top + r.bottom) / 2)};
}

// Mouse messages straight to the editor's window, as Windows sends them.
bool mouse(tarvik::host::HostedPlugin& plugin, HWND child, UINT message, WPARAM keys, POINT p) {
    PostMessageW(child, message, keys, MAKELPARAM(p.x, p.y));
    return settle(plugin, tarvik::kEditorCaughtUp);
}

std::optional<tarvik::TarvikPatch> savedPatch(tarvik::host::HostedPlugin& plugin) {
    void* data = nullptr;
    const auto size = plugin.dispatch(vst::effGetChunk, 0, 0, &data);
    tarvik::TarvikPatch patch;
    std::string path;
    if (!tarvik::decodeChunk(patch, static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), path))
        return std::nullopt;
    return patch;
}

bool connected(tarvik::host::HostedPlugin& plugin, int output, int input) {
    const std::optional<tarvik::TarvikPatch> patch = savedPatch(plugin);
    if (!patch) return false;
    for (int i = 0; i < patch->cables.size(); ++i)
        if (patch->cables.at(i) == tarvik::Connection{output, input}) return true;
    return false;
}

// A pop-up menu runs its own message loop until it is answered: a second
// thread waits for the menu's window and sends it the keys a user would.
struct MenuKeys {
    std::vector<WPARAM> keys;
};

DWORD WINAPI pressMenuKeys(void* parameter) {
    const auto* keys = static_cast<const MenuKeys*>(parameter);
    HWND menu = nullptr;
    for (int tries = 0; tries < 300 && !menu; ++tries) {
        Sleep(10);
        menu = FindWindowW(L"#32768", nullptr);
    }
    if (!menu) return 1;
    for (WPARAM key : keys->keys) {
        PostMessageW(menu, WM_KEYDOWN, key, 0);
        PostMessageW(menu, WM_KEYUP, key, 0xC0000000);
        Sleep(30);
    }
    return 0;
}

// Clicks a menu button and answers the menu it pops up with the keys.
bool chooseFromMenu(tarvik::host::HostedPlugin& plugin, HWND child, POINT button, std::vector<WPARAM> keys) {
    MenuKeys work{std::move(keys)};
    HANDLE thread = CreateThread(nullptr, 0, pressMenuKeys, &work, 0, nullptr);
    if (!thread) return false;
    const bool clicked = mouse(plugin, child, WM_MOUSEMOVE, 0, button) &&
                         mouse(plugin, child, WM_LBUTTONDOWN, MK_LBUTTON, button) &&
                         mouse(plugin, child, WM_LBUTTONUP, 0, button);
    WaitForSingleObject(thread, 10000);
    DWORD result = 1;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return clicked && settle(plugin) && result == 0;
}

int channelDistance(unsigned a, unsigned b) {
    int worst = 0;
    for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return fail("usage: tarvik_editor_smoke Tarvik.dll DATA_FOLDER");
    const std::string data = std::string(argv[2]) + "\\";
    SkinDefinition skin;
    if (!skin.parse(data + "Tarvik.skn")) return fail("cannot read " + data + "Tarvik.skn");
    const std::optional<tarvik::gui::Bitmap> background = tarvik::gui::loadPng(data + skin.bitmapFile(tarvik::gui::tag::Background));
    if (!background) return fail("cannot read the background picture");

    tarvik::host::HostedPlugin plugin;
    std::string error;
    if (!plugin.load(argv[1], error)) return fail(error);
    plugin.start();
    vst::ERect* rect = nullptr;
    if (plugin.dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || !rect) return fail("no editor size");
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TarvikSmokeHost";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"TarvikSmokeHost", L"Tarvik", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return fail("cannot make the host window");
    dispatchMessages();
    if (plugin.dispatch(vst::effEditOpen, 0, 0, window) == 0) return fail("effEditOpen failed");
    if (!settle(plugin)) return fail("the editor never came to rest after opening");

    const std::vector<unsigned> pixels = capture(window, width, height);
    int compared = 0;
    for (int y = 8; y < height - 8 && compared < 12; y += 37) {
        for (int x = 8; x < width - 8 && compared < 12; x += 53) {
            if (insideAnyElement(skin, x, y)) continue;
            const unsigned expected = background->pixel(x, y) & 0xFFFFFFu;
            const unsigned seen = pixels[static_cast<std::size_t>(y) * width + x];
            if (channelDistance(expected, seen) > 10) {
                char text[160];
                std::snprintf(text, sizeof text, "the panel at (%d, %d) shows %06x, its background is %06x", x, y, seen,
                              expected);
                return fail(text);
            }
            ++compared;
        }
    }
    if (compared < 12) return fail("too few background points to compare");
    std::printf("compared %d background points\n", compared);

    HWND child = GetWindow(window, GW_CHILD);
    if (!child) return fail("the editor made no window of its own");
    const POINT from = centreOf(skin, tarvik::gui::tag::socket(tarvik::socket::MgCvOutput + 1));
    const POINT to = centreOf(skin, tarvik::gui::tag::socket(tarvik::socket::VcfCv + 1));
    if (connected(plugin, tarvik::socket::MgCvOutput, tarvik::socket::VcfCv)) return fail("the cable is there before");
    bool dragged = mouse(plugin, child, WM_MOUSEMOVE, 0, from) && mouse(plugin, child, WM_LBUTTONDOWN, MK_LBUTTON, from);
    for (int step = 1; step <= 8 && dragged; ++step)
        dragged = mouse(plugin, child, WM_MOUSEMOVE, MK_LBUTTON,
                        POINT{from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8});
    if (!dragged || !mouse(plugin, child, WM_LBUTTONUP, 0, to)) return fail("the editor never caught up with the drag");
    if (!connected(plugin, tarvik::socket::MgCvOutput, tarvik::socket::VcfCv))
        return fail("a cable dragged from MG CV Output to VCF CV Input made no connection");
    std::printf("dragged a cable: MG CV Output -> VCF CV Input\n");

    // The filter menu: ten entries down from none highlighted is entry 9.
    std::vector<WPARAM> down(10, VK_DOWN);
    down.push_back(VK_RETURN);
    if (!chooseFromMenu(plugin, child, centreOf(skin, tarvik::gui::tag::FilterDropdown), down))
        return fail("the filter menu did not appear");
    const std::optional<tarvik::TarvikPatch> filtered = savedPatch(plugin);
    if (!filtered || filtered->state(tarvik::state::FilterMode) != 9)
        return fail("choosing \"HP 2-Pole\" from the filter menu did not set filter mode 9");
    std::printf("chose filter mode 9 from the filter menu\n");

    // Preferences, the option menu's last entry: its panel is drawn over the
    // middle of the editor in (40, 40, 40).
    if (!chooseFromMenu(plugin, child, centreOf(skin, tarvik::gui::tag::OptionMenu), {VK_END, VK_RETURN}))
        return fail("the option menu did not appear");
    if (!settle(plugin)) return fail("the Preferences panel never came to rest");
    const std::vector<unsigned> shown = capture(window, width, height);
    const int panelX = (width - 600) / 2 + 300;
    const int panelY = (height - 250) / 2 + 240;
    const unsigned panelPixel = shown[static_cast<std::size_t>(panelY) * width + panelX];
    if (channelDistance(panelPixel, 0x282828u) > 12) {
        char text[120];
        std::snprintf(text, sizeof text, "no Preferences panel: (%d, %d) shows %06x", panelX, panelY, panelPixel);
        return fail(text);
    }
    std::printf("opened the Preferences panel from the option menu\n");

    plugin.dispatch(vst::effEditClose);
    DestroyWindow(window);
    plugin.close();
    std::printf("RESULT ok\n");
    return 0;
}

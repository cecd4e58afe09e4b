// The common open and save dialogs, owned by the host's window: their own
// message loop keeps the host's windows painting and its timers (and with
// them the editor's idle) running, and the answer is there when they return.
#include "gui/backend/gdiplus_session.h"
#include "gui/toolkit/native_file_dialogs.h"

#include <commdlg.h>

#include <memory>
#include <utility>

namespace tarvik::gui {

namespace {

// Room for the longest path the dialogs hand back (long paths included).
constexpr DWORD kPathRoom = 32768;
constexpr DWORD kViewerGapMs = 10;

std::string toUtf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

// "Text\0pattern\0" and the final zero of c_str() ends the list.
std::wstring filterList(const FileRequest& request) {
    if (request.filterPattern.empty()) return {};
    const std::string& name = request.filterText.empty() ? request.filterPattern : request.filterText;
    std::wstring list = toUtf16(name, false);
    list += L'\0';
    list += toUtf16(request.filterPattern, false);
    list += L'\0';
    return list;
}

std::wstring systemTextViewer() {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return std::wstring(folder, length) + L"\\notepad.exe";
}

}  // namespace

struct NativeFileDialogs::State {
    HWND owner = nullptr;
    bool showing = false;  // a dialog's loop runs idle passes, which may ask again
    // The dialog's loop also runs the host's messages, among them perhaps
    // the editor's close: what outlives this object tells whether it is gone.
    std::shared_ptr<int> life = std::make_shared<int>(0);
};

NativeFileDialogs::NativeFileDialogs(void* parentWindow) : state_(std::make_unique<State>()) {
    state_->owner = static_cast<HWND>(parentWindow);
}

NativeFileDialogs::~NativeFileDialogs() = default;

void NativeFileDialogs::choose(FileDialogKind kind, const FileRequest& request, Reply reply) {
    if (state_->showing) {
        if (reply) reply(NativeChoice::Cancelled, {});
        return;
    }
    const std::wstring title = toUtf16(request.title, false);
    const std::wstring filter = filterList(request);
    const std::wstring extension = toUtf16(request.defaultExtension, false);
    const std::wstring folder = toUtf16(request.folder, true);
    std::wstring path(kPathRoom, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = state_->owner;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathRoom;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The host's working folder stays where the host put it.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (kind == FileDialogKind::Open && request.mustExist) dialog.Flags |= OFN_FILEMUSTEXIST;
    if (kind == FileDialogKind::Save && request.confirmOverwrite) dialog.Flags |= OFN_OVERWRITEPROMPT;

    state_->showing = true;
    const std::weak_ptr<int> alive = state_->life;
    const BOOL chosen = kind == FileDialogKind::Save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (alive.expired()) return;  // closed meanwhile: nobody is left to hear the answer
    state_->showing = false;
    if (!reply) return;
    if (chosen) {
        reply(NativeChoice::Chosen, toUtf8(path.c_str()));
    } else {
        // No error code: the user cancelled. An error means the dialog never
        // showed, and the editor's own chooser takes over.
        reply(CommDlgExtendedError() == 0 ? NativeChoice::Cancelled : NativeChoice::Unavailable, {});
    }
}

void NativeFileDialogs::poll() {}

bool NativeFileDialogs::busy() const { return state_->showing; }

// The system's text editor, once per file; the handles are not needed, the
// editor runs on its own.
bool NativeFileDialogs::view(const std::vector<std::string>& paths) {
    const std::wstring viewer = systemTextViewer();
    if (viewer.empty()) return false;
    bool started = false;
    bool first = true;
    for (const std::string& path : paths) {
        if (!first) Sleep(kViewerGapMs);
        first = false;
        std::wstring command = L"\"" + viewer + L"\" \"" + toUtf16(path, true) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(viewer.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            started = true;
        }
    }
    return started;
}

}  // namespace tarvik::gui

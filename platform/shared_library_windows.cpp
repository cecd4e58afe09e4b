#include <windows.h>

#include "platform/shared_library.h"

namespace platform {

bool SharedLibrary::open(const std::string& path, std::string& error) {
    close();
    handle_ = LoadLibraryA(path.c_str());
    if (!handle_) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

void SharedLibrary::close() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* SharedLibrary::symbol(const char* name) const {
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

}  // namespace platform

#include <dlfcn.h>

#include "platform/shared_library.h"

namespace platform {

bool SharedLibrary::open(const std::string& path, std::string& error) {
    close();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* message = dlerror();
        error = message ? message : "cannot load " + path;
        return false;
    }
    return true;
}

void SharedLibrary::close() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
}

void* SharedLibrary::symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

}  // namespace platform

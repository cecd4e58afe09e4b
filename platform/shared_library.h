// Loading a plug-in binary the way a host does (dlopen or LoadLibrary).
#pragma once

#include <string>

namespace platform {

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library; on failure answers false and fills error.
    bool open(const std::string& path, std::string& error);
    void close();
    // The address of an exported symbol, or null.
    void* symbol(const char* name) const;
    bool isOpen() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};

}  // namespace platform

#include <dlfcn.h>

#include "platform/resident_module.h"

namespace platform {

// A second reference with RTLD_NODELETE: the loader then never unmaps the
// binary, nor the libraries it needs. The handle is deliberately never closed.
void keepModuleResident(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) return;
    dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace platform

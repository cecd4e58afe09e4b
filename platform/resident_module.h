// Keeps the plug-in's own binary loaded once a host has loaded it, even
// after the host unloads it again.
//
// On Linux the editor pulls in Xlib, Cairo and the libraries beneath them
// (pixman, fontconfig). Those were not made to be unloaded: pixman, for one,
// loses memory at every unload, and a host that scans or reopens plug-ins
// unloads and loads again and again. On Windows our binary is self-contained
// and unloads cleanly, so there is nothing to keep.
#pragma once

namespace platform {

// address: any function or object of the plug-in's binary.
void keepModuleResident(const void* address);

}  // namespace platform

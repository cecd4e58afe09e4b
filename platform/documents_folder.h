// Where the user keeps documents; the plug-in's data folder lies inside it.
#pragma once

#include <string>

namespace platform {

// The native path separator of this OS.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The user's documents folder without a trailing separator, or an empty text
// when the OS cannot tell.
std::string documentsFolder();

}  // namespace platform

// Replacing a file in one step, so that a failure half-way can never leave
// the user with a truncated file where a good one was.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Pushes what the stream wrote all the way to the disk.
bool flushToDisk(std::FILE* file);

// Renames from over to, replacing to if it exists, as one step of the file
// system. from and to lie in the same folder.
bool replaceFile(const std::string& from, const std::string& to);

// Renames from to to only where to does not exist, as one step of the file
// system: a file that appeared meanwhile (another process, the user) is
// never replaced. from and to lie in the same folder.
bool placeNewFile(const std::string& from, const std::string& to);

}  // namespace platform

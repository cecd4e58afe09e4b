// Putting the factory files a binary carries into the data folder. The
// folder is shared by the user and the program: the settings files and the
// patches are the user's (a factory copy is written only where none exists,
// so settings and edits outlive every reinstall), the skin and the
// wavetables are the program's (a missing, damaged or outdated one is
// written anew).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/factory_pack.h"

namespace tarvik {

// Whether a file of a build's data folder ("/" between folders) ships: not
// what an instance wrote as it closed (a test or a screenshot may have run
// there), nor a temporary file an interrupted write left.
bool isFactoryFile(std::string_view name);

// Whether a file of the data folder is the user's.
bool belongsToUser(std::string_view name);

struct FactoryInstall {
    std::vector<std::string> written;
    // Files that could not be unpacked or written; the folder keeps what it had.
    std::vector<std::string> failed;
};

// Writes the pack's files into the data folder (given with its trailing
// separator), creating folders as needed. Each file is written beside its
// place and renamed into it when complete, so that a failure or a crash
// never leaves half a file, and a user's file that appears meanwhile is
// still never replaced.
FactoryInstall installFactoryFiles(const FactoryPack& pack, const std::string& folder);

// The same, once per process (a host's instances share one data folder):
// the first instance installs, any later one finds it done (a file deleted while the host runs comes back at
// its next start). A front end calls it before it constructs an instance,
// on the constructing thread; instances constructed meanwhile on other
// threads wait for the first. With TARVIK_NO_FACTORY_FILES set the folder is
// left as it is (tests that need a bare or broken data folder).
void installFactoryFilesOnce(std::span<const std::uint8_t> block, const std::string& folder);

}  // namespace tarvik

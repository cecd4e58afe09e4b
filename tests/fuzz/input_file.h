// The file a fuzz input is read from: the readers take only a path.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/patch_invariants.h"

namespace tarvik::fuzz {

// An in-memory file reached through /proc costs no disk writes, and having
// no name in any folder it leaves nothing behind however the fuzzer ends,
// crashes and timeouts included.
class InputFile {
public:
    InputFile()
        : descriptor_(memfd_create("tarvik-fuzz-input", 0)), path_("/proc/self/fd/" + std::to_string(descriptor_)) {
        require(descriptor_ >= 0, "an in-memory file for the input");
    }

    // The path of the file, holding exactly the given bytes.
    const std::string& holding(const void* data, std::size_t size) const {
        const bool written = ftruncate(descriptor_, 0) == 0 &&
                             pwrite(descriptor_, data, size, 0) == static_cast<ssize_t>(size);
        require(written, "the input written to the in-memory file");
        return path_;
    }

private:
    int descriptor_;
    std::string path_;
};

}  // namespace tarvik::fuzz

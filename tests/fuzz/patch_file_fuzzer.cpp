// Reads each input as a patch file, the way the editor opens one, and checks
// the promises of the patch read.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "patch/patch_file.h"
#include "tests/fuzz/patch_invariants.h"

namespace {

using tarvik::fuzz::require;

// The reader takes only a path. An in-memory file reached through /proc costs
// no disk writes, and having no name in any folder it leaves nothing behind
// however the fuzzer ends, crashes and timeouts included.
class InputFile {
public:
    InputFile()
        : descriptor_(memfd_create("tarvik-fuzz-patch", 0)), path_("/proc/self/fd/" + std::to_string(descriptor_)) {
        require(descriptor_ >= 0, "an in-memory file for the input");
    }

    // The path of the file, holding exactly the given bytes.
    const std::string& holding(const std::uint8_t* data, std::size_t size) const {
        const bool written = ftruncate(descriptor_, 0) == 0 &&
                             pwrite(descriptor_, data, size, 0) == static_cast<ssize_t>(size);
        require(written, "the input written to the in-memory file");
        return path_;
    }

private:
    int descriptor_;
    std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const InputFile file;
    static const tarvik::TarvikPatch fresh;

    tarvik::TarvikPatch patch;
    require(tarvik::readPatchFile(patch, file.holding(data, size)), "a regular file is always read");
    tarvik::fuzz::requireRepaired(patch);
    require(std::strcmp(patch.program.name, fresh.program.name) == 0, "a patch file leaves the program name alone");
    return 0;
}

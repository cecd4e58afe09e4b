#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/file_replace.h"

namespace platform {

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

bool placeNewFile(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot refuse a rename over a file: a hard link
    // can, and where there are none either, a look first leaves only a
    // moment in which another writer could come between.
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());  // the file is in place; a leftover name beside it harms nothing
        return true;
    }
    if (errno == EEXIST) return false;
    struct stat existing;
    if (lstat(to.c_str(), &existing) == 0 || errno != ENOENT) return false;
    return replaceFile(from, to);
}

}  // namespace platform

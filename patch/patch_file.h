// Patch files ("*.tvkp"): a line-oriented text that carries parameters,
// states, cables, patterns and the patch information (not the program name).
//
//   Version: 1.04
//   [73 Parameters]         "Name" = %.8f, one line per parameter, by index
//   [42 Sockets]            Socket %d: "Name" (informative; never read back)
//   [n Connections]         output, input
//   [12 States]             Name = %d
//   [128 Patterns]          the pattern bytes, 16 per line as lowercase hex
//   [1288 PatchInfo]        the patch-information bytes, likewise
#pragma once

#include <string>

#include "patch/patch.h"

namespace tarvik {

// Writes through a temporary file; false when the file could not be written,
// and the previous file at path is then untouched. Numbers are written the
// same whatever locale the host has set.
bool writePatchFile(const TarvikPatch& patch, const std::string& path);

// Fills target, which must be a fresh patch, and repairs it
// (patch_validation.h). False only when path is not a readable regular file;
// anything the file does not carry, or carries damaged, keeps its fresh value.
//
// Reading is tolerant and never needs the file to be well-formed:
// - a line that is not a section header where one is expected ends reading,
//   and so does a header without its count or its word;
// - a line of a section that cannot be read ends that section;
// - the lines of a section with an unknown word are skipped up to the next
//   line that starts with '[';
// - counts beyond the room (128 cables, 128 patterns, 1288 information bytes)
//   are read through and cut to the room; the cables read replace the list;
// - hexadecimal digits may be of either case; each word stands for one line
//   of 16 bytes, a short word leaving the rest of its line untouched, and a
//   word that does not start with a hexadecimal digit ends the section
//   unread;
// - CR LF and LF line ends read alike;
// - "MG Amount" becomes 1.0 when the file declares a version from 1.00 to
//   1.02 and, once repaired, keeps a cable into "MG Amount CV", so that such
//   files sound as they did; a file without a version line is never taken
//   as old.
bool readPatchFile(TarvikPatch& target, const std::string& path);

}  // namespace tarvik

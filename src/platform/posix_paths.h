// How the POSIX layer turns the program's paths into real ones. Exposed for
// the platform's own tests; the rest of the program goes through platform.h.
#pragma once

#include <cstddef>
#include <string>

namespace platform::posix {

// The program path with slashes for backslashes, repeated separators and a
// trailing separator removed, and a drive-letter path ("c:\...") taken to
// the drive it names (see drive_folder). Empty when the path cannot exist.
std::string native_path(const char* program_path);

// The real path of `native`: each component that does not exist as spelled
// is replaced by an entry of its folder whose name differs only in ASCII
// case. Components that match nothing are kept as they are, so the caller's
// operation then fails as it would have. With `fresh` the folders consulted
// are read again instead of taken from the cache (for names about to be
// written).
std::string resolve_case(const std::string& native, bool fresh);

// How many times a folder's names were read to match a name (not counting
// the listings the program asked for). A folder is read once, when a name
// in it is first asked for by another spelling; later names are matched
// from memory. Lets tests check that matching stays cheap.
std::size_t folder_reads();

// The Unix folder that stands for Windows drive `letter` (a to z), or empty.
std::string drive_folder(char letter);

}  // namespace platform::posix

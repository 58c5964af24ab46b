// The operating system as the rest of fieldroll sees it: process heap, the
// machine registry, file search, the current directory, and file streams.
//
// Paths handed to these procedures are the program's own: 8-bit text with
// backslash separators, at most max_path characters with the terminator.
// On Windows they go to the system unchanged. On POSIX they are mapped to
// real paths: backslashes become slashes and every component is matched
// without regard to ASCII case, an exact match winning when there is one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace platform {

constexpr std::size_t max_path = 260;

// A zero-filled block from the process heap. Never null: when memory runs
// out the process ends at once, without a message.
void* alloc_zeroed(std::size_t size);
void free_block(void* block);

// Reads the text value `value` of key `key` under HKEY_LOCAL_MACHINE into
// `buffer`, always leaving it terminated inside its `size` bytes: a value
// that fills the buffer without a terminator is cut by one character, and
// a longer one leaves the buffer empty.
// Returns false when the key cannot be opened; the buffer is then unchanged.
bool read_machine_registry_text(const char* key, const char* value, char* buffer, std::size_t size);

// True when a file or folder exists at `path`.
bool path_exists(const char* path);

// The current directory, terminated, without a trailing separator. False
// (and an empty buffer) when it cannot be had or does not fit `size`.
bool current_directory(char* buffer, std::size_t size);

// One entry of a folder listing.
struct FolderEntry {
    std::array<char, max_path> name{};
    bool is_directory = false;
};

// A folder listing in progress. Listings include "." and "..".
struct FolderListing;

// Starts listing the entries that `pattern` names. The only pattern the
// program uses is a folder path followed by "*.*" (every entry). Null when
// the folder does not exist or cannot be read.
FolderListing* open_listing(const char* pattern);
// Fetches the next entry; false when there is none left.
bool next_entry(FolderListing* listing, FolderEntry* entry);
void close_listing(FolderListing* listing);

struct ListingCloser {
    void operator()(FolderListing* listing) const { close_listing(listing); }
};
using ListingGuard = std::unique_ptr<FolderListing, ListingCloser>;

// What identifies a folder however it is reached (through links or
// junctions): volume and file index on Windows, device and inode on POSIX.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};
bool folder_identity(const char* path, FolderIdentity* identity);

// fopen through the program's path mapping.
std::FILE* open_file(const char* path, const char* mode);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileGuard = std::unique_ptr<std::FILE, FileCloser>;

// What a text line ends with in a file opened for writing in text mode
// ("w"): Windows translates "\n" itself, elsewhere the program writes "\r\n"
// so that the Windows tools of the suite read the same bytes.
extern const char* const text_line_end;

// False when an entry named `path` exists that could not be replaced by a
// new file: a folder, a read-only file, a file locked by another process.
bool replaceable(const char* path);
// Puts the file `source` in place of `target`, replacing it when it exists.
bool replace_file(const char* source, const char* target);
// Removes the file `path` if it exists.
void remove_file(const char* path);

}  // namespace platform

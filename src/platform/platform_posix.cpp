// POSIX implementation of the platform layer.
#include "platform/platform.h"
#include "platform/folded_text.h"
#include "platform/posix_paths.h"
#include "platform/wine_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace platform {

namespace posix {
namespace {

std::string fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = fold_char(c);
    return folded;
}

// The names of one folder: as spelled, and by their case-folded spelling
// (the smallest spelling wins when several fold alike, so the choice does
// not depend on listing order).
struct FolderNames {
    std::unordered_set<std::string> exact;
    std::unordered_map<std::string, std::string> folded;
};

// Both caches are small and are simply emptied when full: a walk touches a
// folder's names while it works in that folder, then moves on.
constexpr std::size_t max_named_folders = 64;
constexpr std::size_t max_mapped_folders = 4096;

std::unordered_map<std::string, FolderNames> names_by_folder;
// Native folder path (as the program spells it) to its real path.
std::unordered_map<std::string, std::string> real_folder_of;
std::size_t folder_read_count = 0;

FolderNames make_names(const std::vector<std::string>& names) {
    FolderNames result;
    for (const std::string& name : names) {
        result.exact.insert(name);
        auto [it, inserted] = result.folded.emplace(fold(name), name);
        if (!inserted && name < it->second) it->second = name;
    }
    return result;
}

void store_names(const std::string& real_folder, FolderNames names) {
    if (names_by_folder.size() >= max_named_folders) names_by_folder.clear();
    names_by_folder[real_folder] = std::move(names);
}

bool read_names(const std::string& real_folder, std::vector<std::string>* names) {
    DIR* dir = opendir(real_folder.empty() ? "." : real_folder.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = readdir(dir)) names->emplace_back(entry->d_name);
    closedir(dir);
    return true;
}

const FolderNames* folder_names(const std::string& real_folder, bool reload) {
    if (!reload) {
        auto it = names_by_folder.find(real_folder);
        if (it != names_by_folder.end()) return &it->second;
    }
    std::vector<std::string> names;
    if (!read_names(real_folder, &names)) return nullptr;
    ++folder_read_count;
    store_names(real_folder, make_names(names));
    return &names_by_folder[real_folder];
}

// The real spelling of `component` inside `real_folder`, or empty.
std::string match_component(const std::string& real_folder, const std::string& component, bool fresh) {
    bool reloaded = fresh;
    const FolderNames* names = folder_names(real_folder, fresh);
    while (names != nullptr) {
        if (names->exact.count(component) != 0) return component;
        auto it = names->folded.find(fold(component));
        if (it != names->folded.end()) return it->second;
        if (reloaded) break;
        // The cached names may be older than the entry: read them once more.
        reloaded = true;
        names = folder_names(real_folder, true);
    }
    return {};
}

void append_component(std::string* path, std::string_view component) {
    if (!path->empty() && path->back() != '/') path->push_back('/');
    path->append(component);
}

}  // namespace

std::string drive_folder(char letter) {
    letter = fold_char(letter);
    if (letter < 'a' || letter > 'z') return {};
    const std::string prefix = wine_prefix();
    if (prefix.empty()) return {};
    struct stat info {};
    std::string device = prefix + "/dosdevices/" + letter + ":";
    if (stat(device.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return device;
    if (letter == 'c') {
        std::string drive_c = prefix + "/drive_c";
        if (stat(drive_c.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return drive_c;
    }
    return {};
}

std::string native_path(const char* program_path) {
    std::string_view text(program_path);
    std::string result;
    const bool has_drive = text.size() >= 2 && text[1] == ':' &&
                           ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
    if (has_drive) {
        result = drive_folder(text[0]);
        if (result.empty()) return {};
        text.remove_prefix(2);
        result.push_back('/');
    }
    for (char c : text) {
        if (c == '\\') c = '/';
        if (c == '/' && !result.empty() && result.back() == '/') continue;
        result.push_back(c);
    }
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

std::string resolve_case(const std::string& native, bool fresh) {
    if (native.empty() || native == "/") return native;
    const std::size_t slash = native.rfind('/');
    const std::string leaf = slash == std::string::npos ? native : native.substr(slash + 1);

    std::string real_folder;
    if (slash == 0) {
        real_folder = "/";
    } else if (slash != std::string::npos) {
        const std::string folder = native.substr(0, slash);
        auto it = real_folder_of.find(folder);
        if (it != real_folder_of.end() && !fresh) {
            real_folder = it->second;
        } else {
            real_folder = resolve_case(folder, fresh);
            if (real_folder_of.size() >= max_mapped_folders) real_folder_of.clear();
            real_folder_of[folder] = real_folder;
        }
    }
    std::string match;
    if (leaf != "." && leaf != "..") match = match_component(real_folder, leaf, fresh);
    append_component(&real_folder, match.empty() ? leaf : match);
    return real_folder;
}

std::size_t folder_reads() { return folder_read_count; }

}  // namespace posix

struct FolderListing {
    std::string program_folder;  // the folder as the program named it
    DIR* dir = nullptr;          // kept open: entries are reached through it
    std::vector<std::string> names;
    std::vector<unsigned char> types;
    std::size_t next = 0;
    FolderListing* outer = nullptr;  // the listing open when this one began
};

namespace {

// The listings open now, innermost first. The program opens the entries it
// has just been handed, by their lower-cased names: those are matched here
// against the real name of the entry last fetched, without asking the file
// system.
FolderListing* innermost_listing = nullptr;

// A real path, relative to an open folder (or to the current directory).
struct RealPath {
    int folder = AT_FDCWD;
    std::string path;
};

bool path_of_listed_entry(const char* program_path, RealPath* real) {
    const std::size_t path_length = std::strlen(program_path);
    for (const FolderListing* listing = innermost_listing; listing != nullptr; listing = listing->outer) {
        if (listing->next == 0) continue;
        const std::string& folder = listing->program_folder;
        const std::string& name = listing->names[listing->next - 1];
        if (path_length < folder.size() + name.size() ||
            std::memcmp(program_path, folder.data(), folder.size()) != 0) {
            continue;
        }
        const char* rest = program_path + folder.size() + name.size();
        if ((*rest != '\0' && *rest != '\\' && *rest != '/') ||
            !same_folded(std::string_view(program_path + folder.size(), name.size()), name)) {
            continue;
        }
        real->folder = dirfd(listing->dir);
        real->path = name;
        for (; *rest != '\0'; ++rest) {
            const char c = *rest == '\\' ? '/' : *rest;
            if (c != '/' || real->path.back() != '/') real->path.push_back(c);
        }
        while (real->path.size() > 1 && real->path.back() == '/') real->path.pop_back();
        return true;
    }
    return false;
}

bool is_missing(int error) { return error == ENOENT || error == ENOTDIR; }

// Runs `operation` on the native path, and again on the case-matched path
// when the first attempt found nothing.
template <typename Operation>
auto with_real_path(const char* program_path, bool fresh, Operation operation) {
    if (RealPath listed; path_of_listed_entry(program_path, &listed)) {
        auto result = operation(listed);
        if (result || !is_missing(errno)) return result;
    }
    const RealPath native{AT_FDCWD, posix::native_path(program_path)};
    errno = ENOENT;
    auto result = native.path.empty() ? decltype(operation(native)){} : operation(native);
    if (!result && is_missing(errno) && !native.path.empty()) {
        const RealPath real{AT_FDCWD, posix::resolve_case(native.path, fresh)};
        if (real.path != native.path) result = operation(real);
    }
    return result;
}

bool stat_real(const RealPath& real, struct stat* info) {
    return fstatat(real.folder, real.path.c_str(), info, 0) == 0;
}

int open_flags(const char* mode) {
    const bool update = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
        case 'w': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
        case 'a': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
        default: return update ? O_RDWR : O_RDONLY;
    }
}

}  // namespace

// Large blocks (the airport records, the sort index) are mapped with their
// pages made present at once: one call instead of a page fault for every
// 4 KiB, which costs far more on a virtual machine. A small header in
// front of every block tells free_block how it was obtained.
constexpr std::size_t mapped_block_size = 256 * 1024;
constexpr std::size_t block_header = 16;

void* alloc_zeroed(std::size_t size) {
    const std::size_t total = size + block_header;
    char* block = nullptr;
    if (total >= mapped_block_size) {
        void* mapped = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (mapped != MAP_FAILED) block = static_cast<char*>(mapped);
    } else {
        block = static_cast<char*>(std::calloc(1, total));
    }
    if (block == nullptr) std::_Exit(1);
    std::memcpy(block, &total, sizeof total);
    return block + block_header;
}

void free_block(void* block) {
    if (block == nullptr) return;
    char* start = static_cast<char*>(block) - block_header;
    std::size_t total = 0;
    std::memcpy(&total, start, sizeof total);
    if (total >= mapped_block_size) {
        munmap(start, total);
    } else {
        std::free(start);
    }
}

bool read_machine_registry_text(const char* key, const char* value, char* buffer, std::size_t size) {
    return read_wine_registry_text(key, value, buffer, size);
}

bool path_exists(const char* path) {
    struct stat info {};
    return with_real_path(path, false, [&](const RealPath& real) { return stat_real(real, &info); });
}

bool current_directory(char* buffer, std::size_t size) {
    if (size == 0) return false;
    if (getcwd(buffer, size) == nullptr) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

FolderListing* open_listing(const char* pattern) {
    // The program lists with "<folder>\*.*"; every entry matches.
    std::string folder(pattern);
    const std::size_t star = folder.rfind("*.*");
    if (star != std::string::npos && star + 3 == folder.size()) folder.erase(star);
    const std::string program_folder = folder;
    if (folder.empty()) folder.push_back('.');

    DIR* dir = nullptr;
    with_real_path(folder.c_str(), false, [&](const RealPath& real) {
        const int descriptor = openat(real.folder, real.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) return false;
        dir = fdopendir(descriptor);
        if (dir == nullptr) close(descriptor);
        return dir != nullptr;
    });
    if (dir == nullptr) return nullptr;

    auto* listing = new FolderListing;
    listing->program_folder = program_folder;
    listing->dir = dir;
    while (const dirent* entry = readdir(dir)) {
        listing->names.emplace_back(entry->d_name);
        listing->types.push_back(entry->d_type);
    }
    listing->outer = innermost_listing;
    innermost_listing = listing;
    return listing;
}

bool next_entry(FolderListing* listing, FolderEntry* entry) {
    while (listing->next < listing->names.size()) {
        const std::size_t at = listing->next++;
        const std::string& name = listing->names[at];
        if (name.size() >= entry->name.size()) continue;  // cannot be named by the program
        std::memcpy(entry->name.data(), name.c_str(), name.size() + 1);
        const unsigned char type = listing->types[at];
        if (type == DT_DIR) {
            entry->is_directory = true;
        } else if (type == DT_LNK || type == DT_UNKNOWN) {
            // A link to a folder is reported as a folder, as Windows reports
            // a junction.
            struct stat info {};
            entry->is_directory = fstatat(dirfd(listing->dir), name.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode);
        } else {
            entry->is_directory = false;
        }
        return true;
    }
    return false;
}

void close_listing(FolderListing* listing) {
    for (FolderListing** link = &innermost_listing; *link != nullptr; link = &(*link)->outer) {
        if (*link == listing) {
            *link = listing->outer;
            break;
        }
    }
    closedir(listing->dir);
    delete listing;
}

bool folder_identity(const char* path, FolderIdentity* identity) {
    struct stat info {};
    const bool found = with_real_path(path, false, [&](const RealPath& real) { return stat_real(real, &info); });
    if (!found) return false;
    identity->volume = static_cast<std::uint64_t>(info.st_dev);
    identity->index = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

std::FILE* open_file(const char* path, const char* mode) {
    // Names about to be written are matched against the folder as it is now.
    const bool writing = std::strpbrk(mode, "wa+") != nullptr;
    return with_real_path(path, writing, [&](const RealPath& real) -> std::FILE* {
        const int descriptor = openat(real.folder, real.path.c_str(), open_flags(mode) | O_CLOEXEC, 0666);
        if (descriptor < 0) return nullptr;
        std::FILE* file = fdopen(descriptor, mode);
        if (file == nullptr) close(descriptor);
        return file;
    });
}

const char* const text_line_end = "\r\n";

bool replaceable(const char* path) {
    const std::string real = posix::resolve_case(posix::native_path(path), true);
    if (real.empty()) return false;
    struct stat info {};
    if (stat(real.c_str(), &info) != 0) return errno == ENOENT;
    if (S_ISDIR(info.st_mode)) return false;
    // Opening for writing without truncating tells whether the file may be
    // written to, as the replacement will.
    const int descriptor = open(real.c_str(), O_WRONLY | O_NONBLOCK);
    if (descriptor < 0) return false;
    close(descriptor);
    return true;
}

bool replace_file(const char* source, const char* target) {
    const std::string from = posix::resolve_case(posix::native_path(source), true);
    const std::string to = posix::resolve_case(posix::native_path(target), true);
    if (from.empty() || to.empty()) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void remove_file(const char* path) {
    const std::string real = posix::resolve_case(posix::native_path(path), true);
    if (!real.empty()) unlink(real.c_str());
}

}  // namespace platform

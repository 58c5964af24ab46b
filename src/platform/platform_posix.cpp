// POSIX implementation of the platform layer.
#include "platform/platform.h"
#include "platform/posix_paths.h"
#include "platform/wine_registry.h"

#include <dirent.h>
#include <fcntl.h>
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

char fold_char(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

namespace {

bool is_missing(int error) { return error == ENOENT || error == ENOTDIR; }

// Runs `operation` on the native path, and again on the case-matched path
// when the first attempt found nothing.
template <typename Operation>
auto with_real_path(const char* program_path, bool fresh, Operation operation) {
    const std::string native = posix::native_path(program_path);
    auto result = operation(native);
    if (!result && is_missing(errno) && !native.empty()) {
        const std::string real = posix::resolve_case(native, fresh);
        if (real != native) result = operation(real);
    }
    return result;
}

}  // namespace

void* alloc_zeroed(std::size_t size) {
    void* block = std::calloc(1, size == 0 ? 1 : size);
    if (block == nullptr) std::_Exit(1);
    return block;
}

void free_block(void* block) { std::free(block); }

bool read_machine_registry_text(const char* key, const char* value, char* buffer, std::size_t size) {
    return read_wine_registry_text(key, value, buffer, size);
}

bool path_exists(const char* path) {
    struct stat info {};
    return with_real_path(path, false, [&](const std::string& real) {
        errno = ENOENT;
        return !real.empty() && stat(real.c_str(), &info) == 0;
    });
}

bool current_directory(char* buffer, std::size_t size) {
    if (size == 0) return false;
    if (getcwd(buffer, size) == nullptr) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

struct FolderListing {
    std::string real_folder;
    std::vector<std::string> names;
    std::vector<unsigned char> types;
    std::size_t next = 0;
};

FolderListing* open_listing(const char* pattern) {
    // The program lists with "<folder>\*.*"; every entry matches.
    std::string folder(pattern);
    const std::size_t star = folder.rfind("*.*");
    if (star != std::string::npos && star + 3 == folder.size()) folder.erase(star);
    if (folder.empty()) folder = ".";

    DIR* dir = nullptr;
    std::string real;
    with_real_path(folder.c_str(), false, [&](const std::string& candidate) {
        errno = ENOENT;
        if (candidate.empty()) return false;
        dir = opendir(candidate.c_str());
        if (dir != nullptr) real = candidate;
        return dir != nullptr;
    });
    if (dir == nullptr) return nullptr;

    auto* listing = new FolderListing;
    listing->real_folder = real;
    while (const dirent* entry = readdir(dir)) {
        listing->names.emplace_back(entry->d_name);
        listing->types.push_back(entry->d_type);
    }
    closedir(dir);
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
            const std::string path = listing->real_folder + "/" + name;
            entry->is_directory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        } else {
            entry->is_directory = false;
        }
        return true;
    }
    return false;
}

void close_listing(FolderListing* listing) { delete listing; }

bool folder_identity(const char* path, FolderIdentity* identity) {
    struct stat info {};
    const bool found = with_real_path(path, false, [&](const std::string& real) {
        errno = ENOENT;
        return !real.empty() && stat(real.c_str(), &info) == 0;
    });
    if (!found) return false;
    identity->volume = static_cast<std::uint64_t>(info.st_dev);
    identity->index = static_cast<std::uint64_t>(info.st_ino);
    return true;
}

std::FILE* open_file(const char* path, const char* mode) {
    // Names about to be written are matched against the folder as it is now.
    const bool writing = std::strpbrk(mode, "wa+") != nullptr;
    return with_real_path(path, writing, [&](const std::string& real) -> std::FILE* {
        errno = ENOENT;
        return real.empty() ? nullptr : std::fopen(real.c_str(), mode);
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

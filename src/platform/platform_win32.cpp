// Windows implementation of the platform layer.
#include "platform/platform.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace platform {

void* alloc_zeroed(std::size_t size) {
    void* block = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY | HEAP_GENERATE_EXCEPTIONS, size == 0 ? 1 : size);
    if (block == nullptr) std::_Exit(1);
    return block;
}

void free_block(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

bool read_machine_registry_text(const char* key, const char* value, char* buffer, std::size_t size) {
    HKEY opened = nullptr;
    if (size == 0 || RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    DWORD length = static_cast<DWORD>(size);
    const LONG result = RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS) {
        // No such value, or one longer than the buffer: nothing usable.
        buffer[0] = '\0';
    } else {
        // The value may come without its terminator, filling the buffer.
        buffer[length < size ? length : size - 1] = '\0';
    }
    return true;
}

bool path_exists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE probe = FindFirstFileA(path, &found);
    if (probe == INVALID_HANDLE_VALUE) return false;
    FindClose(probe);
    return true;
}

bool current_directory(char* buffer, std::size_t size) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
    if (length == 0 || length >= size) {
        if (size > 0) buffer[0] = '\0';
        return false;
    }
    return true;
}

struct FolderListing {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA pending{};
    bool has_pending = false;
};

FolderListing* open_listing(const char* pattern) {
    auto* listing = new FolderListing;
    listing->handle = FindFirstFileA(pattern, &listing->pending);
    if (listing->handle == INVALID_HANDLE_VALUE) {
        delete listing;
        return nullptr;
    }
    listing->has_pending = true;
    return listing;
}

bool next_entry(FolderListing* listing, FolderEntry* entry) {
    if (!listing->has_pending && !FindNextFileA(listing->handle, &listing->pending)) return false;
    listing->has_pending = false;
    const char* name = listing->pending.cFileName;
    const std::size_t length = strnlen(name, sizeof listing->pending.cFileName);
    const std::size_t kept = length < entry->name.size() ? length : entry->name.size() - 1;
    std::memcpy(entry->name.data(), name, kept);
    entry->name[kept] = '\0';
    entry->is_directory = (listing->pending.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

void close_listing(FolderListing* listing) {
    if (listing == nullptr) return;
    FindClose(listing->handle);
    delete listing;
}

bool folder_identity(const char* path, FolderIdentity* identity) {
    HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(folder, &info) != 0;
    CloseHandle(folder);
    if (!known) return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

std::FILE* open_file(const char* path, const char* mode) { return std::fopen(path, mode); }

const char* const text_line_end = "\n";

bool replaceable(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
    // A file that another process holds without sharing cannot be opened
    // for writing, and would not be replaced either.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool replace_file(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void remove_file(const char* path) { DeleteFileA(path); }

}  // namespace platform

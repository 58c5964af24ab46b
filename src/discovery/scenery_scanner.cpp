#include "discovery/scenery_scanner.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "discovery/simulator_locator.h"
#include "facility/facility_reader.h"
#include "platform/bounded_text.h"

namespace {

constexpr const char* search_pattern = "*.*";
constexpr const char* facility_name_mark = ".bgl";
constexpr const char* separator = "\\";

// A zero-filled block from the heap, returned when the folder is done.
struct Block {
    explicit Block(std::size_t size) : data(static_cast<char*>(platform::alloc_zeroed(size))), size(size) {}
    ~Block() { platform::free_block(data); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    char* data;
    std::size_t size;
};

void lower_case(char* name) {
    for (; *name != '\0'; ++name) {
        if (*name >= 'A' && *name <= 'Z') *name = static_cast<char>(*name - 'A' + 'a');
    }
}

// Reads one facility file if it carries the header; false when it does not.
bool read_facility_file(const char* path, unsigned char* header, AirportRecord** list_head, std::int32_t* airports) {
    platform::FileGuard file(platform::open_file(path, "rb"));
    if (!file) return false;
    // The reader keeps its own window of the file; a stream buffer would
    // only copy every byte twice, and read far more than the header of the
    // many files that are not facility files.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    if (check_facility_header(file.get(), header) == 0) return false;
    read_facility_airports(file.get(), header, list_head, airports);
    return true;
}

void scan_tree(const char* tree, AirportRecord** list_head, ScanState* state, std::int32_t* airport_total) {
    if (copy_text(state->path, simulator_root.data()) && append_text(state->path, tree)) {
        scan_scenery_folder(state->path.data(), list_head, state, airport_total);
    }
}

}  // namespace

void collect_airports(AirportRecord** list_head, std::int32_t* airport_total) {
    ScanState state;
    *airport_total = 0;
    state.facility_files = 0;
    scan_tree(database_tree, list_head, &state, airport_total);
    scan_tree(addon_tree, list_head, &state, airport_total);
    std::printf("\n");
}

void scan_scenery_folder(const char* folder, AirportRecord** list_head, ScanState* state,
                         std::int32_t* airport_total) {
    platform::FolderIdentity identity;
    const bool identified = platform::folder_identity(folder, &identity);
    if (identified && std::find(state->open_folders.begin(), state->open_folders.end(), identity) !=
                          state->open_folders.end()) {
        return;  // a link back to a folder being walked
    }

    Block pattern(platform::max_path);
    Block entry_path(platform::max_path);
    Block header(facility_header_size);
    if (!append_text(pattern.data, pattern.size, folder) || !append_text(pattern.data, pattern.size, search_pattern)) {
        return;
    }
    platform::ListingGuard listing(platform::open_listing(pattern.data));
    if (!listing) return;
    if (identified) state->open_folders.push_back(identity);

    platform::FolderEntry entry;
    while (platform::next_entry(listing.get(), &entry)) {
        char* name = entry.name.data();
        lower_case(name);
        // An entry whose path does not fit is skipped, never cut.
        entry_path.data[0] = '\0';
        if (!append_text(entry_path.data, entry_path.size, folder) ||
            !append_text(entry_path.data, entry_path.size, name)) {
            continue;
        }
        if (entry.is_directory && name[0] != '.') {
            if (append_text(entry_path.data, entry_path.size, separator)) {
                scan_scenery_folder(entry_path.data, list_head, state, airport_total);
            }
        } else if (std::strstr(name, facility_name_mark) != nullptr) {
            std::int32_t file_airports = 0;
            if (read_facility_file(entry_path.data, reinterpret_cast<unsigned char*>(header.data), list_head,
                                   &file_airports)) {
                ++state->facility_files;
                *airport_total += file_airports;
                std::printf("  Facility Files %d,  Airports %d\r", state->facility_files, *airport_total);
            }
        }
    }
    if (identified) state->open_folders.pop_back();
}

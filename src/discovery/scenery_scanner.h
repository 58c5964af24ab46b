// Walking the simulator's two scenery trees for airport facility files.
#pragma once

#include <cstdint>
#include <vector>

#include "airports/airport_record.h"
#include "platform/platform.h"

constexpr const char* database_tree = "\\SCENEDB\\AFDFILES\\SCENERY\\";
constexpr const char* addon_tree = "\\ADDON SCENERY\\";

struct ScanState {
    std::int32_t facility_files = 0;
    std::array<char, platform::max_path> path{};
    // The folders being walked, outermost first: a folder reached again
    // through a link is not entered a second time.
    std::vector<platform::FolderIdentity> open_folders;
};

// Walks the database tree and then the add-on tree under simulator_root,
// prepending every airport found to `*list_head`; `*airport_total` is set
// to their number. Prints a progress line per accepted facility file and a
// closing line end.
void collect_airports(AirportRecord** list_head, std::int32_t* airport_total);

// Handles `folder` (a path ending in a backslash) and, recursively, its
// subfolders. Every entry whose lower-cased name contains ".bgl" is read
// when it carries the facility header.
void scan_scenery_folder(const char* folder, AirportRecord** list_head, ScanState* state,
                         std::int32_t* airport_total);

// make_scenery: lays out an FS2002 folder tree with airport facility files
// from a text description (see scenery/scenery_description.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "scenery/scenery_description.h"
#include "scenery/scenery_writer.h"

namespace {

constexpr const char* usage =
    "usage: make_scenery ROOT [DESCRIPTION]\n"
    "       make_scenery --generate ROOT [FACILITY-FILES AIRPORTS OTHER-BGL OTHER-FILES [SEED]]\n"
    "\n"
    "The second form lays out a large install for the benchmark (by default 2000\n"
    "facility files with 250000 airports, 5000 other .bgl files, 2000 other files).\n"
    "\n"
    "Lays out a simulator folder tree under ROOT from DESCRIPTION (a file, or\n"
    "standard input when it is left out or is -). One statement per line:\n"
    "\n"
    "  dir PATH                          an empty folder\n"
    "  file PATH SIZE [SEED]             a file of SIZE pseudo-random bytes\n"
    "  link PATH TARGET                  a symbolic link to a folder\n"
    "  hostile FOLDER                    damaged facility files of every kind\n"
    "  facility PATH                     a facility file, filled by the lines below:\n"
    "    airport IDENT LAT LON ELEV      airport record (degrees, metres)\n"
    "    airport-position-first IDENT LAT LON ELEV\n"
    "    ident-only IDENT                airport record without a position\n"
    "    position-only LAT LON ELEV      airport record without an identifier\n"
    "    record TYPE BYTES               record of another type\n"
    "    loop-record                     record whose length leads back to itself\n"
    "    loop-subrecord IDENT            sub-record whose length leads back to itself\n"
    "    header FIELD VALUE              format|signature|marker|required|first\n"
    "    no-end                          no record ending the chain\n"
    "    truncate BYTES                  cut the file after BYTES bytes\n"
    "\n"
    "Paths use / and are relative to ROOT; one that holds spaces is written in\n"
    "double quotes, except where it ends the line. '#' starts a comment.\n"
    "Example:\n"
    "  facility SceneDB/AfdFiles/Scenery/World/APT.BGL\n"
    "    airport KSEA 47.449 -122.309 131\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--generate") == 0) {
        if (argc < 3) {
            std::fputs(usage, stderr);
            return 2;
        }
        scenery::InstallSize size;
        int* counts[] = {&size.facility_files, &size.airports, &size.other_bgl_files, &size.other_files};
        for (int i = 0; i < 4 && 3 + i < argc; ++i) *counts[i] = std::atoi(argv[3 + i]);
        if (argc > 7) size.seed = static_cast<std::uint32_t>(std::strtoul(argv[7], nullptr, 10));
        try {
            scenery::generate_install(argv[2], size);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "make_scenery: %s\n", error.what());
            return 1;
        }
        return 0;
    }
    std::stringstream description;
    if (argc < 3 || std::strcmp(argv[2], "-") == 0) {
        description << std::cin.rdbuf();
    } else {
        std::ifstream file(argv[2], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "make_scenery: cannot read %s\n", argv[2]);
            return 1;
        }
        description << file.rdbuf();
    }
    try {
        scenery::build_from_description(description.str(), argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_scenery: %s\n", error.what());
        return 1;
    }
    return 0;
}

#include "diagnostics/error_reporter.h"

#include <cstdio>

void report_error(const char* file_name, std::int32_t line_number, const char* line_text,
                  const char* error_position, std::uint32_t error_width, std::int32_t code) {
    const char* name = file_name != nullptr ? file_name : "";
    const char* text = line_text != nullptr ? line_text : "";
    switch (code) {
        case 1: std::printf("ERROR: Unable to locate FS2002 in computer\n\n"); return;
        case 2: std::printf("\nERROR: Unable to open output file %s\n\n", name); return;
        case 4: std::printf("\nERROR: Unable to write to output file %s\n\n", name); return;
        case 5: std::printf("\nERROR: Unable to read from file %s\n\n", name); return;
        case 6: std::printf("\nERROR: Unable to delete old traffic file\n%s\nIs it write protected?\n\n", name); return;
        case 8:
            std::printf("\nERROR: A flight plan specifies an aircraft type %s\nThat type is not in the Aircraft.txt file\n\n",
                        text);
            return;
        case 9:
            std::printf("\nERROR: A flight plan specifies the airport %s\nThat airport is not in the Airports.txt file\n\n",
                        text);
            return;
        case 10: std::printf("\nERROR: Unable to find or open file %s\n\n", name); return;
        case 11: std::printf("\nERROR: Unable to create file %s\n\n", name); return;
        default: show_error_location(file_name, line_number, line_text, error_position, error_width, code); return;
    }
}

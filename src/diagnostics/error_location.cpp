// Shows an error at its place in a line of a source file:
//
//   ERROR in file plan.txt :
//
//   Line 7: alpha,beta,gamma
//                 |--|
//                 Error location
//
//   The elevation format is bad
//
// A long line is shown in pieces of at most 78 columns with "..." at the
// end of each, cut just after a comma where there is one, and the display
// stops after the piece that holds the error.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "diagnostics/error_reporter.h"

namespace {

constexpr std::int32_t first_located_code = 12;
constexpr std::int32_t last_located_code = 55;
constexpr std::size_t label_indent_cap = 64;

// Messages of codes 12 to 55, printed as formats.
constexpr std::array<const char*, last_located_code - first_located_code + 1> located_messages = {
    "A parameter is missing, expecting the airport code here",
    "A parameter is missing, expecting the latitude here",
    "A parameter is missing, expecting the longitude here",
    "A parameter is missing, expecting the elevation here",
    "A parameter is missing, expecting the aircraft type number here",
    "A parameter is missing, expecting the cruise speed here",
    "A parameter is missing, expecting the aircraft type here",
    "A parameter is missing, expecting the aircraft registration number here",
    "A parameter is missing, expecting the AI percent here",
    "A parameter is missing, expecting the repeat period here",
    "A parameter is missing, expecting IFR/VFR here",
    "A parameter is missing, expecting the departure time here",
    "A parameter is missing, expecting the altitude here",
    "A parameter is missing, expecting the arrival time here",
    "A parameter is missing, expecting the flight number here",
    "A parameter is missing, expecting F or T here",
    "The airport code cannot be more than 4 characters long",
    "The elevation format is bad",
    "Latitude format is bad, expecting something like N45* 21.43' or N45* 21' 10\"",
    "Longitude format is bad, expecting something like W118* 21.43' or W118* 21' 10\"",
    "Latitude degrees are limited to +/-89, minutes and seconds are limited to 0-59",
    "Longitude degrees are limited to +/-179, minutes and seconds are limited to 0-59",
    "The aircraft type number format is bad (should be something like AC#21)",
    "The aircraft type number (AC#) must be greater than 0",
    "The cruise speed format is bad",
    "The cruise speed must be greater than 0",
    "The aircraft type description format is bad (should be something like \"Boeing 737-400\")",
    "The aircraft name is limited to %d characters",
    "The aircraft registration is limited to %d characters",
    "The AI Percent format is bad",
    "The AI Percent must be between 1%% and 100%% inclusive",
    "The cycle repeat period must be one of 1,2,4,6,8,12 or 24 hours or \"WEEK\"",
    "The flight rules field must be either IFR or VFR",
    "The departure time must be in the form HH:MM:SS or HH:MM\nor D/HH:MM:SS for weekly repeat periods",
    "The arrival time must be in the form AHH:MM:SS or AHH:MM\nor AD/HH:MM:SS for weekly repeat periods",
    "The altitude format is bad (should be 0 to 1023)",
    "The altitude cannot be higher than 1023 (102300 feet)",
    "The flight number format is bad (should be 0000 to 16383)",
    "The flight number cannot be higher than 16383",
    "This must be either F to use flight number or R to use registration number",
    "There must be at least 2 flight plan legs",
    "The day of the week must be between 0 and 6 (Saturday to Friday)",
    "You specified a weekly repeat period so you must specify\na day along with time fields, e.g. 2/01:30:00",
    "A synchronisation error occured for unknown reasons\nwhile inserting arrival times.\nArrival time insertion has been cancelled.",
};

// The numbers that messages 39 and 40 name.
constexpr int aircraft_name_limit = 100;
constexpr int registration_limit = 7;

void print_message(std::int32_t code) {
    if (code < first_located_code || code > last_located_code) return;
    const char* message = located_messages[static_cast<std::size_t>(code - first_located_code)];
    // Every message is a format; only 39 and 40 take a number.
    const int number = code == 39 ? aircraft_name_limit : code == 40 ? registration_limit : 0;
    std::printf(message, number);
}

// Where the error starts, as an offset into the text; a position outside
// the text counts as its end.
std::size_t error_offset(const char* text, std::size_t length, const char* position) {
    const auto start = reinterpret_cast<std::uintptr_t>(text);
    const auto at = reinterpret_cast<std::uintptr_t>(position);
    if (position == nullptr || at < start || at - start > length) return length;
    return at - start;
}

}  // namespace

void show_error_location(const char* file_name, std::int32_t line_number, const char* line_text,
                         const char* error_position, std::uint32_t error_width, std::int32_t code) {
    const char* text = line_text != nullptr ? line_text : "";
    std::printf("\nERROR in file %s :\n\n", file_name != nullptr ? file_name : "");

    // Holds the line prefix, then as many spaces, then the marker's indent.
    std::array<char, 84> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "Line %d: ", line_number);
    const std::size_t prefix_length = std::strlen(buffer.data());
    const std::size_t single_line_limit = 78 - prefix_length;
    const std::size_t cut_offset = 75 - prefix_length;

    std::size_t remaining = std::strlen(text);
    const std::size_t error_at = error_offset(text, remaining, error_position);
    std::size_t piece_start = 0;
    bool error_shown = false;
    while (remaining > single_line_limit) {
        const std::size_t candidate = piece_start + cut_offset;
        std::size_t cut = candidate;
        for (std::size_t at = candidate;; --at) {
            if (text[at] == ',') {
                if (at > piece_start) cut = at + 1;
                break;
            }
            if (at == piece_start) break;
        }
        std::printf("%s%.*s...\n", buffer.data(), static_cast<int>(cut - piece_start), text + piece_start);
        std::memset(buffer.data(), ' ', prefix_length);
        if (error_at < cut) {
            error_shown = true;
            break;
        }
        remaining -= cut - piece_start;
        piece_start = cut;
    }
    if (!error_shown && remaining != 0) std::printf("%s%s\n", buffer.data(), text + piece_start);

    // The marker column lies within the piece shown last, so at most 78.
    std::size_t column = prefix_length + (error_at - piece_start);
    if (column > buffer.size() - 1) column = buffer.size() - 1;
    std::memset(buffer.data(), ' ', column);
    buffer[column] = '\0';
    std::printf("%s|", buffer.data());
    for (std::uint32_t dash = 2; dash < error_width; ++dash) std::putchar('-');
    if (error_width > 1) std::putchar('|');
    std::putchar('\n');

    if (column > label_indent_cap) buffer[label_indent_cap] = '\0';
    std::printf("%sError location\n\n", buffer.data());
    print_message(code);
    std::printf("\n\n");
}

// One airport collected from the facility files, and the list that carries
// all of them from the scanner to Airports.txt.
#pragma once

#include <array>
#include <cstdint>

struct AirportRecord {
    AirportRecord* next;       // the following record; null at the end
    std::int32_t lat_degrees;  // whole degrees, negative south
    float lat_minutes;         // negative south (also when the degrees are 0)
    std::int32_t lon_degrees;  // whole degrees, negative west
    float lon_minutes;         // negative west (also when the degrees are 0)
    std::int32_t elevation_m;  // whole metres
    std::array<char, 8> ident; // up to 4 characters, then zero bytes
};

// A zero-filled record for the list. Records live until the process ends:
// the program never releases them.
AirportRecord* new_airport_record();
// Returns every record made so far to the heap, for callers that read many
// files and keep none of their lists (tests, fuzzing).
void release_airport_records();

// Orders two records by identifier: bytes compared as unsigned, with only
// A-Z folded to a-z; a shorter identifier that is a prefix sorts first.
// Takes addresses of record addresses, as the library sort hands them.
int compare_idents(const void* a, const void* b);

// Relinks the `count` records of the list at `*list_head` in the order of
// compare_idents. The order of records that compare equal is not defined.
void sort_airports(AirportRecord** list_head, std::uint32_t count);

// Writes "Airports.txt" in the current directory from the list, one line
// per record in list order, and prints the progress and the final count.
// Returns 0 when the file was written; 11 when it could not be created and
// 4 when writing it failed, after reporting the error. The table that was
// there before stays untouched unless the new one was written completely.
int write_airport_file(AirportRecord* const* list_head);

// The text of one table line for `record`, without its line end.
// `line` must hold at least airport_line_size characters.
constexpr std::size_t airport_line_size = 96;
void format_airport_line(const AirportRecord& record, char* line);

// The airport facility files (.bgl) of FS2002: the header check, the walk
// of the record chain that yields the airports, and the decoding of the
// fixed-point positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "airports/airport_record.h"

constexpr std::size_t facility_header_size = 168;

namespace facility {
// Header fields (offsets from the start of the file) and accepted values.
constexpr std::size_t format_word_at = 0x00;
constexpr std::uint16_t format_word = 0x0001;
constexpr std::size_t signature_at = 0x76;
constexpr std::uint32_t signature = 0x87654321;
constexpr std::size_t section_marker_at = 0x90;
constexpr std::uint32_t section_marker = 1;
constexpr std::size_t required_field_at = 0x9C;
constexpr std::size_t first_record_offset_at = 0xA4;

// Record chain.
constexpr std::uint32_t record_kind = 1;
constexpr std::uint32_t airport_record_type = 1;
constexpr std::uint32_t record_head_size = 16;
constexpr std::uint32_t length_base = 8;  // lengths count the bytes after the first 8

// Sub-records of an airport record.
constexpr std::uint32_t end_of_subrecords = 0;
constexpr std::uint32_t identifier_id = 0x00010006;
constexpr std::uint32_t position_id = 0x00010001;
constexpr std::uint32_t identifier_payload_size = 8;
constexpr std::uint32_t position_payload_size = 32;
constexpr std::size_t ident_length = 4;

// Position units.
constexpr double latitude_factor = 2.0951091487837895e-15;           // 90 / (10001750 * 2^32)
constexpr double longitude_factor = 360.0 / 18446744073709551616.0;  // 360 / 2^64
constexpr double altitude_factor = 1.0 / 4294967296.0;               // 2^-32
}  // namespace facility

// Reads the 168-byte header of `file` (positioned at its start) into
// `header`, which the caller keeps for the walk. 1 when it is the header of
// a facility file, 0 otherwise (also for a file shorter than the header).
int check_facility_header(std::FILE* file, unsigned char* header);

// Walks the record chain of an accepted file, whose stream stands just
// after the header as check_facility_header left it, and prepends one record per
// airport to the list at `*list_head`; `*file_airports` is set to their
// number. The walk ends at the end of the chain, at a read cut short by the
// end of the file (the airport being read then is not made), and at a
// length that would not move the walk forward. Its work grows with the
// size of the file whatever the file holds.
void read_facility_airports(std::FILE* file, const unsigned char* header, AirportRecord** list_head,
                            std::int32_t* file_airports);

// Turns the fixed-point latitude and longitude into whole degrees and
// minutes (single precision) of the same sign.
void decode_position(std::int64_t latitude, std::int64_t longitude, std::int32_t* lat_degrees, float* lat_minutes,
                     std::int32_t* lon_degrees, float* lon_minutes);

// Whole metres from the fixed-point altitude, rounded half up and then
// truncated toward zero, held within 32 bits.
std::int32_t decode_elevation(std::int64_t altitude);

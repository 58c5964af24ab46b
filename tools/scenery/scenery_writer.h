// Writes FS2002 airport facility files and simulator folder trees, for the
// tests, the benchmark and the sample install. Its encoding is the exact
// inverse of fieldroll's decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace scenery {

using Bytes = std::vector<std::uint8_t>;

// Fixed-point units of the facility files.
std::int64_t latitude_units(double degrees);   // degrees x 10001750 x 2^32 / 90
std::int64_t longitude_units(double degrees);  // degrees x 2^64 / 360
std::int64_t altitude_units(double metres);    // metres x 2^32

struct Airport {
    std::string ident;
    double latitude = 0;   // degrees, negative south
    double longitude = 0;  // degrees, negative west
    double elevation = 0;  // metres
};

// The five header fields fieldroll looks at; the defaults are accepted.
struct HeaderFields {
    std::uint16_t format = 0x0001;
    std::uint32_t signature = 0x87654321;
    std::uint32_t section_marker = 1;
    std::uint32_t required = 1;
    std::uint32_t first_record_offset = 168;
};
constexpr std::size_t header_size = 168;

constexpr std::uint32_t identifier_id = 0x00010006;
constexpr std::uint32_t position_id = 0x00010001;

struct Subrecord {
    std::uint32_t id = 0;
    Bytes payload;
    // Written as the length field when set, instead of the payload size.
    bool has_length = false;
    std::uint32_t length = 0;
};

Subrecord identifier_subrecord(const std::string& ident);
Subrecord position_subrecord(double latitude, double longitude, double elevation);
Subrecord raw_position_subrecord(std::int64_t latitude, std::int64_t longitude, std::int64_t altitude);
Subrecord other_subrecord(std::uint32_t id, std::size_t payload_size);

void put_u16(Bytes& bytes, std::size_t at, std::uint16_t value);
void put_u32(Bytes& bytes, std::size_t at, std::uint32_t value);
void add_u32(Bytes& bytes, std::uint32_t value);
void add_u64(Bytes& bytes, std::uint64_t value);

// A 168-byte header with the given fields; other bytes are zero.
Bytes facility_header(const HeaderFields& fields = {});

// Appends a record of the chain: kind 1, the length of what follows its
// first 8 bytes, the type, an unused word, then `body`. Returns the offset
// of the record.
std::size_t add_record(Bytes& bytes, std::uint32_t type, const Bytes& body);
// An airport record made of `subrecords`, ended by a zero id unless
// `terminated` is false.
std::size_t add_airport_record(Bytes& bytes, const std::vector<Subrecord>& subrecords, bool terminated = true);
// The usual airport record: identifier, then position, then the end mark.
std::size_t add_airport(Bytes& bytes, const Airport& airport, bool position_first = false);
// A record that ends the chain (kind 0).
void add_chain_end(Bytes& bytes);

// A complete facility file holding `airports`.
Bytes facility_file(const std::vector<Airport>& airports);

// Facility files damaged in every way this writer knows, by file name:
// cut at every record and sub-record boundary and inside payloads, lengths
// that do not advance or are huge, first records past the end, random
// bytes behind a valid header, an empty file.
std::vector<std::pair<std::string, Bytes>> hostile_files();

// A large simulator install for the benchmark: facility files holding
// `airports` airports in nested folders of both trees (with the records
// and sub-records of other kinds that real ones carry), non-facility .bgl
// files of scenery-like sizes, and other files. The same options give the
// same tree.
struct InstallSize {
    int facility_files = 2000;
    int airports = 250000;
    int other_bgl_files = 5000;
    int other_files = 2000;
    std::uint32_t seed = 2002;
};
void generate_install(const std::string& root, const InstallSize& size);

// Pseudo-random bytes, the same for the same seed.
Bytes noise(std::size_t size, std::uint32_t seed);

// Writes `bytes` at `path`, creating the folders it needs.
void write_file(const std::string& path, const Bytes& bytes);

}  // namespace scenery

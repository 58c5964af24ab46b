#include "scenery/scenery_writer.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace scenery {

namespace {
constexpr double two_32 = 4294967296.0;
constexpr double two_64 = 18446744073709551616.0;
}  // namespace

std::int64_t latitude_units(double degrees) { return std::llround(degrees * 10001750.0 * two_32 / 90.0); }

std::int64_t longitude_units(double degrees) {
    // 180 degrees east is the same place as 180 west, the largest unit below.
    const double units = std::round(degrees * two_64 / 360.0);
    if (units >= two_64 / 2) return INT64_MAX;
    return static_cast<std::int64_t>(units);
}

std::int64_t altitude_units(double metres) { return std::llround(metres * two_32); }

void put_u16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void add_u32(Bytes& bytes, std::uint32_t value) {
    bytes.resize(bytes.size() + 4);
    put_u32(bytes, bytes.size() - 4, value);
}

void add_u64(Bytes& bytes, std::uint64_t value) {
    add_u32(bytes, static_cast<std::uint32_t>(value));
    add_u32(bytes, static_cast<std::uint32_t>(value >> 32));
}

Subrecord identifier_subrecord(const std::string& ident) {
    Subrecord sub{identifier_id, Bytes(8, 0)};
    for (std::size_t i = 0; i < ident.size() && i < 8; ++i) sub.payload[i] = static_cast<std::uint8_t>(ident[i]);
    return sub;
}

Subrecord raw_position_subrecord(std::int64_t latitude, std::int64_t longitude, std::int64_t altitude) {
    Subrecord sub{position_id, {}};
    add_u64(sub.payload, static_cast<std::uint64_t>(latitude));
    add_u64(sub.payload, static_cast<std::uint64_t>(longitude));
    add_u64(sub.payload, static_cast<std::uint64_t>(altitude));
    add_u64(sub.payload, 0);
    return sub;
}

Subrecord position_subrecord(double latitude, double longitude, double elevation) {
    return raw_position_subrecord(latitude_units(latitude), longitude_units(longitude), altitude_units(elevation));
}

Subrecord other_subrecord(std::uint32_t id, std::size_t payload_size) {
    return Subrecord{id, Bytes(payload_size, 0x5A)};
}

Bytes facility_header(const HeaderFields& fields) {
    Bytes bytes(header_size, 0);
    put_u16(bytes, 0x00, fields.format);
    put_u32(bytes, 0x76, fields.signature);
    put_u32(bytes, 0x90, fields.section_marker);
    put_u32(bytes, 0x9C, fields.required);
    put_u32(bytes, 0xA4, fields.first_record_offset);
    return bytes;
}

std::size_t add_record(Bytes& bytes, std::uint32_t type, const Bytes& body) {
    const std::size_t offset = bytes.size();
    add_u32(bytes, 1);
    add_u32(bytes, static_cast<std::uint32_t>(8 + body.size()));
    add_u32(bytes, type);
    add_u32(bytes, 0);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return offset;
}

std::size_t add_airport_record(Bytes& bytes, const std::vector<Subrecord>& subrecords, bool terminated) {
    Bytes body;
    for (const Subrecord& sub : subrecords) {
        add_u32(body, sub.id);
        add_u32(body, sub.has_length ? sub.length : static_cast<std::uint32_t>(sub.payload.size()));
        body.insert(body.end(), sub.payload.begin(), sub.payload.end());
    }
    if (terminated) {
        add_u32(body, 0);
        add_u32(body, 0);
    }
    return add_record(bytes, 1, body);
}

std::size_t add_airport(Bytes& bytes, const Airport& airport, bool position_first) {
    Subrecord ident = identifier_subrecord(airport.ident);
    Subrecord position = position_subrecord(airport.latitude, airport.longitude, airport.elevation);
    if (position_first) return add_airport_record(bytes, {position, ident});
    return add_airport_record(bytes, {ident, position});
}

void add_chain_end(Bytes& bytes) {
    add_u32(bytes, 0);
    add_u32(bytes, 0);
}

Bytes facility_file(const std::vector<Airport>& airports) {
    Bytes bytes = facility_header();
    for (const Airport& airport : airports) add_airport(bytes, airport);
    add_chain_end(bytes);
    return bytes;
}

std::vector<std::pair<std::string, Bytes>> hostile_files() {
    std::vector<std::pair<std::string, Bytes>> files;
    // A file with every kind of record, and where each part of it starts.
    Bytes whole = facility_header();
    std::vector<std::size_t> cuts = {0, 1, 100, header_size - 1, header_size};
    auto mark = [&](std::size_t from, std::size_t to) {
        for (std::size_t at = from; at <= to; at += (to - from) / 3 + 1) cuts.push_back(at);
        cuts.push_back(to);
    };
    add_record(whole, 2, Bytes(24, 0x11));
    mark(header_size, whole.size());
    for (const bool position_first : {false, true}) {
        const std::size_t start = whole.size();
        add_airport(whole, {position_first ? "PFST" : "IDFS", 12.5, -45.25, 100}, position_first);
        // Record head, each sub-record head and payload, the end mark.
        for (std::size_t at : {start, start + 8, start + 16, start + 24, start + 32, start + 40, start + 56,
                               start + 72, start + 80}) {
            mark(at, at + 7);
        }
    }
    add_airport_record(whole, {other_subrecord(0x00010002, 5), identifier_subrecord("ODD1"),
                               position_subrecord(-0.001, 179.999, -12.9)});
    add_chain_end(whole);
    for (std::size_t cut : cuts) {
        if (cut <= whole.size()) {
            files.emplace_back("cut-" + std::to_string(cut) + ".bgl", Bytes(whole.begin(), whole.begin() + cut));
        }
    }
    files.emplace_back("whole.bgl", whole);

    // Lengths that wrap back, stand still, or reach far past the end.
    for (const std::uint32_t length : {0xFFFFFFF8u, 0xFFFFFFF0u, 0x7FFFFFF0u, 0xFFFFFFFFu, 0u}) {
        Bytes record_length = facility_header();
        add_airport(record_length, {"RLEN", 1, 1, 1});
        const std::size_t at = add_record(record_length, 2, Bytes(8, 0));
        put_u32(record_length, at + 4, length);
        add_airport(record_length, {"AFTR", 2, 2, 2});
        files.emplace_back("record-length-" + std::to_string(length) + ".bgl", record_length);

        Bytes sub_length = facility_header();
        Subrecord odd = other_subrecord(0x00010077, 0);
        odd.has_length = true;
        odd.length = length;
        add_airport_record(sub_length, {identifier_subrecord("SLEN"), odd, position_subrecord(3, 3, 3)});
        add_chain_end(sub_length);
        files.emplace_back("subrecord-length-" + std::to_string(length) + ".bgl", sub_length);
    }

    // First records past the end, or inside the header.
    for (const std::uint32_t first : {0xFFFFFFF0u, 0x7FFFFFFFu, 4096u, 8u, 167u}) {
        HeaderFields fields;
        fields.first_record_offset = first;
        Bytes bytes = facility_header(fields);
        add_airport(bytes, {"FRST", 4, 4, 4});
        files.emplace_back("first-" + std::to_string(first) + ".bgl", bytes);
    }

    // Random bytes behind a valid header, alone and after a good record.
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Bytes bytes = facility_header();
        if (seed % 2 == 0) add_airport(bytes, {"GOOD", 5, 5, 5});
        const Bytes tail = noise(16 + seed * 97, seed);
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        files.emplace_back("noise-" + std::to_string(seed) + ".bgl", bytes);
    }
    // Random bytes shaped like records: kind 1 and type 1 in place.
    for (std::uint32_t seed = 41; seed <= 60; ++seed) {
        Bytes bytes = facility_header();
        const Bytes tail = noise(64 * seed, seed);
        for (std::size_t at = 0; at + 16 <= tail.size(); at += 16) {
            add_u32(bytes, 1);
            add_u32(bytes, 8 + (tail[at] % 3) * 8);
            add_u32(bytes, 1);
            add_u32(bytes, tail[at + 1] % 2 == 0 ? identifier_id : position_id);
        }
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        files.emplace_back("shaped-" + std::to_string(seed) + ".bgl", bytes);
    }
    files.emplace_back("empty.bgl", Bytes{});
    files.emplace_back(".bgl", facility_file({{"DOT1", 6, 6, 6}}));
    return files;
}

namespace {

struct Random {
    std::uint64_t state;
    std::uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    }
    int below(int limit) { return static_cast<int>(next() % static_cast<std::uint32_t>(limit)); }
    double between(double low, double high) { return low + (high - low) * (next() / 4294967296.0); }
};

std::string numbered(const char* stem, int number, const char* suffix) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%05d%s", stem, number, suffix);
    return text;
}

// Where the i-th of `count` files of a tree goes: a few levels of folders.
std::string nested_folder(bool database, int i) {
    if (database) {
        return "SCENEDB/AFDFILES/SCENERY/" + numbered("REGION", i % 12, "") + "/" + numbered("AREA", i % 97, "");
    }
    return "Addon Scenery/" + numbered("Pack ", i % 150, "") + "/scenery/" + numbered("Part", i % 7, "");
}

}  // namespace

void generate_install(const std::string& root, const InstallSize& size) {
    Random random{size.seed};
    const int files = size.facility_files > 0 ? size.facility_files : 1;
    int airports_left = size.airports;
    for (int i = 0; i < files; ++i) {
        const int in_file = airports_left / (files - i);
        airports_left -= in_file;
        Bytes bytes = facility_header();
        for (int k = 0; k < in_file; ++k) {
            const int number = size.airports - airports_left - in_file + k;
            std::string ident(4, 'A');
            for (int c = 3, n = number; c >= 0; --c, n /= 36) ident[c] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[n % 36];
            // A runway sub-record before the identifier and position, and a
            // record of another kind after each airport, as real files have.
            add_airport_record(bytes, {other_subrecord(0x00010002, 40), identifier_subrecord(ident),
                                       position_subrecord(random.between(-89, 89), random.between(-179.9, 179.9),
                                                          random.between(-30, 4000))});
            add_record(bytes, 3, Bytes(120, 0x21));
        }
        add_chain_end(bytes);
        const bool database = i % 5 < 3;
        write_file(root + "/" + nested_folder(database, i) + "/" + numbered(database ? "AP" : "ap_", i, ".BGL"),
                   bytes);
    }
    for (int i = 0; i < size.other_bgl_files; ++i) {
        const bool database = i % 2 == 0;
        const std::size_t bytes = 2048 + static_cast<std::size_t>(random.below(62 * 1024));
        write_file(root + "/" + nested_folder(database, i) + "/" + numbered(database ? "OBJ" : "Texture_", i, ".bgl"),
                   noise(bytes, random.next()));
    }
    for (int i = 0; i < size.other_files; ++i) {
        const bool database = i % 2 == 0;
        write_file(root + "/" + nested_folder(database, i) + "/" + numbered("file", i, i % 3 == 0 ? ".bmp" : ".txt"),
                   noise(1024 + static_cast<std::size_t>(random.below(7 * 1024)), random.next()));
    }
}

Bytes noise(std::size_t size, std::uint32_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state);
    }
    return bytes;
}

void write_file(const std::string& path, const Bytes& bytes) {
    const std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace scenery

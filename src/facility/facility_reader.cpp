#include "facility/facility_reader.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

std::uint32_t le32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::int64_t le64(const unsigned char* bytes) {
    const std::uint64_t value = static_cast<std::uint64_t>(le32(bytes)) | static_cast<std::uint64_t>(le32(bytes + 4)) << 32;
    return static_cast<std::int64_t>(value);
}

// Reads at given offsets of a stream through a window of the file held in
// memory: a walk that moves forward, as walks do, costs one read of the
// stream per window, and a seek only where it leaves the window.
constexpr std::size_t window_size = 64 * 1024;

struct FileCursor {
    std::FILE* file;
    unsigned char* window;
    std::uint64_t window_start = 0;
    std::size_t window_filled = 0;
    std::uint64_t stream_position;  // where the stream stands
    std::uint64_t next = 0;         // just after the bytes read last

    bool read(std::uint64_t offset, unsigned char* into, std::size_t size) {
        if (offset < window_start || offset + size > window_start + window_filled) {
            if (offset != stream_position) {
                if (offset > LONG_MAX || std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
                stream_position = offset;
            }
            window_start = offset;
            window_filled = std::fread(window, 1, window_size, file);
            stream_position += window_filled;
            if (size > window_filled) return false;
        }
        std::memcpy(into, window + (offset - window_start), size);
        next = offset + size;
        return true;
    }
};

// Sub-record steps taken beyond the end of their own record, for a whole
// file. Chains may run on past their record, and are followed there, but
// only this far: a file built to send every chain to its end would
// otherwise cost time growing with the square of its size. Steps inside a
// record are not counted; there are at most as many as the file has bytes.
constexpr std::uint64_t overrun_steps_per_file = 1u << 20;

}  // namespace

int check_facility_header(std::FILE* file, unsigned char* header) {
    if (std::fread(header, 1, facility_header_size, file) != facility_header_size) return 0;
    const auto format = static_cast<std::uint16_t>(header[facility::format_word_at] |
                                                   header[facility::format_word_at + 1] << 8);
    const bool accepted = format == facility::format_word && le32(header + facility::signature_at) == facility::signature &&
                          le32(header + facility::section_marker_at) == facility::section_marker &&
                          le32(header + facility::required_field_at) != 0 &&
                          le32(header + facility::first_record_offset_at) != 0;
    return accepted ? 1 : 0;
}

void decode_position(std::int64_t latitude, std::int64_t longitude, std::int32_t* lat_degrees, float* lat_minutes,
                     std::int32_t* lon_degrees, float* lon_minutes) {
    struct Axis {
        std::int64_t value;
        double factor;
        std::int32_t* degrees;
        float* minutes;
    };
    for (const Axis& axis : {Axis{latitude, facility::latitude_factor, lat_degrees, lat_minutes},
                             Axis{longitude, facility::longitude_factor, lon_degrees, lon_minutes}}) {
        const double degrees = static_cast<double>(axis.value) * axis.factor;
        std::int32_t whole = static_cast<std::int32_t>(degrees);
        // The fraction with the sign of the value, as fmod(degrees, 1.0)
        // gives it; the subtraction is exact.
        const double fraction = std::copysign(degrees - std::trunc(degrees), degrees);
        float minutes = static_cast<float>(fraction * 60.0);
        if (minutes == 60.0f) {
            whole += 1;
            minutes = 0.0f;
        } else if (minutes == -60.0f) {
            whole -= 1;
            minutes = 0.0f;
        }
        *axis.degrees = whole;
        *axis.minutes = minutes;
    }
}

std::int32_t decode_elevation(std::int64_t altitude) {
    const double metres = std::trunc(static_cast<double>(altitude) * facility::altitude_factor + 0.5);
    if (metres >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (metres <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<std::int32_t>(metres);
}

void read_facility_airports(std::FILE* file, const unsigned char* header, AirportRecord** list_head,
                            std::int32_t* file_airports) {
    *file_airports = 0;
    // One window for every file: the program reads one file at a time.
    static std::array<unsigned char, window_size> window;
    FileCursor cursor{file, window.data(), 0, 0, facility_header_size};
    std::array<char, facility::ident_length + 1> ident{};
    std::int64_t latitude = 0;
    std::int64_t longitude = 0;
    std::int64_t altitude = 0;
    std::uint64_t overrun_steps = 0;

    std::uint32_t record_offset = le32(header + facility::first_record_offset_at);
    for (;;) {
        std::array<unsigned char, facility::record_head_size> head{};
        if (!cursor.read(record_offset, head.data(), head.size())) return;
        const std::uint32_t kind = le32(head.data());
        const std::uint32_t length = le32(head.data() + 4);
        const std::uint32_t type = le32(head.data() + 8);
        if (kind != facility::record_kind) return;
        const std::uint64_t record_end = std::uint64_t{record_offset} + facility::length_base + length;

        if (type == facility::airport_record_type) {
            bool ident_seen = false;
            bool position_seen = false;
            std::uint64_t sub_offset = std::uint64_t{record_offset} + facility::record_head_size;
            for (;;) {
                if (sub_offset >= record_end && ++overrun_steps > overrun_steps_per_file) break;
                std::array<unsigned char, 8> sub{};
                if (!cursor.read(sub_offset, sub.data(), sub.size())) return;
                const std::uint32_t id = le32(sub.data());
                const std::uint32_t sub_length = le32(sub.data() + 4);
                if (id == facility::end_of_subrecords) break;
                if (id == facility::identifier_id) {
                    std::array<unsigned char, facility::identifier_payload_size> payload{};
                    if (!cursor.read(cursor.next, payload.data(), payload.size())) return;
                    std::size_t kept = 0;
                    while (kept < facility::ident_length && payload[kept] != 0) {
                        ident[kept] = static_cast<char>(payload[kept]);
                        ++kept;
                    }
                    ident[kept] = '\0';
                    ident_seen = true;
                } else if (id == facility::position_id) {
                    std::array<unsigned char, facility::position_payload_size> payload{};
                    if (!cursor.read(cursor.next, payload.data(), payload.size())) return;
                    latitude = le64(payload.data());
                    longitude = le64(payload.data() + 8);
                    altitude = le64(payload.data() + 16);
                    position_seen = true;
                }
                if (ident_seen && position_seen) {
                    AirportRecord* airport = new_airport_record();
                    airport->next = *list_head;
                    *list_head = airport;
                    std::memcpy(airport->ident.data(), ident.data(), ident.size());
                    decode_position(latitude, longitude, &airport->lat_degrees, &airport->lat_minutes,
                                    &airport->lon_degrees, &airport->lon_minutes);
                    airport->elevation_m = decode_elevation(altitude);
                    ++*file_airports;
                    break;
                }
                // Offsets are 32-bit: a length that wraps back ends the walk.
                const auto next = static_cast<std::uint32_t>(sub_offset + facility::length_base + sub_length);
                if (next <= sub_offset) return;
                sub_offset = next;
            }
        }
        const auto next = static_cast<std::uint32_t>(record_end);
        if (next <= record_offset) return;
        record_offset = next;
    }
}

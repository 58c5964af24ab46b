// Airports.txt: one line per airport, such as
//   ABCD,N47* 30.00',W122* 30.00',430
// identifier in four columns, latitude and longitude as hemisphere, whole
// degrees and minutes truncated to hundredths, elevation in feet. Every
// line ends with a carriage return and a line feed.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "airports/airport_record.h"
#include "diagnostics/error_reporter.h"
#include "platform/platform.h"

namespace {

constexpr const char* table_name = "Airports.txt";
// The new table is written beside the old one and takes its place only
// when it is complete.
constexpr const char* temporary_name = "Airports.txt.new";
constexpr int progress_every = 33;
constexpr double feet_per_metre = 3.280839895;

// Minutes without sign, truncated (not rounded) to hundredths.
double truncated_minutes(float minutes) {
    return std::trunc(std::fabs(static_cast<double>(minutes)) * 100.0) * 0.01;
}

// The identifier as it may stand in a table line: a damaged file can give
// bytes that would end the line or split its fields, and those are shown
// as '?'.
std::array<char, 5> printable_ident(const AirportRecord& record) {
    std::array<char, 5> ident{};
    for (std::size_t i = 0; i < 4 && record.ident[i] != '\0'; ++i) {
        const auto c = static_cast<unsigned char>(record.ident[i]);
        ident[i] = (c < 0x20 || c == 0x7F || c == ',') ? '?' : record.ident[i];
    }
    return ident;
}

long long magnitude(std::int32_t degrees) { return std::llabs(static_cast<long long>(degrees)); }

int report_failure(std::int32_t code) {
    report_error(table_name, 0, "", nullptr, 0, code);
    return code;
}

}  // namespace

void format_airport_line(const AirportRecord& record, char* line) {
    const bool south = static_cast<double>(record.lat_degrees) + static_cast<double>(record.lat_minutes) < 0.0;
    const bool west = static_cast<double>(record.lon_degrees) + static_cast<double>(record.lon_minutes) < 0.0;
    // Elevations beyond 32 bits in feet are written as they are, not wrapped.
    const auto feet = static_cast<long long>(static_cast<double>(record.elevation_m) * feet_per_metre + 0.5);
    const std::array<char, 5> ident = printable_ident(record);
    std::snprintf(line, airport_line_size, "%-4.4s,%c%lld* %.2f',%c%lld* %.2f',%lld", ident.data(),
                  south ? 'S' : 'N', magnitude(record.lat_degrees), truncated_minutes(record.lat_minutes),
                  west ? 'W' : 'E', magnitude(record.lon_degrees), truncated_minutes(record.lon_minutes), feet);
}

int write_airport_file(AirportRecord* const* list_head) {
    std::printf("Creating %s now...\n", table_name);
    if (!platform::replaceable(table_name)) return report_failure(error_code::file_not_created);
    platform::FileGuard file(platform::open_file(temporary_name, "w"));
    if (!file) return report_failure(error_code::file_not_created);

    int count = 0;
    bool written = true;
    std::array<char, airport_line_size> line{};
    for (const AirportRecord* record = *list_head; record != nullptr && written; record = record->next) {
        ++count;
        if (count % progress_every == 0) std::printf("  Airports %d\r", count);
        format_airport_line(*record, line.data());
        written = std::fputs(line.data(), file.get()) >= 0 && std::fputs(platform::text_line_end, file.get()) >= 0;
    }
    written = std::fflush(file.get()) == 0 && written;
    written = std::fclose(file.release()) == 0 && written;
    if (!written) {
        platform::remove_file(temporary_name);
        return report_failure(error_code::output_not_written);
    }
    if (!platform::replace_file(temporary_name, table_name)) {
        platform::remove_file(temporary_name);
        return report_failure(error_code::file_not_created);
    }
    std::printf("  Airports %d\n", count);
    return 0;
}

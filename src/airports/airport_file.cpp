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
#include <cstring>
#include <memory>

#include "airports/airport_record.h"
#include "diagnostics/error_reporter.h"
#include "platform/platform.h"

namespace {

constexpr const char* table_name = "Airports.txt";
// The new table is written beside the old one and takes its place only
// when it is complete.
constexpr const char* temporary_name = "Airports.txt.new";
constexpr int progress_every = 33;
constexpr std::size_t output_buffer_size = 64 * 1024;
constexpr double feet_per_metre = 3.280839895;

// The table's lines are composed by hand rather than through "%.2f": the
// same text, at a fraction of the cost for a quarter of a million lines.

char* put_digits(char* out, unsigned long long value) {
    std::array<char, 20> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

char* put_signed(char* out, long long value) {
    if (value < 0) *out++ = '-';
    return put_digits(out, value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value));
}

// One coordinate: hemisphere letter, whole degrees without sign, "* ", and
// the minutes without sign truncated (not rounded) to hundredths.
char* put_coordinate(char* out, std::int32_t degrees, float minutes, char positive, char negative) {
    *out++ = static_cast<double>(degrees) + static_cast<double>(minutes) < 0.0 ? negative : positive;
    out = put_digits(out, static_cast<unsigned long long>(std::llabs(static_cast<long long>(degrees))));
    *out++ = '*';
    *out++ = ' ';
    constexpr double largest_hundredths = 1e15;  // far beyond any minutes of a facility file
    const double hundredths = std::trunc(std::fabs(static_cast<double>(minutes)) * 100.0);
    const auto whole = static_cast<unsigned long long>(hundredths < largest_hundredths ? hundredths : largest_hundredths);
    out = put_digits(out, whole / 100);
    *out++ = '.';
    *out++ = static_cast<char>('0' + whole % 100 / 10);
    *out++ = static_cast<char>('0' + whole % 10);
    *out++ = '\'';
    return out;
}

int report_failure(std::int32_t code) {
    report_error(table_name, 0, "", nullptr, 0, code);
    return code;
}

}  // namespace

void format_airport_line(const AirportRecord& record, char* line) {
    char* out = line;
    // The identifier in four columns, cut after four characters. A damaged
    // file can give bytes that would end the line or split its fields;
    // those are shown as '?'.
    bool ended = false;
    for (std::size_t i = 0; i < 4; ++i) {
        ended = ended || record.ident[i] == '\0';
        const auto c = static_cast<unsigned char>(record.ident[i]);
        *out++ = ended ? ' ' : (c < 0x20 || c == 0x7F || c == ',') ? '?' : record.ident[i];
    }
    *out++ = ',';
    out = put_coordinate(out, record.lat_degrees, record.lat_minutes, 'N', 'S');
    *out++ = ',';
    out = put_coordinate(out, record.lon_degrees, record.lon_minutes, 'E', 'W');
    *out++ = ',';
    // Elevations beyond 32 bits in feet are written as they are, not wrapped.
    out = put_signed(out, static_cast<long long>(static_cast<double>(record.elevation_m) * feet_per_metre + 0.5));
    *out = '\0';
}

int write_airport_file(AirportRecord* const* list_head) {
    std::printf("Creating %s now...\n", table_name);
    if (!platform::replaceable(table_name)) return report_failure(error_code::file_not_created);
    // A larger buffer than the stream's own: fewer writes for a big table.
    // It outlives the stream.
    const std::unique_ptr<char[]> buffer(new char[output_buffer_size]);
    platform::FileGuard file(platform::open_file(temporary_name, "w"));
    if (!file) return report_failure(error_code::file_not_created);

    std::setvbuf(file.get(), buffer.get(), _IOFBF, output_buffer_size);

    int count = 0;
    bool written = true;
    const std::size_t line_end_length = std::strlen(platform::text_line_end);
    std::array<char, airport_line_size> line{};
    for (const AirportRecord* record = *list_head; record != nullptr && written; record = record->next) {
        ++count;
        if (count % progress_every == 0) std::printf("  Airports %d\r", count);
        format_airport_line(*record, line.data());
        const std::size_t length = std::strlen(line.data());
        std::memcpy(line.data() + length, platform::text_line_end, line_end_length + 1);
        written = std::fwrite(line.data(), 1, length + line_end_length, file.get()) == length + line_end_length;
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

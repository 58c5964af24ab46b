#include "fuzz_targets.h"

#include <array>
#include <cstring>
#include <string>

#include "diagnostics/error_reporter.h"
#include "facility/facility_reader.h"

int fuzz_facility_file(std::FILE* file) {
    std::array<unsigned char, facility_header_size> header{};
    if (check_facility_header(file, header.data()) == 0) return -1;
    AirportRecord* head = nullptr;
    std::int32_t count = -1;
    read_facility_airports(file, header.data(), &head, &count);
    int listed = 0;
    for (; head != nullptr; head = head->next) ++listed;
    release_airport_records();
    // The count reported must be the number of records made.
    if (listed != count) __builtin_trap();
    return listed;
}

void fuzz_error_location(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t settings = 10;
    std::array<std::uint8_t, settings> head{};
    std::memcpy(head.data(), data, size < settings ? size : settings);
    const std::size_t taken = size < settings ? size : settings;
    // The text lives in a larger buffer, so that a position past its end is
    // still a position in memory the fuzzer owns.
    std::string storage(reinterpret_cast<const char*>(data) + taken, size - taken);
    const std::size_t length = storage.find('\0') == std::string::npos ? storage.size() : storage.find('\0');
    storage.resize(storage.size() + 64, '\0');

    const std::uint32_t width = static_cast<std::uint32_t>(head[0] | head[1] << 8) % 2048;
    const std::int32_t code = static_cast<std::int8_t>(head[2]);
    std::int32_t line_number = 0;
    std::memcpy(&line_number, head.data() + 3, sizeof line_number);
    const std::size_t offset = static_cast<std::size_t>(head[7] | head[8] << 8);
    const char* position = storage.data() + (head[9] == 0xFF ? length + 1 + offset % 63 : offset % (length + 1));
    report_error("fuzz.txt", line_number, storage.data(), head[9] == 0xFE ? nullptr : position, width, code);
}

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "airports/airport_record.h"

namespace {

std::string line_of(const char* ident, int lat_degrees, float lat_minutes, int lon_degrees, float lon_minutes,
                    int elevation) {
    AirportRecord record{};
    std::memcpy(record.ident.data(), ident, std::strlen(ident));
    record.lat_degrees = lat_degrees;
    record.lat_minutes = lat_minutes;
    record.lon_degrees = lon_degrees;
    record.lon_minutes = lon_minutes;
    record.elevation_m = elevation;
    std::array<char, airport_line_size> line{};
    format_airport_line(record, line.data());
    return line.data();
}

TEST(AirportLine, FormatOfEveryField) {
    struct Case {
        std::string line;
        std::string expected;
    };
    const Case cases[] = {
        {line_of("ABC", 51, 28.65f, 0, -27.68f, 25), "ABC ,N51* 28.64',W0* 27.68',82"},
        {line_of("WXYZ", -33, -56.75f, 151, 10.625f, 6), "WXYZ,S33* 56.75',E151* 10.62',20"},
        {line_of("ABCD", 0, 0.0f, 0, 0.0f, 0), "ABCD,N0* 0.00',E0* 0.00',0"},
        {line_of("AB", 45, 0.0f, -8, -0.5f, -3), "AB  ,N45* 0.00',W8* 0.50',-9"},
        {line_of("ABCD", 10, 59.999f, 20, 59.995f, 100), "ABCD,N10* 59.99',E20* 59.99',328"},
        {line_of("S0", 0, -0.5f, 0, -0.004f, 0), "S0  ,S0* 0.50',W0* 0.00',0"},
        {line_of("NZ", 0, -0.0f, 0, -0.0f, 0), "NZ  ,N0* 0.00',E0* 0.00',0"},
        {line_of("", 0, 0.0f, 0, 0.0f, 0), "    ,N0* 0.00',E0* 0.00',0"},
        {line_of("KJFK", 40, 38.38f, -73, -46.68f, 4), "KJFK,N40* 38.38',W73* 46.68',13"},
        {line_of("A\r\n,", 1, 0.0f, 1, 0.0f, 1), "A???,N1* 0.00',E1* 0.00',3"},
        {line_of("\xC4\x7F\t", 1, 0.0f, 1, 0.0f, 1), "\xC4?? ,N1* 0.00',E1* 0.00',3"},
        {line_of("HIGH", 0, 0.0f, 0, 0.0f, INT32_MAX), "HIGH,N0* 0.00',E0* 0.00',7045550023"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.line, c.expected);
}

}  // namespace

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "facility/facility_reader.h"
#include "scenery/scenery_writer.h"
#include "support/test_support.h"

namespace {

using scenery::Bytes;

int header_check(const Bytes& bytes) {
    std::FILE* file = test::stream_of(bytes);
    std::array<unsigned char, facility_header_size> header{};
    const int accepted = check_facility_header(file, header.data());
    std::fclose(file);
    return accepted;
}

// The airports a whole file yields, in file order.
std::vector<AirportRecord> airports_of(const Bytes& bytes) {
    std::FILE* file = test::stream_of(bytes);
    std::array<unsigned char, facility_header_size> header{};
    std::vector<AirportRecord> found;
    if (check_facility_header(file, header.data()) == 1) {
        AirportRecord* head = nullptr;
        std::int32_t count = -1;
        read_facility_airports(file, header.data(), &head, &count);
        for (AirportRecord* record = head; record != nullptr; record = record->next) {
            found.insert(found.begin(), *record);
        }
        release_airport_records();
        EXPECT_EQ(count, static_cast<std::int32_t>(found.size()));
    }
    std::fclose(file);
    return found;
}

std::string ident_of(const AirportRecord& record) { return record.ident.data(); }

Bytes file_with(const std::function<void(Bytes&)>& records, bool chain_end = true) {
    Bytes bytes = scenery::facility_header();
    records(bytes);
    if (chain_end) scenery::add_chain_end(bytes);
    return bytes;
}

TEST(FacilityHeader, AcceptsOnlyTheFacilityHeader) {
    struct Case {
        const char* what;
        scenery::HeaderFields fields;
        int expected;
    };
    const scenery::HeaderFields good;
    auto with = [&](auto change) {
        scenery::HeaderFields fields = good;
        change(fields);
        return fields;
    };
    const Case cases[] = {
        {"all fields right", good, 1},
        {"format word 2", with([](auto& f) { f.format = 2; }), 0},
        {"format word 0x0101", with([](auto& f) { f.format = 0x0101; }), 0},
        {"other signature", with([](auto& f) { f.signature = 0x87654320; }), 0},
        {"section marker 2", with([](auto& f) { f.section_marker = 2; }), 0},
        {"field at 0x9C zero", with([](auto& f) { f.required = 0; }), 0},
        {"any non-zero field at 0x9C", with([](auto& f) { f.required = 0xFFFFFFFF; }), 1},
        {"first record offset zero", with([](auto& f) { f.first_record_offset = 0; }), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(header_check(scenery::facility_header(c.fields)), c.expected) << c.what;

    Bytes short_file = scenery::facility_header();
    short_file.pop_back();
    EXPECT_EQ(header_check(short_file), 0) << "one byte short of a header";
    EXPECT_EQ(header_check({}), 0) << "empty file";
}

TEST(FacilityWalk, AirportsInEitherOrderAndTheRecordsAroundThem) {
    const Bytes bytes = file_with([](Bytes& b) {
        scenery::add_record(b, 2, Bytes(40, 0x01));  // skipped by its length, sub-records unread
        scenery::add_airport(b, {"KSEA", 47.5, -122.5, 131});
        scenery::add_airport(b, {"EGLL", 51.5, -0.5, 25}, /*position_first=*/true);
        scenery::add_airport_record(b, {scenery::other_subrecord(0x00010002, 12), scenery::identifier_subrecord("LFPG"),
                                        scenery::other_subrecord(0x00020000, 3),
                                        scenery::position_subrecord(49, 2.5, 119)});
    });
    const auto found = airports_of(bytes);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(ident_of(found[0]), "KSEA");
    EXPECT_EQ(found[0].lat_degrees, 47);
    EXPECT_EQ(found[0].lat_minutes, 30.0f);
    EXPECT_EQ(found[0].lon_degrees, -122);
    EXPECT_EQ(found[0].lon_minutes, -30.0f);
    EXPECT_EQ(found[0].elevation_m, 131);
    EXPECT_EQ(ident_of(found[1]), "EGLL");
    EXPECT_EQ(ident_of(found[2]), "LFPG");
    EXPECT_EQ(found[2].elevation_m, 119);
}

TEST(FacilityWalk, RecordsThatMakeNoAirport) {
    struct Case {
        const char* what;
        std::function<void(Bytes&)> records;
        std::vector<std::string> idents;
    };
    const Case cases[] = {
        {"identifier only, then position only: flags are per record",
         [](Bytes& b) {
             scenery::add_airport_record(b, {scenery::identifier_subrecord("AAAA")});
             scenery::add_airport_record(b, {scenery::position_subrecord(1, 1, 1)});
         },
         {}},
        {"position only, then identifier only",
         [](Bytes& b) {
             scenery::add_airport_record(b, {scenery::position_subrecord(1, 1, 1)});
             scenery::add_airport_record(b, {scenery::identifier_subrecord("BBBB")});
         },
         {}},
        {"a later identifier replaces an earlier one",
         [](Bytes& b) {
             scenery::add_airport_record(b, {scenery::identifier_subrecord("OLD1"), scenery::identifier_subrecord("NEW1"),
                                             scenery::position_subrecord(1, 1, 1)});
         },
         {"NEW1"}},
        {"one airport per record",
         [](Bytes& b) {
             scenery::add_airport_record(b, {scenery::identifier_subrecord("ONE1"), scenery::position_subrecord(1, 1, 1),
                                             scenery::identifier_subrecord("TWO2"), scenery::position_subrecord(2, 2, 2)});
         },
         {"ONE1"}},
        {"empty, short and long identifiers",
         [](Bytes& b) {
             scenery::add_airport(b, {"", 1, 1, 1});
             scenery::add_airport(b, {"KJF", 1, 1, 1});
             scenery::add_airport(b, {"ABCDEF", 1, 1, 1});
         },
         {"", "KJF", "ABCD"}},
        {"a record of kind 0 ends the chain",
         [](Bytes& b) {
             scenery::add_chain_end(b);
             scenery::add_airport(b, {"LOST", 1, 1, 1});
         },
         {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> idents;
        for (const AirportRecord& record : airports_of(file_with(c.records))) idents.push_back(ident_of(record));
        EXPECT_EQ(idents, c.idents) << c.what;
    }
}

TEST(FacilityWalk, FirstRecordOffsetBeyondTheEndGivesAnAcceptedFileWithoutAirports) {
    scenery::HeaderFields fields;
    fields.first_record_offset = 100000;
    Bytes bytes = scenery::facility_header(fields);
    scenery::add_airport(bytes, {"KSEA", 1, 1, 1});
    EXPECT_EQ(header_check(bytes), 1);
    EXPECT_TRUE(airports_of(bytes).empty());
}

TEST(FacilityWalk, PayloadCutShortMakesNoAirportFromStaleBytes) {
    // The first record leaves "KSEA" and its position in the walk's buffers;
    // the second is cut inside its position payload.
    Bytes bytes = file_with(
        [](Bytes& b) {
            scenery::add_airport(b, {"KSEA", 47.5, -122.5, 131});
            scenery::add_airport(b, {"KPDX", 45.5, -122.5, 9});
        },
        false);
    const std::size_t second_position = bytes.size() - 8 - 32;
    for (std::size_t cut : {second_position + 31, second_position + 1, second_position - 8 + 4}) {
        Bytes damaged(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        const auto found = airports_of(damaged);
        ASSERT_EQ(found.size(), 1u) << "cut at " << cut;
        EXPECT_EQ(ident_of(found[0]), "KSEA");
    }
    // Cut inside the identifier payload of a record whose position came first.
    Bytes position_first = file_with(
        [](Bytes& b) {
            scenery::add_airport(b, {"KSEA", 47.5, -122.5, 131});
            scenery::add_airport(b, {"KPDX", 45.5, -122.5, 9}, true);
        },
        false);
    position_first.resize(position_first.size() - 8 - 3);
    EXPECT_EQ(airports_of(position_first).size(), 1u);
}

TEST(FacilityWalk, LengthsThatDoNotMoveForwardEndTheWalk) {
    // 2^32 - 8 brings the next offset back to the same record or sub-record.
    Bytes looping_record = file_with([](Bytes& b) {
        scenery::add_airport(b, {"KSEA", 1, 1, 1});
        const std::size_t at = scenery::add_record(b, 2, {});
        scenery::put_u32(b, at + 4, 0xFFFFFFF8u);
        scenery::add_airport(b, {"NEVR", 1, 1, 1});
    });
    auto found = airports_of(looping_record);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(ident_of(found[0]), "KSEA");

    Bytes earlier_record = file_with([](Bytes& b) {
        scenery::add_airport(b, {"KSEA", 1, 1, 1});
        const std::size_t at = scenery::add_record(b, 2, {});
        scenery::put_u32(b, at + 4, 0xFFFFFF00u);
    });
    EXPECT_EQ(airports_of(earlier_record).size(), 1u);

    Bytes looping_sub = file_with([](Bytes& b) {
        scenery::add_airport(b, {"KSEA", 1, 1, 1});
        scenery::Subrecord loop = scenery::other_subrecord(0x00010099, 0);
        loop.has_length = true;
        loop.length = 0xFFFFFFF8u;
        scenery::add_airport_record(b, {scenery::identifier_subrecord("NEVR"), loop});
    });
    EXPECT_EQ(airports_of(looping_sub).size(), 1u);
}

TEST(FacilityWalk, SubrecordChainRunsOnPastItsRecord) {
    // The first record holds only an identifier and no end mark: its chain
    // runs into the bytes after it, where a position sub-record stands.
    Bytes bytes = file_with([](Bytes& b) {
        scenery::add_airport_record(b, {scenery::identifier_subrecord("RUNS")}, false);
        scenery::Subrecord position = scenery::position_subrecord(10, 20, 30);
        scenery::add_u32(b, position.id);
        scenery::add_u32(b, static_cast<std::uint32_t>(position.payload.size()));
        b.insert(b.end(), position.payload.begin(), position.payload.end());
    });
    const auto found = airports_of(bytes);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(ident_of(found[0]), "RUNS");
    EXPECT_EQ(found[0].lat_degrees, 10);
}

TEST(FacilityWalk, ChainsThatAllRunToTheEndStayLinearInTheFileSize) {
    // Records of 8 bytes whose type is the next record's kind (1): every one
    // is an airport record whose sub-record chain would run to the file's
    // end, square work without a bound.
    Bytes bytes = scenery::facility_header();
    for (int i = 0; i < 200000; ++i) {
        scenery::add_u32(bytes, 1);
        scenery::add_u32(bytes, 0);
    }
    scenery::add_chain_end(bytes);  // where every chain would end
    EXPECT_TRUE(airports_of(bytes).empty());
}

TEST(DecodePosition, WorkedValuesAndCarries) {
    struct Case {
        const char* what;
        std::int64_t latitude;
        std::int64_t longitude;
        std::int32_t lat_degrees;
        float lat_minutes;
        std::int32_t lon_degrees;
        float lon_minutes;
    };
    const double lat_unit = 1.0 / facility::latitude_factor;  // units per degree
    auto lat = [&](double degrees) { return scenery::latitude_units(degrees); };
    auto lon = [&](double degrees) { return scenery::longitude_units(degrees); };
    // Some 2e-9 degrees inside a whole degree: the minutes round to 60 in
    // single precision.
    const auto below_45 = std::llround(45 * lat_unit) - 1000000;
    const auto above_minus_45 = -below_45;
    const Case cases[] = {
        {"zero", 0, 0, 0, 0.0f, 0, 0.0f},
        {"half a degree south and west", lat(-0.5), lon(-0.5), 0, -30.0f, 0, -30.0f},
        {"47.5 N 122.5 W", lat(47.5), lon(-122.5), 47, 30.0f, -122, -30.0f},
        {"carry up", below_45, lon(10), 45, 0.0f, 10, 0.0f},
        {"carry down", above_minus_45, lon(-10), -45, 0.0f, -10, 0.0f},
    };
    for (const Case& c : cases) {
        std::int32_t lat_degrees = 99;
        std::int32_t lon_degrees = 99;
        float lat_minutes = 99;
        float lon_minutes = 99;
        decode_position(c.latitude, c.longitude, &lat_degrees, &lat_minutes, &lon_degrees, &lon_minutes);
        EXPECT_EQ(lat_degrees, c.lat_degrees) << c.what;
        EXPECT_EQ(lat_minutes, c.lat_minutes) << c.what;
        EXPECT_EQ(lon_degrees, c.lon_degrees) << c.what;
        EXPECT_EQ(lon_minutes, c.lon_minutes) << c.what;
    }
    // The carry happens only where the minutes round to exactly 60.
    std::int32_t degrees = 0;
    float minutes = 0;
    std::int32_t unused_degrees = 0;
    float unused_minutes = 0;
    decode_position(below_45, 0, &degrees, &minutes, &unused_degrees, &unused_minutes);
    const double exact = static_cast<double>(below_45) * facility::latitude_factor;
    EXPECT_LT(exact, 45.0);
    EXPECT_EQ(static_cast<float>(std::fmod(exact, 1.0) * 60.0), 60.0f);
}

TEST(DecodePosition, LongitudeFactorIsExact) {
    EXPECT_EQ(facility::longitude_factor, std::ldexp(360.0, -64));
    EXPECT_EQ(facility::latitude_factor, 90.0 / (10001750.0 * 4294967296.0));
}

TEST(DecodeElevation, RoundsHalfUpThenTruncatesTowardZero) {
    struct Case {
        double metres;
        std::int32_t expected;
    };
    const Case cases[] = {{25.3, 25}, {-3.7, -3}, {2.5, 3}, {0, 0}, {-0.4, 0}, {-3.0, -2}, {8848.9, 8849}};
    for (const Case& c : cases) EXPECT_EQ(decode_elevation(scenery::altitude_units(c.metres)), c.expected) << c.metres;
    EXPECT_EQ(decode_elevation(INT64_MAX), INT32_MAX);
    EXPECT_EQ(decode_elevation(INT64_MIN), INT32_MIN + 1);  // -2^31 + 0.5 truncates up
}

TEST(FacilityRoundTrip, RandomAirportsComeBackAsWritten) {
    std::mt19937 random(20021);
    std::uniform_real_distribution<double> latitude(-89.99, 89.99);
    std::uniform_real_distribution<double> longitude(-179.99, 179.99);
    std::uniform_int_distribution<int> elevation(-400, 9000);
    std::uniform_int_distribution<int> letter(0, 35);
    std::vector<scenery::Airport> written;
    for (int i = 0; i < 4000; ++i) {
        scenery::Airport airport;
        for (int k = 0; k < 4; ++k) {
            const int l = letter(random);
            airport.ident.push_back(static_cast<char>(l < 26 ? 'A' + l : '0' + l - 26));
        }
        airport.latitude = latitude(random);
        airport.longitude = longitude(random);
        airport.elevation = elevation(random);
        written.push_back(airport);
    }
    const auto found = airports_of(scenery::facility_file(written));
    ASSERT_EQ(found.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        const scenery::Airport& w = written[i];
        const AirportRecord& r = found[i];
        EXPECT_EQ(ident_of(r), w.ident);
        EXPECT_NEAR(r.lat_degrees + r.lat_minutes / 60.0, w.latitude, 1e-6) << w.ident;
        EXPECT_NEAR(r.lon_degrees + r.lon_minutes / 60.0, w.longitude, 1e-6) << w.ident;
        EXPECT_TRUE(r.lat_degrees == 0 || r.lat_minutes == 0 || (r.lat_degrees < 0) == (r.lat_minutes < 0));
        // Whole metres come back, but for the half-up rounding of negative
        // values, which moves them one metre up.
        EXPECT_EQ(r.elevation_m, w.elevation < 0 ? w.elevation + 1 : w.elevation);
    }
}

}  // namespace

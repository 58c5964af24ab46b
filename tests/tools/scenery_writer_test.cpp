#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "facility/facility_reader.h"
#include "scenery/scenery_description.h"
#include "scenery/scenery_writer.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(SceneryWriter, UnitsAreTheInverseOfTheDecoding) {
    EXPECT_EQ(scenery::latitude_units(90), static_cast<std::int64_t>(10001750) << 32);
    EXPECT_EQ(scenery::longitude_units(90), std::int64_t{1} << 62);
    EXPECT_EQ(scenery::longitude_units(-180), INT64_MIN);
    EXPECT_EQ(scenery::altitude_units(-3.5), -(std::int64_t{7} << 31));
    for (double degrees : {-89.5, -12.25, 0.0, 33.3, 89.999}) {
        EXPECT_NEAR(static_cast<double>(scenery::latitude_units(degrees)) * facility::latitude_factor, degrees, 1e-12);
        EXPECT_NEAR(static_cast<double>(scenery::longitude_units(2 * degrees)) * facility::longitude_factor,
                    2 * degrees, 1e-12);
    }
}

TEST(SceneryWriter, DescriptionLaysOutTheTree) {
    const fs::path root = test::fresh_folder();
    scenery::build_from_description(R"(
dir Addon Scenery/Empty
file SceneDB/other.dat 77 5   # a comment
facility SceneDB/AfdFiles/Scenery/APT.BGL
  airport KSEA 47.5 -122.5 131
  record 2 40
  header marker 2
  no-end
facility cut.bgl
  airport KSEA 47.5 -122.5 131
  truncate 170
)",
                                    root.string());
    EXPECT_TRUE(fs::is_directory(root / "Addon Scenery" / "Empty"));
    EXPECT_EQ(test::read_file(root / "SceneDB" / "other.dat").size(), 77u);
    const std::string facility = test::read_file(root / "SceneDB" / "AfdFiles" / "Scenery" / "APT.BGL");
    // Header, an airport record (16 + 16 + 40 + 8) and a record of 16 + 40.
    EXPECT_EQ(facility.size(), 168u + 80u + 56u);
    EXPECT_EQ(facility[0x90], 2);
    EXPECT_EQ(test::read_file(root / "cut.bgl").size(), 170u);

    EXPECT_THROW(scenery::build_from_description("airport X 1 1 1\n", root.string()), std::runtime_error);
    EXPECT_THROW(scenery::build_from_description("facility a.bgl\n  header nonsense 1\n", root.string()),
                 std::runtime_error);
}

}  // namespace

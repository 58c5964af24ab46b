#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "discovery/scenery_scanner.h"
#include "discovery/simulator_locator.h"
#include "platform/bounded_text.h"
#include "scenery/scenery_description.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

struct Collected {
    std::string console;
    std::int32_t total = -1;
    std::multiset<std::string> idents;
};

// Collects the airports of the simulator at simulator_root.
Collected collect_again() {
    Collected result;
    AirportRecord* head = nullptr;
    result.console = test::console_of([&] { collect_airports(&head, &result.total); });
    for (AirportRecord* r = head; r != nullptr; r = r->next) result.idents.insert(r->ident.data());
    release_airport_records();
    return result;
}

// Lays out `description` under a fresh simulator folder and collects it.
Collected collect(const std::string& description, fs::path* root_out = nullptr) {
    const fs::path root = test::fresh_folder() / "FS2002";
    fs::create_directories(root);
    scenery::build_from_description(description, root.string());
    if (root_out != nullptr) *root_out = root;
    EXPECT_TRUE(copy_text(simulator_root, root.string().c_str()));
    return collect_again();
}

// The last progress line shown, without its "\r".
std::string last_progress(const std::string& console) {
    const std::size_t end = console.rfind('\r');
    if (end == std::string::npos) return "";
    const std::size_t start = console.rfind('\r', end - 1);
    return console.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

TEST(SceneryScanner, BothTreesWhateverTheCaseOfTheirNames) {
    const Collected c = collect(R"(
facility SceneDB/AfdFiles/Scenery/World/APT.BGL
  airport KSEA 47.449 -122.309 131
  airport KPDX 45.588 -122.597 9
facility SceneDB/AfdFiles/Scenery/Europe/Deep/Er/ap_eu.Bgl
  airport EGLL 51.4775 -0.4614 25
facility Addon Scenery/MyAirfield/scenery/AF2_X.bgl
  airport X01 10 10 10
)");
    EXPECT_EQ(c.total, 4);
    EXPECT_EQ(c.idents, (std::multiset<std::string>{"KSEA", "KPDX", "EGLL", "X01"}));
    EXPECT_EQ(last_progress(c.console), "  Facility Files 3,  Airports 4");
    EXPECT_EQ(c.console.back(), '\n');
    EXPECT_EQ(std::count(c.console.begin(), c.console.end(), '\r'), 3);
}

TEST(SceneryScanner, WhichEntriesAreRead) {
    const Collected c = collect(R"(
facility SCENEDB/AFDFILES/SCENERY/one.bgl
  airport ONE1 1 1 1
# a copy whose name only holds .bgl is read like any other
facility SCENEDB/AFDFILES/SCENERY/backup.bgl.bak
  airport BAK1 1 1 1
# not a facility file: skipped without a word
file SCENEDB/AFDFILES/SCENERY/texture/grass.bgl 3000
file SCENEDB/AFDFILES/SCENERY/readme.txt 100
# not named .bgl: never opened
facility SCENEDB/AFDFILES/SCENERY/airports.dat
  airport DAT1 1 1 1
# folders whose name begins with a dot are not entered
facility SCENEDB/AFDFILES/SCENERY/.hidden/hidden.bgl
  airport HID1 1 1 1
# an accepted file without airports still counts
facility ADDON SCENERY/empty/empty.bgl
)");
    EXPECT_EQ(c.idents, (std::multiset<std::string>{"ONE1", "BAK1"}));
    EXPECT_EQ(last_progress(c.console), "  Facility Files 3,  Airports 2");
}

TEST(SceneryScanner, NothingFoundPrintsOnlyTheLineEnd) {
    const Collected missing_trees = collect("dir Other\n");
    EXPECT_EQ(missing_trees.console, "\n");
    EXPECT_EQ(missing_trees.total, 0);

    const Collected only_database = collect("facility SCENEDB/AFDFILES/SCENERY/a.bgl\n  airport AAAA 1 1 1\n");
    EXPECT_EQ(only_database.console, "  Facility Files 1,  Airports 1\r\n");
}

TEST(SceneryScanner, LinkedFoldersAreEnteredButCyclesAreNot) {
    // An add-on folder linked in from outside, and links back to the tree's
    // top and to a folder itself.
#ifdef FIELDROLL_LINK_FIXTURE
    // A Windows program cannot make folder links under Wine: the build laid
    // these out beforehand, and Wine shows them as folders.
    const fs::path root = fs::path(FIELDROLL_LINK_FIXTURE) / "FS2002";
    const fs::path outside = fs::path(FIELDROLL_LINK_FIXTURE) / "outside";
#else
    const fs::path root = test::fresh_folder() / "FS2002";
    const fs::path outside = root.parent_path() / "outside";
    const fs::path scenery = root / "SCENEDB" / "AFDFILES" / "SCENERY";
    fs::create_directories(scenery / "world");
    fs::create_directories(root / "ADDON SCENERY");
    fs::create_directories(outside);
    fs::create_directory_symlink(outside, root / "ADDON SCENERY" / "linked");
    fs::create_directory_symlink(scenery, scenery / "world" / "up");
    fs::create_directory_symlink(scenery / "world", scenery / "world" / "self");
#endif
    test::write_facility(root / "SCENEDB" / "AFDFILES" / "SCENERY" / "world" / "apt.bgl", {{"WRLD", 1, 1, 1}});
    test::write_facility(outside / "linked.bgl", {{"LNK1", 1, 1, 1}});
    ASSERT_TRUE(copy_text(simulator_root, root.string().c_str()));

    const Collected c = collect_again();
    EXPECT_EQ(c.idents, (std::multiset<std::string>{"WRLD", "LNK1"}));
    EXPECT_EQ(last_progress(c.console), "  Facility Files 2,  Airports 2");
}

TEST(SceneryScanner, EntriesWhosePathDoesNotFitAreSkipped) {
    fs::path root;
    collect("dir SCENEDB/AFDFILES/SCENERY\n", &root);
    const fs::path scenery = root / "SCENEDB" / "AFDFILES" / "SCENERY";
    // Names that make the path 258, 259 and 260 characters long: only the
    // first two fit a 260-character buffer with its terminator.
    const std::size_t base = std::strlen(simulator_root.data()) + std::strlen(database_tree);
    ASSERT_LT(base + 10, 250u);
    const std::vector<std::string> idents = {"FIT1", "FIT2", "LONG"};
    for (std::size_t i = 0; i < idents.size(); ++i) {
        const std::string name = std::string(258 + i - base - 4, static_cast<char>('a' + i)) + ".bgl";
        try {
            test::write_facility(scenery / name, {{idents[i], 1, 1, 1}});
        } catch (const std::exception&) {
            GTEST_SKIP() << "this file system takes no paths that long";
        }
    }
    EXPECT_EQ(collect_again().idents, (std::multiset<std::string>{"FIT1", "FIT2"}));
}

}  // namespace

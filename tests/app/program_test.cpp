// Runs of the built program, as a user starts it.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "discovery/simulator_locator.h"
#include "platform/process.h"
#include "scenery/scenery_description.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr bool windows = test::on_windows;

const std::string banner = "FS2002 Fieldroll for Corvane, version 1.3.2\n\n";
const std::string not_found = "ERROR: Unable to locate FS2002 in computer\n\n";
const std::string prompt = "Press ENTER key to finish...";
const std::string located = "FS2002 located\n\nCollecting airports now...\n";
const std::string completed = "\nAirport collection completed\n\n";

// A simulator install with a few airports whose table is known, and the
// folder inside it that the program is started from.
struct Install {
    fs::path root;
    fs::path run_folder;
};

Install make_install(const std::string& description) {
    Install install;
    install.root = test::fresh_folder() / "FS2002";
    install.run_folder = install.root / "Fieldroll";
    fs::create_directories(install.run_folder);
    scenery::build_from_description(description, install.root.string());
    return install;
}

const char* const small_install = R"(
facility SceneDB/AfdFiles/Scenery/World/APT.BGL
  airport KSEA 47.449888 -122.311777 131.7
  airport EGLL 51.4775 -0.461389 25.3
  airport-position-first YSSY -33.946111 151.177222 6
facility Addon Scenery/Home Field/scenery/af2_home.BGL
  airport 0A7 35.5 -82.25 -3.7
  airport kjf 0 0 0
file "Addon Scenery/Home Field/texture/ground.bgl" 5000
)";

// The lines in the table for small_install.
const std::vector<std::string> small_table = {
    "0A7 ,N35* 30.00',W82* 15.00',-9",   "EGLL,N51* 28.64',W0* 27.68',82",
    "kjf ,N0* 0.00',E0* 0.00',0",        "KSEA,N47* 26.99',W122* 18.70',433",
    "YSSY,S33* 56.76',E151* 10.63',20",
};

TEST(Program, NoSimulatorPrintsTheErrorAndWaits) {
    const fs::path folder = test::fresh_folder();
    const test::Run run = test::run_fieldroll(folder, {});
    EXPECT_EQ(run.output, test::as_console(banner + not_found + prompt));
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(folder / "Airports.txt"));
}

TEST(Program, NoPauseOptionInAnyCaseAsFirstArgumentOnly) {
    const fs::path folder = test::fresh_folder();
    struct Case {
        std::vector<std::string> arguments;
        bool pauses;
    };
    const Case cases[] = {
        {{"/np"}, false}, {{"/NP"}, false}, {{"/nP"}, false}, {{"/np", "extra"}, false},
        {{"x", "/np"}, true}, {{"/npx"}, true}, {{"np"}, true}, {{""}, true},
    };
    for (const Case& c : cases) {
        const test::Run run = test::run_fieldroll(folder, c.arguments);
        EXPECT_EQ(run.output, test::as_console(banner + not_found + (c.pauses ? prompt : "")))
            << testing::PrintToString(c.arguments);
        EXPECT_EQ(run.status, 1);
    }
}

TEST(Program, WaitConsumesALineOfAnyLength) {
    const fs::path folder = test::fresh_folder();
    const std::string long_line(200000, 'k');
    for (const std::string& input : {long_line + "\n" + "more lines\n", long_line, std::string("\n")}) {
        const test::Run run = test::run_fieldroll(folder, {}, input);
        EXPECT_EQ(run.output, test::as_console(banner + not_found + prompt));
        EXPECT_EQ(run.status, 1);
    }
}

TEST(Program, WritesTheTableOfBothTrees) {
    const Install install = make_install(small_install);
    const test::Run run = test::run_fieldroll(install.run_folder, {}, "\n");
    EXPECT_EQ(test::read_file(install.run_folder / "Airports.txt"), test::as_table(small_table));
    // The database tree is read first; the order of progress lines within
    // a tree is the listing's, but each tree here has one facility file.
    EXPECT_EQ(run.output, test::as_console(banner + located + "  Facility Files 1,  Airports 3\r" +
                                           "  Facility Files 2,  Airports 5\r" + "\n" +
                                           "Creating Airports.txt now...\n" + "  Airports 5\n" + completed + prompt));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(fs::directory_iterator(install.run_folder)->path().filename(), "Airports.txt");
}

TEST(Program, EmptyInstallWritesAnEmptyTable) {
    const Install install = make_install("dir SCENEDB/AFDFILES/SCENERY\nfile \"ADDON SCENERY/readme.txt\" 10\n");
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"});
    EXPECT_EQ(run.output, test::as_console(banner + located + "\n" + "Creating Airports.txt now...\n" +
                                           "  Airports 0\n" + completed));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(test::read_file(install.run_folder / "Airports.txt"), "");
}

TEST(Program, ProgressLineEveryThirtyThreeAirports) {
    std::string description = "facility SCENEDB/AFDFILES/SCENERY/many.bgl\n";
    for (int i = 0; i < 67; ++i) description += "  airport A" + std::to_string(100 + i) + " 1 1 1\n";
    const Install install = make_install(description);
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"});
    EXPECT_EQ(run.output, test::as_console(banner + located + "  Facility Files 1,  Airports 67\r\n" +
                                           "Creating Airports.txt now...\n" + "  Airports 33\r" + "  Airports 66\r" +
                                           "  Airports 67\n" + completed));
    EXPECT_EQ(run.status, 0);
}

TEST(Program, FolderNamedLikeTheTableGivesErrorElevenAndLeavesNothing) {
    const Install install = make_install(small_install);
    fs::create_directories(install.run_folder / "Airports.txt");
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"});
    EXPECT_EQ(run.output, test::as_console(banner + located + "  Facility Files 1,  Airports 3\r" +
                                           "  Facility Files 2,  Airports 5\r" + "\n" +
                                           "Creating Airports.txt now...\n" +
                                           "\nERROR: Unable to create file Airports.txt\n\n"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_directory(install.run_folder / "Airports.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(install.run_folder), fs::directory_iterator()), 1);
}

TEST(Program, ReadOnlyTableGivesErrorElevenAndStaysAsItWas) {
    if (!windows) GTEST_SKIP() << "on POSIX the tests run as root, who may write any file";
    const Install install = make_install(small_install);
    const fs::path table = install.run_folder / "Airports.txt";
    test::write_text(table, "OLD TABLE\r\n");
    fs::permissions(table, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"});
    fs::permissions(table, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_NE(run.output.find(test::as_console("\nERROR: Unable to create file Airports.txt\n\n")), std::string::npos);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(test::read_file(table), "OLD TABLE\r\n");
}

TEST(Program, FailedWriteGivesErrorFourAndKeepsThePreviousTable) {
    if (windows) GTEST_SKIP() << "a file size limit is set through POSIX";
    std::string description = "facility SCENEDB/AFDFILES/SCENERY/many.bgl\n";
    for (int i = 0; i < 200; ++i) description += "  airport B" + std::to_string(100 + i) + " 1 1 1\n";
    const Install install = make_install(description);
    const fs::path table = install.run_folder / "Airports.txt";
    const std::string previous(100, 'p');
    test::write_text(table, previous);
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"}, "", {}, 4096);
    EXPECT_NE(run.output.find("\nERROR: Unable to write to output file Airports.txt\n\n"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("completed"), std::string::npos);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(test::read_file(table), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(install.run_folder), fs::directory_iterator()), 1);
}

TEST(Program, ReplacesAnExistingTable) {
    const Install install = make_install(small_install);
    test::write_text(install.run_folder / "Airports.txt", std::string(10000, 'o'));
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(test::read_file(install.run_folder / "Airports.txt"), test::as_table(small_table));
}

TEST(Program, SimulatorFoundThroughTheRegistry) {
    if (!windows) GTEST_SKIP() << "the registry is Wine's here; see the Wine prefix tests";
    const Install install = make_install(small_install);
    const fs::path elsewhere = install.root.parent_path() / "elsewhere";
    fs::create_directories(elsewhere);
    const std::string value = install.root.string() + "\\";
    ASSERT_TRUE(platform::write_machine_registry_value(locator::registry_key, locator::registry_value, value.c_str(),
                                                       value.size() + 1));
    const test::Run run = test::run_fieldroll(elsewhere, {"/np"});
    platform::delete_machine_registry_key(locator::registry_key);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(test::read_file(elsewhere / "Airports.txt"), test::as_table(small_table));
}

TEST(Program, DamagedFacilityFilesOfEveryKindGiveAWellFormedTable) {
    const Install install = make_install(R"(
hostile SCENEDB/AFDFILES/SCENERY/damaged
hostile ADDON SCENERY/downloaded/damaged
facility ADDON SCENERY/downloaded/good.bgl
  airport GOOD 1 1 1
)");
    const test::Run run = test::run_fieldroll(install.run_folder, {"/np"});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(test::as_console(completed)), std::string::npos);
    const std::string table = test::read_file(install.run_folder / "Airports.txt");
    const std::regex line_form(R"([^\r\n,]{4},[NS]\d+\* \d{1,2}\.\d\d',[EW]\d+\* \d{1,2}\.\d\d',-?\d+\r)");
    std::size_t lines = 0;
    for (std::size_t start = 0; start < table.size(); ++lines) {
        const std::size_t end = table.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "last line has no line end";
        const std::string line = table.substr(start, end - start);
        EXPECT_TRUE(std::regex_match(line, line_form)) << line;
        start = end + 1;
    }
    EXPECT_GT(lines, 20u);
    EXPECT_NE(table.find("GOOD,N1* 0.00',E1* 0.00',3\r\n"), std::string::npos);
}

TEST(Program, SimulatorInstalledUnderWineIsFoundFromAnyFolder) {
    if (windows) GTEST_SKIP() << "Windows reads its own registry";
    const fs::path folder = test::fresh_folder();
    const fs::path prefix = folder / "wine";
    // The simulator on drive D:, which the prefix maps to a folder of its own.
    scenery::build_from_description(small_install, (folder / "d-drive" / "Flight" / "FS2002").string());
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink(folder / "d-drive", prefix / "dosdevices" / "d:");
    test::write_text(prefix / "system.reg",
                     "WINE REGISTRY Version 2\n\n"
                     "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1700000000\n"
                     "\"EXE Path\"=\"D:\\\\FLIGHT\\\\fs2002\\\\\"\n");
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_directories(elsewhere);
    const test::Run run = test::run_fieldroll(elsewhere, {"/np"}, "", {{"WINEPREFIX", prefix.string()}});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(test::read_file(elsewhere / "Airports.txt"), test::as_table(small_table));
}

}  // namespace

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <string>

#include "platform/platform.h"
#include "platform/posix_paths.h"
#include "platform/process.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

std::string program_path(const fs::path& path) {
    std::string text = path.string();
    for (char& c : text) {
        if (c == '/') c = '\\';
    }
    return text;
}

TEST(PosixPaths, ComponentsMatchWithoutRegardToCase) {
    const fs::path root = test::fresh_folder();
    test::write_text(root / "SceneDB" / "AfdFiles" / "APT.BGL", "airports");
    const std::string base = program_path(root);
    platform::FileGuard file(platform::open_file((base + "\\SCENEDB\\afdfiles\\apt.bgl").c_str(), "rb"));
    ASSERT_TRUE(file);
    EXPECT_TRUE(platform::path_exists((base + "\\scenedb").c_str()));
    EXPECT_TRUE(platform::path_exists((base + "/sceneDB\\\\AFDFILES\\").c_str()));
    EXPECT_FALSE(platform::path_exists((base + "\\scenedb\\missing").c_str()));
    EXPECT_FALSE(platform::path_exists((base + "\\scenedb\\apt.bgl\\deeper").c_str()));
}

TEST(PosixPaths, AnExactMatchWins) {
    const fs::path root = test::fresh_folder();
    test::write_text(root / "apt.bgl", "lower");
    test::write_text(root / "APT.BGL", "upper");
    test::write_text(root / "Apt.Bgl", "mixed");
    for (const std::string name : {"apt.bgl", "APT.BGL", "Apt.Bgl"}) {
        platform::FileGuard file(platform::open_file((program_path(root) + "\\" + name).c_str(), "rb"));
        ASSERT_TRUE(file);
        std::array<char, 8> text{};
        std::fread(text.data(), 1, 5, file.get());
        EXPECT_EQ(std::string(text.data()), test::read_file(root / name));
    }
}

TEST(PosixPaths, OpeningEveryFileOfAFolderListsItOnce) {
    const fs::path root = test::fresh_folder();
    for (int i = 0; i < 300; ++i) test::write_text(root / "Mixed" / ("FILE" + std::to_string(i) + ".BGL"), "x");
    const std::string folder = program_path(root) + "\\mixed\\";
    platform::ListingGuard listing(platform::open_listing((folder + "*.*").c_str()));
    ASSERT_TRUE(listing);
    const std::size_t reads_before = platform::posix::folder_reads();
    platform::FolderEntry entry;
    int opened = 0;
    while (platform::next_entry(listing.get(), &entry)) {
        std::string name = entry.name.data();
        if (name[0] == '.') continue;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        platform::FileGuard file(platform::open_file((folder + name).c_str(), "rb"));
        opened += file ? 1 : 0;
    }
    EXPECT_EQ(opened, 300);
    // The folder's names are read once, when the first name differs; the
    // folders above it may have been read to match "mixed".
    EXPECT_LE(platform::posix::folder_reads() - reads_before, 8u);
}

TEST(PosixPaths, ListingReportsFolderLinksAsFolders) {
    const fs::path root = test::fresh_folder();
    fs::create_directories(root / "real");
    fs::create_directory_symlink(root / "real", root / "link");
    test::write_text(root / "file.bgl", "x");
    platform::ListingGuard listing(platform::open_listing((program_path(root) + "\\*.*").c_str()));
    ASSERT_TRUE(listing);
    platform::FolderEntry entry;
    std::map<std::string, bool> directories;
    while (platform::next_entry(listing.get(), &entry)) directories[entry.name.data()] = entry.is_directory;
    EXPECT_EQ(directories, (std::map<std::string, bool>{
                               {".", true}, {"..", true}, {"real", true}, {"link", true}, {"file.bgl", false}}));
}

TEST(PosixPaths, DriveLettersNeedAWinePrefix) {
    const fs::path root = test::fresh_folder();
    platform::set_environment("WINEPREFIX", (root / "none").string().c_str());
    EXPECT_EQ(platform::posix::native_path("c:\\Program Files"), "");
    fs::create_directories(root / "prefix" / "drive_c" / "PROGRAM FILES");
    fs::create_directories(root / "prefix" / "dosdevices");
    fs::create_directory_symlink(root / "prefix" / "drive_c", root / "prefix" / "dosdevices" / "c:");
    fs::create_directories(root / "d-drive" / "Games");
    fs::create_directory_symlink(root / "d-drive", root / "prefix" / "dosdevices" / "d:");
    platform::set_environment("WINEPREFIX", (root / "prefix").string().c_str());
    EXPECT_TRUE(platform::path_exists("C:\\program files"));
    EXPECT_TRUE(platform::path_exists("d:\\GAMES\\"));
    EXPECT_FALSE(platform::path_exists("e:\\"));
    platform::set_environment("WINEPREFIX", "");
}

}  // namespace

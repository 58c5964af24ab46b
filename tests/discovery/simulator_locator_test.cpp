#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "discovery/simulator_locator.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr bool windows = test::on_windows;

// Each test starts with no registry value, no default folder and no Wine
// prefix, in a folder of its own, and leaves the process as it found it.
class Locator : public testing::Test {
protected:
    void SetUp() override {
        saved_directory_ = fs::current_path();
        folder_ = test::fresh_folder();
        platform::delete_machine_registry_key(locator::registry_key);
        platform::set_environment("WINEPREFIX", (folder_ / "no-prefix").string().c_str());
    }
    void TearDown() override {
        fs::current_path(saved_directory_);
        platform::delete_machine_registry_key(locator::registry_key);
        if (windows && created_default_) fs::remove_all("c:\\Program Files\\Microsoft Games\\FS2002");
        platform::set_environment("WINEPREFIX", "");
    }

    static std::string located() {
        locate_simulator();
        return simulator_root.data();
    }
    static std::string current() {
        std::array<char, platform::max_path> buffer{};
        platform::current_directory(buffer.data(), buffer.size());
        return buffer.data();
    }
    static void set_registry(const std::string& text) {
        ASSERT_TRUE(platform::write_machine_registry_value(locator::registry_key, locator::registry_value,
                                                           text.c_str(), text.size() + 1));
    }

    fs::path saved_directory_;
    fs::path folder_;
    bool created_default_ = false;
};

TEST_F(Locator, FallsBackToTheParentHoldingSceneDb) {
    fs::create_directories(folder_ / "sim" / "SCENEDB");
    fs::create_directories(folder_ / "sim" / "fieldroll");
    fs::current_path(folder_ / "sim" / "fieldroll");
    EXPECT_EQ(located(), current() + "\\..");
}

TEST_F(Locator, FallbackMatchesSceneDbWhateverItsCase) {
    fs::create_directories(folder_ / "sim" / "SceneDb");
    fs::create_directories(folder_ / "sim" / "tools");
    fs::current_path(folder_ / "sim" / "tools");
    EXPECT_EQ(located(), current() + "\\..");
}

TEST_F(Locator, NothingFoundLeavesTheRootEmpty) {
    fs::create_directories(folder_ / "elsewhere" / "sub");
    fs::current_path(folder_ / "elsewhere" / "sub");
    EXPECT_EQ(located(), "");
}

TEST_F(Locator, CurrentDirectoryTooLongForTheSuffixLeavesTheRootEmpty) {
    if (windows) GTEST_SKIP() << "Windows cannot enter a folder this deep by its short path";
    // A current directory of 257 characters: "\.." would need 261.
    fs::path deep = folder_;
    while (deep.string().size() < 257 - 10) deep /= "d";
    deep /= std::string(257 - deep.string().size() - 1, 'e');
    ASSERT_EQ(deep.string().size(), 257u);
    fs::create_directories(deep / "SCENEDB");
    fs::current_path(deep);
    EXPECT_EQ(located(), "");
}

TEST_F(Locator, RegistryValueIsTrimmedAndUsedWhenTheFolderExists) {
    if (!windows) GTEST_SKIP() << "the registry is Wine's here; see the Wine prefix tests";
    fs::create_directories(folder_ / "FS2002");
    const std::string installed = (folder_ / "FS2002").string();
    for (const std::string suffix : {"\\", " \\ ", "\\\\  ", ""}) {
        set_registry(installed + suffix);
        EXPECT_EQ(located(), installed) << "suffix [" << suffix << "]";
    }
}

TEST_F(Locator, RegistryValueOfMissingFolderSkipsTheDefaultAndFallsBack) {
    if (!windows) GTEST_SKIP() << "the registry is Wine's here; see the Wine prefix tests";
    fs::create_directories("c:\\Program Files\\Microsoft Games\\FS2002");
    created_default_ = true;
    set_registry((folder_ / "missing").string());
    fs::create_directories(folder_ / "sim" / "SCENEDB");
    fs::create_directories(folder_ / "sim" / "run");
    fs::current_path(folder_ / "sim" / "run");
    EXPECT_EQ(located(), current() + "\\..");
}

TEST_F(Locator, DefaultFolderWhenTheRegistryHasNone) {
    if (!windows) GTEST_SKIP() << "the default folder is mapped through a Wine prefix here";
    fs::create_directories("c:\\Program Files\\Microsoft Games\\FS2002");
    created_default_ = true;
    EXPECT_EQ(located(), "c:\\Program Files\\Microsoft Games\\FS2002");
}

TEST_F(Locator, RegistryValueFillingTheBufferIsCutInsideIt) {
    if (!windows) GTEST_SKIP() << "the registry is Wine's here; see the Wine prefix tests";
    // The type of the value is not looked at: raw bytes without a
    // terminator fill the whole buffer.
    const std::string full(platform::max_path, 'x');
    ASSERT_TRUE(platform::write_machine_registry_value(locator::registry_key, locator::registry_value, full.data(),
                                                       full.size(), /*binary=*/true));
    std::array<char, platform::max_path + 8> buffer;
    buffer.fill('#');
    ASSERT_TRUE(platform::read_machine_registry_text(locator::registry_key, locator::registry_value, buffer.data(),
                                                     platform::max_path));
    EXPECT_EQ(std::string(buffer.data()), std::string(platform::max_path - 1, 'x'));
    EXPECT_EQ(buffer[platform::max_path], '#');

    const std::string longer(1000, 'y');
    set_registry(longer);
    EXPECT_EQ(located(), "");
}

// A Wine prefix as FS2002's installer under Wine leaves it: the registry
// value in "system.reg" (escaped), the simulator under "drive_c".
fs::path make_wine_prefix(const fs::path& folder, const std::string& exe_path) {
    const fs::path prefix = folder / "prefix";
    std::string escaped;
    for (char c : exe_path) {
        if (c == '\\' || c == '"') escaped.push_back('\\');
        escaped.push_back(c);
    }
    std::string registry = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                           "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1700000000\n"
                           "#time=1d9a3b0c4f00000\n";
    if (!exe_path.empty()) registry += "\"EXE Path\"=\"" + escaped + "\"\n";
    test::write_text(prefix / "system.reg", registry);
    fs::create_directories(prefix / "drive_c");
    return prefix;
}

TEST_F(Locator, WinePrefixRegistryValueIsTrimmedAndMappedToItsDrive) {
    if (windows) GTEST_SKIP() << "Windows reads its own registry";
    const fs::path prefix = make_wine_prefix(folder_, "C:\\Games\\FS2002\\ ");
    fs::create_directories(prefix / "drive_c" / "games" / "fs2002" / "SceneDB");
    fs::create_directories(prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002");
    platform::set_environment("WINEPREFIX", prefix.string().c_str());
    EXPECT_EQ(located(), "C:\\Games\\FS2002");
}

TEST_F(Locator, WinePrefixWithoutTheValueMapsTheDefaultFolder) {
    if (windows) GTEST_SKIP() << "Windows reads its own registry";
    const fs::path prefix = make_wine_prefix(folder_, "");
    fs::create_directories(prefix / "drive_c" / "Program Files" / "Microsoft Games" / "FS2002");
    platform::set_environment("WINEPREFIX", prefix.string().c_str());
    EXPECT_EQ(located(), "c:\\Program Files\\Microsoft Games\\FS2002");
}

TEST_F(Locator, WinePrefixWithNeitherFallsBack) {
    if (windows) GTEST_SKIP() << "Windows reads its own registry";
    const fs::path prefix = make_wine_prefix(folder_, "D:\\Missing");
    fs::create_directories(folder_ / "sim" / "SCENEDB");
    fs::create_directories(folder_ / "sim" / "run");
    fs::current_path(folder_ / "sim" / "run");
    platform::set_environment("WINEPREFIX", prefix.string().c_str());
    EXPECT_EQ(located(), current() + "\\..");
}

}  // namespace

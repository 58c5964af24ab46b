#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/process.h"
#include "platform/wine_registry.h"
#include "support/test_support.h"

namespace {

constexpr const char* key = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0";

const char* const registry = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0] 1700000000
"EXE Path"="C:\\FS2000"

[Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0] 1700000000
#time=1da0b0a0b0a0b0a
"Other"=dword:00000001
"exe path"="D:\\Games\\Flight \"Sim\"\\FS2002\\ \x00e9"

[Software\\Empty] 1700000000
"EXE Path"=hex:01,02
)";

TEST(WineRegistry, FindsTheValueOfTheKeyDecoded) {
    std::string text;
    ASSERT_TRUE(platform::find_registry_text(registry, key, "EXE Path", &text));
    EXPECT_EQ(text, "D:\\Games\\Flight \"Sim\"\\FS2002\\ \xE9");
    EXPECT_TRUE(platform::find_registry_text(registry, key, "Missing", &text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(platform::find_registry_text(registry, "Software\\Empty", "EXE Path", &text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(platform::find_registry_text(registry, "Software\\Absent", "EXE Path", &text));
}

TEST(WineRegistry, ReadsThePrefixOfTheEnvironmentIntoABoundedBuffer) {
    const auto prefix = test::fresh_folder();
    test::write_text(prefix / "system.reg", std::string(registry) + "[Software\\\\Long] 1\n\"EXE Path\"=\"" +
                                                std::string(400, 'L') + "\"\n");
    platform::set_environment("WINEPREFIX", prefix.string().c_str());
    std::array<char, platform::max_path> buffer{};
    EXPECT_TRUE(platform::read_machine_registry_text(key, "EXE Path", buffer.data(), buffer.size()));
    EXPECT_EQ(std::string(buffer.data()), "D:\\Games\\Flight \"Sim\"\\FS2002\\ \xE9");
    EXPECT_TRUE(platform::read_machine_registry_text("Software\\Long", "EXE Path", buffer.data(), buffer.size()));
    EXPECT_EQ(std::string(buffer.data()), "") << "a value too long for the buffer";
    platform::set_environment("WINEPREFIX", (prefix / "missing").string().c_str());
    EXPECT_FALSE(platform::read_machine_registry_text(key, "EXE Path", buffer.data(), buffer.size()));
    platform::set_environment("WINEPREFIX", "");
}

}  // namespace

// Replays every input saved in fuzz/regressions/ through the procedures the
// fuzzers drive. The sanitizer build turns any memory fault into a failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_targets.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> saved_inputs(const char* target) {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(fs::path(FIELDROLL_SOURCE_DIR) / "fuzz" / "regressions" / target)) {
        if (entry.is_regular_file() && entry.path().filename() != "README") inputs.push_back(entry.path());
    }
    return inputs;
}

scenery::Bytes bytes_of(const fs::path& path) {
    const std::string text = test::read_file(path);
    return scenery::Bytes(text.begin(), text.end());
}

TEST(FuzzRegressions, FacilityReaderInputs) {
    const auto inputs = saved_inputs("facility_reader");
    EXPECT_FALSE(inputs.empty());
    for (const fs::path& input : inputs) {
        std::FILE* file = test::stream_of(bytes_of(input));
        ASSERT_NE(file, nullptr);
        fuzz_facility_file(file);
        std::fclose(file);
    }
}

TEST(FuzzRegressions, ErrorLocationInputs) {
    const auto inputs = saved_inputs("error_location");
    EXPECT_FALSE(inputs.empty());
    for (const fs::path& input : inputs) {
        const scenery::Bytes bytes = bytes_of(input);
        test::console_of([&] { fuzz_error_location(bytes.data(), bytes.size()); });
    }
}

}  // namespace

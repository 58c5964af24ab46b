#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "platform/process.h"

namespace test {

std::filesystem::path fresh_folder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    const std::filesystem::path folder = std::filesystem::path(FIELDROLL_TEST_ROOT) / name;
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const std::filesystem::path& path, const std::string& text) {
    scenery::write_file(path.string(), scenery::Bytes(text.begin(), text.end()));
}

std::string console_of(const std::function<void()>& action) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

std::string as_console(const std::string& text) {
#ifdef _WIN32
    std::string result;
    for (char c : text) {
        if (c == '\n') result.push_back('\r');
        result.push_back(c);
    }
    return result;
#else
    return text;
#endif
}

std::string as_table(const std::vector<std::string>& lines) {
    std::string table;
    for (const std::string& line : lines) table += line + "\r\n";
    return table;
}

Run run_fieldroll(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                  const std::string& input, std::vector<std::pair<std::string, std::string>> environment,
                  unsigned long long file_size_limit) {
    // Beside the folder, so that the program does not see them.
    const std::filesystem::path input_path = folder.string() + ".input";
    const std::filesystem::path output_path = folder.string() + ".output";
    write_text(input_path, input);

    bool prefix_named = false;
    for (const auto& [name, value] : environment) prefix_named = prefix_named || name == "WINEPREFIX";
    if (!prefix_named) environment.emplace_back("WINEPREFIX", folder.string() + ".no-wine-prefix");

    platform::ProgramRun run;
    run.program = FIELDROLL_PROGRAM;
    run.arguments = arguments;
    run.working_directory = folder.string();
    run.input_path = input_path.string();
    run.output_path = output_path.string();
    run.environment = environment;
    run.file_size_limit = file_size_limit;
    Run result;
    result.status = platform::run_program(run);
    result.output = read_file(output_path);
    std::filesystem::remove(input_path);
    std::filesystem::remove(output_path);
    return result;
}

void write_facility(const std::filesystem::path& path, const std::vector<scenery::Airport>& airports) {
    scenery::write_file(path.string(), scenery::facility_file(airports));
}

std::FILE* stream_of(const scenery::Bytes& bytes) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return nullptr;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

}  // namespace test

// Helpers shared by the tests: folders of their own, files, console
// capture, and runs of the built program.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "airports/airport_record.h"
#include "scenery/scenery_writer.h"

namespace test {

#ifdef _WIN32
constexpr bool on_windows = true;
#else
constexpr bool on_windows = false;
#endif

// An empty folder for the running test, under the build's test tree.
std::filesystem::path fresh_folder();

std::string read_file(const std::filesystem::path& path);
void write_text(const std::filesystem::path& path, const std::string& text);

// What `action` printed to standard output.
std::string console_of(const std::function<void()>& action);

// Console text as it reaches a file: on Windows each "\n" becomes "\r\n".
std::string as_console(const std::string& text);

// Lines of Airports.txt: each ends with "\r\n" on every platform.
std::string as_table(const std::vector<std::string>& lines);

struct Run {
    int status = -1;
    std::string output;
};

// Runs fieldroll in `folder` with `arguments`, feeding it `input`. The
// program sees no Wine prefix unless `environment` names one.
Run run_fieldroll(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                  const std::string& input = "",
                  std::vector<std::pair<std::string, std::string>> environment = {},
                  unsigned long long file_size_limit = 0);

// The airport facility file of `airports` written at `path`.
void write_facility(const std::filesystem::path& path, const std::vector<scenery::Airport>& airports);

// Opens a stream on a temporary file holding `bytes`, positioned at its
// start; the file goes away when the stream is closed.
std::FILE* stream_of(const scenery::Bytes& bytes);

}  // namespace test

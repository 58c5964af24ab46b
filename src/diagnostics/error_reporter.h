// The error reporter of the Corvane suite: one numbered catalogue of error
// messages, printed to standard output. Fieldroll itself raises code 1
// (simulator not found), code 4 (output not written) and code 11 (output
// not created); the other codes belong to the suite's flight-plan tool.
#pragma once

#include <cstdint>

namespace error_code {
constexpr std::int32_t simulator_not_found = 1;
constexpr std::int32_t output_not_written = 4;
constexpr std::int32_t file_not_created = 11;
}  // namespace error_code

// Prints the message of `code`. Codes with a one-line message use only the
// parameter they name; every other code shows the error at its position in
// a source line (show_error_location). Unused parameters may be null.
void report_error(const char* file_name, std::int32_t line_number, const char* line_text,
                  const char* error_position, std::uint32_t error_width, std::int32_t code);

// Names the file, shows `line_text` cut into pieces at commas when it is
// long, draws a marker under the `error_width` characters that start at
// `error_position`, labels it, and prints the catalogue message of `code`.
// A position outside the text is taken as the end of the text.
void show_error_location(const char* file_name, std::int32_t line_number, const char* line_text,
                         const char* error_position, std::uint32_t error_width, std::int32_t code);

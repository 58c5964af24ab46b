// What the fuzzers feed their inputs to. The replay tests feed the saved
// inputs of fuzz/regressions/ to the same procedures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Checks the header of the facility file in `file` and, when accepted,
// walks it, then releases the airports it made. Returns their number, or
// -1 when the header was rejected.
int fuzz_facility_file(std::FILE* file);

// Shows a located error made from `data`: the first 10 bytes choose the
// width, the code, the line number and the error position (now and then
// outside the text); the rest is the line text.
void fuzz_error_location(const std::uint8_t* data, std::size_t size);

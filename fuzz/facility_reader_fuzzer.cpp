// libFuzzer target: the facility file reader, fed from memory through a
// stream.
#include <cstdio>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;  // a stream on no bytes cannot be opened
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    fuzz_facility_file(file);
    std::fclose(file);
    return 0;
}

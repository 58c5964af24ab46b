// libFuzzer target: the located error display (and the reporter's dispatch).
#include <cstdio>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The display's output is of no interest, only what it does on the way.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_error_location(data, size);
    return 0;
}

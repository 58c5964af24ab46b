// Runs a program in a folder and prints its wall time in seconds and its
// peak resident memory in KiB: "SECONDS PEAK-KIB". Standard output of the
// program is discarded. Used by the benchmark, which cannot measure peak
// memory itself (a child of a large process is charged for its parent's).
//
// usage: run_measured FOLDER PROGRAM [ARGUMENTS...]
#include <cstdio>

#include "platform/process.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: run_measured FOLDER PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    platform::ProgramRun run;
    run.working_directory = argv[1];
    run.program = argv[2];
    for (int i = 3; i < argc; ++i) run.arguments.emplace_back(argv[i]);
    platform::ProgramUsage usage;
    const int status = platform::run_program(run, &usage);
    std::printf("%.6f %llu\n", usage.seconds, static_cast<unsigned long long>(usage.peak_bytes / 1024));
    return status;
}

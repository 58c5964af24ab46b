// Starting another program and waiting for it. Used by the tests and tools
// that run fieldroll as a user would; fieldroll itself starts nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform {

struct ProgramRun {
    std::string program;
    std::vector<std::string> arguments;
    std::string working_directory;
    // Standard input is read from this file; empty means no input at all.
    std::string input_path;
    // Standard output and standard error are written to these files
    // (empty: discarded).
    std::string output_path;
    std::string error_path;
    // Variables set (or, with an empty value, removed) for the program.
    std::vector<std::pair<std::string, std::string>> environment;
    // Largest file the program may write, in bytes (0: no limit). A write
    // beyond it fails instead of ending the program. POSIX only.
    std::uint64_t file_size_limit = 0;
};

// What a run cost: wall time and the largest resident memory it reached.
struct ProgramUsage {
    double seconds = 0;
    std::uint64_t peak_bytes = 0;
};

// Runs the program to its end. Returns its exit status, or -1 when it could
// not be started or did not end normally. Fills `usage` when given.
int run_program(const ProgramRun& run, ProgramUsage* usage = nullptr);

// Sets (or, with empty text, removes) a variable of this process's
// environment.
void set_environment(const char* name, const char* value);

// Stores `size` bytes as the value `value` of `key` under
// HKEY_LOCAL_MACHINE, creating the key: as text (REG_SZ), or as raw bytes
// (REG_BINARY) that need not end with a terminator. On POSIX there is no registry to write and these return false.
bool write_machine_registry_value(const char* key, const char* value, const void* data, std::size_t size,
                                  bool binary = false);
bool delete_machine_registry_key(const char* key);

}  // namespace platform

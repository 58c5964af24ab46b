// The run of fieldroll from banner to exit status.
#pragma once

constexpr const char* fieldroll_version = "1.3.2";

// Runs the whole job once and returns the exit status: 0 when Airports.txt
// was written, 1 otherwise.
int run_fieldroll(int argc, char** argv);

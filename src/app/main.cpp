// fieldroll: writes the Corvane suite's airport table, Airports.txt, from
// the airport facility files of an installed FS2002.
#include <cstdlib>

#include "app/driver.h"

int main(int argc, char** argv) { std::exit(run_fieldroll(argc, argv)); }

#include "app/driver.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "airports/airport_record.h"
#include "diagnostics/error_reporter.h"
#include "discovery/scenery_scanner.h"
#include "discovery/simulator_locator.h"

namespace {

constexpr const char* no_pause_option = "/np";

bool is_no_pause(const char* argument) {
    if (std::strlen(argument) != std::strlen(no_pause_option)) return false;
    for (std::size_t i = 0; argument[i] != '\0'; ++i) {
        char c = argument[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != no_pause_option[i]) return false;
    }
    return true;
}

// Waits for the user to press ENTER: the line typed, of any length, is
// read and discarded. End of input ends the wait too.
void wait_for_enter() {
    std::printf("Press ENTER key to finish...");
    std::fflush(stdout);
    for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
    }
}

}  // namespace

int run_fieldroll(int argc, char** argv) {
    bool pause_at_end = true;
    AirportRecord* list_head = nullptr;  // its records live until the process ends
    std::int32_t airport_count = 0;
    int failed = 0;

    std::printf("FS2002 Fieldroll for Corvane, version %s\n\n", fieldroll_version);
    if (argc > 1 && argv[1] != nullptr && is_no_pause(argv[1])) pause_at_end = false;

    locate_simulator();
    if (simulator_root[0] == '\0') {
        report_error("", 0, "", nullptr, 0, error_code::simulator_not_found);
        failed = 1;
    } else {
        std::printf("FS2002 located\n\nCollecting airports now...\n");
        collect_airports(&list_head, &airport_count);
        sort_airports(&list_head, static_cast<std::uint32_t>(airport_count));
        failed = write_airport_file(&list_head);
        if (failed == 0) std::printf("\nAirport collection completed\n\n");
    }

    if (pause_at_end) wait_for_enter();
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}

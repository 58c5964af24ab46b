#include "discovery/simulator_locator.h"

#include <cstring>

#include "platform/bounded_text.h"

std::array<char, platform::max_path> simulator_root{};

namespace {

// Removes trailing backslashes and spaces, in any mix, but never the first
// character.
void trim_folder_end(char* folder) {
    std::size_t end = std::strlen(folder);
    while (end > 1 && (folder[end - 1] == '\\' || folder[end - 1] == ' ')) --end;
    folder[end] = '\0';
}

}  // namespace

void locate_simulator() {
    simulator_root.fill('\0');
    platform::read_machine_registry_text(locator::registry_key, locator::registry_value, simulator_root.data(),
                                         simulator_root.size());
    if (simulator_root[0] == '\0') {
        copy_text(simulator_root, locator::default_folder);
    } else {
        trim_folder_end(simulator_root.data());
    }
    if (platform::path_exists(simulator_root.data())) return;

    // Last resort: the program was started in a subfolder of the simulator.
    std::array<char, platform::max_path> probe{};
    simulator_root[0] = '\0';
    if (platform::current_directory(probe.data(), probe.size()) &&
        append_text(probe, locator::fallback_suffix) && copy_text(simulator_root, probe.data()) &&
        append_text(probe, locator::probe_suffix) && platform::path_exists(probe.data())) {
        return;
    }
    simulator_root[0] = '\0';
}

// Finding the folder FS2002 is installed in.
#pragma once

#include <array>

#include "platform/platform.h"

// The simulator folder, without trailing backslashes or spaces, or empty
// when no folder was found. Written only by locate_simulator.
extern std::array<char, platform::max_path> simulator_root;

// Fills simulator_root: the folder the simulator recorded in the registry,
// else the default installation folder, when that folder exists; otherwise
// the parent of the current directory ("<current>\..") when it holds
// "SCENEDB"; otherwise empty.
void locate_simulator();

namespace locator {
constexpr const char* registry_key = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0";
constexpr const char* registry_value = "EXE Path";
constexpr const char* default_folder = "c:\\Program Files\\Microsoft Games\\FS2002";
constexpr const char* fallback_suffix = "\\..";
constexpr const char* probe_suffix = "\\SCENEDB";
}  // namespace locator

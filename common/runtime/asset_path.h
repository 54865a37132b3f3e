#pragma once
// Where the programs find the files they read (the title picture, the bell).
// In the build tree they lie beside the executable; an installation keeps
// them in its data directory, at a fixed place relative to the executable
// (bin/ -> share/kalorix-diffundo/), so an installation under any prefix, or
// moved elsewhere as a whole, finds its own files.

#include <string>

namespace rt {

// The installed data directory relative to the executable's, as the build's
// install layout sets it, e.g. "../share/kalorix-diffundo".
extern const char* const installed_data_from_program;

// The path of `file` in the first of the two places that holds it. When
// neither does, the path beside the executable: a failure then names the
// place a developer looks first.
std::string find_asset(const std::string& program_directory, const std::string& file);

}  // namespace rt

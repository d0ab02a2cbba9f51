#pragma once
// The UnRAR command line that unpacks the subtitle archive.

#include <string>

namespace quillon {

// "<UnRAR>" e "<archive>" "<MuxDir>": extract every file, without the stored
// folder names, into the mux folder (its trailing backslash stays inside the
// quotes). No other switch.
std::string UnRarCommandLine(const std::string& unRarPath, const std::string& archive,
                             const std::string& muxDir);

}  // namespace quillon

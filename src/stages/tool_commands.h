#pragma once
// The command lines of the two console tools a job runs on its files.

#include <string>

namespace quillon {

// "<UnRAR>" e "<archive>" "<MuxDir>": extract every file, without the stored
// folder names, into the mux folder (its trailing backslash stays inside the
// quotes). No other switch.
std::string UnRarCommandLine(const std::string& unRarPath, const std::string& archive,
                             const std::string& muxDir);

// "<BeSweet>" -core( -input "<track>" -output "<mp3>" ) -lame( -b <rate>)
// The bit rate goes in as the user left it in the quality box.
std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& track,
                               const std::string& mp3, const std::string& bitRate);

}  // namespace quillon

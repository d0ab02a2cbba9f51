#pragma once
// The BeSweet command line for one audio track.

#include <string>

namespace quillon {

// "<BeSweet>" -core( -input "<track>" -output "<mp3>" ) -lame( -b <rate>)
// The bit rate goes in as the user left it in the quality box.
std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& track,
                               const std::string& mp3, const std::string& bitRate);

}  // namespace quillon

#pragma once
// The BeSweet command line for one audio track.

#include <string>

namespace quillon {

// "<BeSweet>" -core( -input "<SourceDir><entry>" -output "<MuxDir><key>.mp3" ) -lame( -b <rate>)
// The bit rate goes in as the user left it in the quality box.
std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& sourceDir,
                               const std::string& entry, const std::string& muxDir,
                               const std::string& bitRate);

}  // namespace quillon

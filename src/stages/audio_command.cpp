#include "stages/audio_command.h"

namespace quillon {

std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& track,
                               const std::string& mp3, const std::string& bitRate) {
  std::string line;
  line += '"' + beSweetPath + '"';
  line += " -core( -input \"" + track + '"';
  line += " -output \"" + mp3 + '"';
  line += " ) -lame( -b " + bitRate + ')';
  return line;
}

}  // namespace quillon

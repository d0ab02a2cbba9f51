#include "stages/audio_command.h"

#include "job/file_list.h"

namespace quillon {

std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& sourceDir,
                               const std::string& entry, const std::string& muxDir,
                               const std::string& bitRate) {
  std::string line;
  line += '"' + beSweetPath + '"';
  line += " -core( -input \"" + sourceDir + entry + '"';
  line += " -output \"" + muxDir + TrackKey(entry) + ".mp3\"";
  line += " ) -lame( -b " + bitRate + ')';
  return line;
}

}  // namespace quillon

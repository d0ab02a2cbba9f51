#include "stages/tool_commands.h"

namespace quillon {

std::string UnRarCommandLine(const std::string& unRarPath, const std::string& archive,
                             const std::string& muxDir) {
  return '"' + unRarPath + "\" e \"" + archive + "\" \"" + muxDir + '"';
}

std::string BeSweetCommandLine(const std::string& beSweetPath, const std::string& track,
                               const std::string& mp3, const std::string& bitRate) {
  return '"' + beSweetPath + "\" -core( -input \"" + track + "\" -output \"" + mp3 +
         "\" ) -lame( -b " + bitRate + ')';
}

}  // namespace quillon

#include "stages/unrar_command.h"

namespace quillon {

std::string UnRarCommandLine(const std::string& unRarPath, const std::string& archive,
                             const std::string& muxDir) {
  return '"' + unRarPath + "\" e \"" + archive + "\" \"" + muxDir + '"';
}

}  // namespace quillon

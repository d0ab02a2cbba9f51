#include "app/about_text.h"

#include "maker.h"

namespace quillon {

std::string AboutText() {
  const char* const lines[] = {
      "Brindle MUX v1.0 by " QUILLON_MAKER_NAME,
      "",
      "Quillon is a GUI with automation capabilities. It uses a number of different tools to "
      "convert a source movie folder created with any version of Brindle (1.x, 2.x or 3.x) into a "
      "single AVI file. The result is optimized to be played back with a Stand-Alone "
      "hardware-based media player.",
      "",
      "More precisely, Quillon opens a source movie folder containing an AVI, WAV/AC3/MP3/OGG "
      "audio tracks and RAR-compressed VobSub subtitles. It can then convert the audio to MP3 "
      "format and the subtitles to SRT (text) format (for Stand-Alone compatibility). This output "
      "is found in the \"mux\" subfolder of the source movie folder.",
      "",
      "Since Quillon uses keyboard macros to automate some programs, it is strongly recommended "
      "to leave the PC alone while it is working: keyboard and mouse activity could interfere "
      "with them. Also, no windows other than the tools should pop-up during the process.",
      "",
      "If you like this program, please donate.",
      "",
      QUILLON_MAKER_WEBSITE,
  };
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace quillon

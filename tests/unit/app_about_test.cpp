#include "app/about_text.h"

#include <algorithm>

#include "app_fixture.h"
#include "maker.h"

namespace quillon {
namespace {

TEST(AboutText, IsElevenLinesEachEndedByCrLf) {
  const std::string expected =
      "Brindle MUX v1.0 by " QUILLON_MAKER_NAME
      "\r\n"
      "\r\n"
      "Quillon is a GUI with automation capabilities. It uses a number of different tools to "
      "convert a source movie folder created with any version of Brindle (1.x, 2.x or 3.x) into a "
      "single AVI file. The result is optimized to be played back with a Stand-Alone "
      "hardware-based media player.\r\n"
      "\r\n"
      "More precisely, Quillon opens a source movie folder containing an AVI, WAV/AC3/MP3/OGG "
      "audio tracks and RAR-compressed VobSub subtitles. It can then convert the audio to MP3 "
      "format and the subtitles to SRT (text) format (for Stand-Alone compatibility). This output "
      "is found in the \"mux\" subfolder of the source movie folder.\r\n"
      "\r\n"
      "Since Quillon uses keyboard macros to automate some programs, it is strongly recommended to "
      "leave the PC alone while it is working: keyboard and mouse activity could interfere with "
      "them. Also, no windows other than the tools should pop-up during the process.\r\n"
      "\r\n"
      "If you like this program, please donate.\r\n"
      "\r\n" QUILLON_MAKER_WEBSITE "\r\n";
  EXPECT_EQ(AboutText(), expected);
}

TEST(AboutText, LineShape) {
  const std::string text = AboutText();
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "the last line must end with CR LF";
  ASSERT_EQ(lines.size(), 11u);
  for (std::size_t i = 1; i < 11; i += 2) EXPECT_EQ(lines[i], "") << "line " << i + 1;
  for (std::size_t i = 0; i < 11; i += 2) EXPECT_NE(lines[i], "") << "line " << i + 1;
  EXPECT_EQ(lines[0], "Brindle MUX v1.0 by " QUILLON_MAKER_NAME);
  EXPECT_EQ(lines[10], QUILLON_MAKER_WEBSITE);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 11);
}

using AboutTest = AppTest;

TEST_F(AboutTest, ShowsTheTextWithTheInformationIcon) {
  frm.Load();
  fake.calls.clear();
  frm.ClickAbout();
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"ShowMessage(Quillon,information," + AboutText() + ")"}));
}

}  // namespace
}  // namespace quillon

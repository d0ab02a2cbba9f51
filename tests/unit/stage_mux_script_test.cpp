// The AVI-Mux GUI job script, byte for byte.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "stages/mux_script.h"

namespace quillon {
namespace {

constexpr std::string_view kSourceDir = "D:\\Rips\\Film\\";

// The approved script: MP3 audio from two tracks and one subtitle.
const std::string kApproved =
    "CLEAR\r\n"
    "SET INPUT OPTIONS\r\n"
    "SET OPTION MP3 VERIFY CBR NEVER\r\n"
    "LOAD D:\\Rips\\Film\\movie.avi\r\n"
    "LOAD D:\\Rips\\Film\\mux\\0x80.mp3\r\n"
    "LOAD D:\\Rips\\Film\\mux\\0x81.mp3\r\n"
    "LOAD D:\\Rips\\Film\\mux\\0x20.srt\r\n"
    "SELECT FILE 1\r\n"
    "ADD VIDEOSOURCE\r\n"
    "SET OUTPUT OPTIONS\r\n"
    "WITH SET OPTION\r\n"
    "WITH AUDIO\r\n"
    "NAME 1 0x80\r\n"
    "NAME 2 0x81\r\n"
    "END WITH\r\n"
    "CLOSEAPP 1\r\n"
    "ALL AUDIO 1\r\n"
    "DONEDLG 0\r\n"
    "OPENDML 0\r\n"
    "RECLISTS 0\r\n"
    "AUDIO INTERLEAVE 3 FR\r\n"
    "AVI ADDJUNKBEFOREHEADERS 0\r\n"
    "PRELOAD 200\r\n"
    "NUMBERING OFF\r\n"
    "MAXFILESIZE OFF\r\n"
    "MAXFILES OFF\r\n"
    "END WITH\r\n"
    "START D:\\Rips\\Film\\mux\\movie.avi\r\n";

// The approved script with its tracks' lines replaced: `loads` after the
// movie's load, `names` after "WITH AUDIO"; and its interleave line and
// source folder by `interleave` and `sourceDir`.
std::string Approved(const std::vector<std::string>& loads, const std::vector<std::string>& names,
                     const std::string& interleave, std::string_view sourceDir = kSourceDir) {
  std::string out;
  std::istringstream in(kApproved);
  for (std::string line; std::getline(in, line);) {
    line.pop_back();  // the CR
    if (line.starts_with("NAME ") || (line.starts_with("LOAD ") && !line.ends_with("\\movie.avi")))
      continue;
    if (line.starts_with("AUDIO INTERLEAVE ")) line = interleave;
    if (const auto at = line.find(kSourceDir); at != std::string::npos)
      line.replace(at, kSourceDir.size(), sourceDir);
    out += line + "\r\n";
    if (line.starts_with("LOAD "))
      for (const auto& load : loads) out += load + "\r\n";
    if (line == "WITH AUDIO")
      for (const auto& name : names) out += name + "\r\n";
  }
  return out;
}

MuxScriptInput Input(AudioMode mode, std::vector<std::string> audio,
                     std::vector<std::string> subtitles = {},
                     const std::string& sourceDir = std::string(kSourceDir)) {
  JobFiles files;
  files.SetSource(sourceDir);
  return MuxScriptInput{files, mode, std::move(audio), std::move(subtitles)};
}

TEST(MuxScript, WorkedExampleForMp3AudioAndOneSubtitle) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Mp3, {"0x80.ac3", "0x81.ac3"}, {"vob_0x20.sup"})),
            kApproved);
}

TEST(MuxScript, OriginalAudioLoadsTheTracksFromTheSourceFolder) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80.ac3", "0x81.ac3"}, {"vob_0x20.sup"})),
            Approved({"LOAD D:\\Rips\\Film\\0x80.ac3", "LOAD D:\\Rips\\Film\\0x81.ac3",
                      "LOAD D:\\Rips\\Film\\mux\\0x20.srt"},
                     {"NAME 1 0x80", "NAME 2 0x81"}, "AUDIO INTERLEAVE 4 FR"));
}

TEST(MuxScript, EmptyAudioListHasNoLoadsAndNoNames) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Mp3, {})), Approved({}, {}, "AUDIO INTERLEAVE 3 FR"));
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {})), Approved({}, {}, "AUDIO INTERLEAVE 100 KB"));
}

struct InterleaveCase {
  AudioMode mode;
  std::vector<std::string> audio;
  const char* expected;
};

class InterleaveTest : public ::testing::TestWithParam<InterleaveCase> {};

TEST_P(InterleaveTest, FirstEntryDecidesInOriginalMode) {
  const auto& c = GetParam();
  const std::string script = MuxScript(Input(c.mode, c.audio));
  const std::string line = std::string("\r\n") + c.expected + "\r\nAVI ADDJUNKBEFOREHEADERS 0\r\n";
  EXPECT_NE(script.find(line), std::string::npos) << script;
  EXPECT_EQ(InterleaveLine(c.mode, c.audio.empty() ? "" : c.audio.front()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FirstEntries, InterleaveTest,
    ::testing::Values(
        InterleaveCase{AudioMode::Original, {"0x80.AC3"}, "AUDIO INTERLEAVE 4 FR"},
        InterleaveCase{AudioMode::Original, {"0x80.ac3"}, "AUDIO INTERLEAVE 4 FR"},
        InterleaveCase{AudioMode::Original, {"0x80.aC3"}, "AUDIO INTERLEAVE 4 FR"},
        InterleaveCase{AudioMode::Original, {"0x80.Mp3"}, "AUDIO INTERLEAVE 3 FR"},
        InterleaveCase{AudioMode::Original, {"0x80.MP3"}, "AUDIO INTERLEAVE 3 FR"},
        InterleaveCase{AudioMode::Original, {"0x80.wav", "0x81.ac3"}, "AUDIO INTERLEAVE 100 KB"},
        InterleaveCase{AudioMode::Original, {"0x80.ac3", "0x81.wav"}, "AUDIO INTERLEAVE 4 FR"},
        InterleaveCase{AudioMode::Original, {"0x80.ogg"}, "AUDIO INTERLEAVE 100 KB"},
        InterleaveCase{AudioMode::Original, {}, "AUDIO INTERLEAVE 100 KB"},
        InterleaveCase{AudioMode::Original, {"c3"}, "AUDIO INTERLEAVE 100 KB"},
        InterleaveCase{AudioMode::Mp3, {"0x80.ac3"}, "AUDIO INTERLEAVE 3 FR"},
        InterleaveCase{AudioMode::Mp3, {"0x80.wav"}, "AUDIO INTERLEAVE 3 FR"},
        InterleaveCase{AudioMode::Mp3, {}, "AUDIO INTERLEAVE 3 FR"}));

TEST(MuxScript, OggTracksStayAsTheyAreInOriginalMode) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80.ogg", "0x81.ogg"})),
            Approved({"LOAD D:\\Rips\\Film\\0x80.ogg", "LOAD D:\\Rips\\Film\\0x81.ogg"},
                     {"NAME 1 0x80", "NAME 2 0x81"}, "AUDIO INTERLEAVE 100 KB"));
}

TEST(MuxScript, TwoEntriesWithOneKeyGiveTwoEqualLinesEach) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Mp3, {"0x80 comm.ac3", "0x80 main.ac3"})),
            Approved({"LOAD D:\\Rips\\Film\\mux\\0x80.mp3", "LOAD D:\\Rips\\Film\\mux\\0x80.mp3"},
                     {"NAME 1 0x80", "NAME 2 0x80"}, "AUDIO INTERLEAVE 3 FR"));
}

TEST(MuxScript, NamesCountFromOneWithoutPadding) {
  std::vector<std::string> audio;
  std::vector<std::string> loads;
  std::vector<std::string> names;
  for (int i = 0; i < 11; ++i) {
    const std::string key = "t" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "x";
    audio.push_back(key + ".wav");
    loads.push_back("LOAD D:\\Rips\\Film\\" + key + ".wav");
    names.push_back("NAME " + std::to_string(i + 1) + " " + key);
  }
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, audio)),
            Approved(loads, names, "AUDIO INTERLEAVE 100 KB"));
  EXPECT_NE(MuxScript(Input(AudioMode::Original, audio)).find("\r\nNAME 11 t10x\r\n"),
            std::string::npos);
}

TEST(MuxScript, SubtitlesLoadLastWithTheirKeys) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80.ac3"},
                            {"a.sup", "vob_0x20.sup", "vob_0x21.sup"})),
            Approved({"LOAD D:\\Rips\\Film\\0x80.ac3", "LOAD D:\\Rips\\Film\\mux\\a.su.srt",
                      "LOAD D:\\Rips\\Film\\mux\\0x20.srt", "LOAD D:\\Rips\\Film\\mux\\0x21.srt"},
                     {"NAME 1 0x80"}, "AUDIO INTERLEAVE 4 FR"));
}

TEST(MuxScript, PathsWithSpacesAreWrittenUnquoted) {
  const std::string dir = "D:\\My Rips\\The Film (2004)\\";
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80 main.ac3"}, {"vob_0x20.sup"}, dir)),
            Approved({"LOAD D:\\My Rips\\The Film (2004)\\0x80 main.ac3",
                      "LOAD D:\\My Rips\\The Film (2004)\\mux\\0x20.srt"},
                     {"NAME 1 0x80"}, "AUDIO INTERLEAVE 4 FR", dir));
}

TEST(MuxScript, EndsWithExactlyOneLineEndAndHasNoBlankLine) {
  const std::string script = MuxScript(Input(AudioMode::Mp3, {"0x80.ac3"}, {"vob_0x20.sup"}));
  ASSERT_GE(script.size(), 2u);
  EXPECT_EQ(script.substr(script.size() - 2), "\r\n");
  EXPECT_NE(script.substr(script.size() - 4), "\r\n\r\n");
  EXPECT_EQ(script.find("\r\n\r\n"), std::string::npos);
  // Every LF has its CR and every CR its LF.
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i] == '\n') {
      EXPECT_TRUE(i > 0 && script[i - 1] == '\r') << i;
    }
    if (script[i] == '\r') {
      EXPECT_TRUE(i + 1 < script.size() && script[i + 1] == '\n') << i;
    }
  }
}

}  // namespace
}  // namespace quillon

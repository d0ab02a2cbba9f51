// The AVI-Mux GUI job script, byte for byte.

#include <gtest/gtest.h>

#include "stages/mux_script.h"

namespace quillon {
namespace {

// Joins lines with CR LF after every one, the last included.
std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

// The script with the variable parts given, the rest fixed.
std::string Script(const std::string& sourceDir, const std::vector<std::string>& loads,
                   const std::vector<std::string>& names, const std::string& interleave) {
  std::string out = Lines({"CLEAR", "SET INPUT OPTIONS", "SET OPTION MP3 VERIFY CBR NEVER",
                           "LOAD " + sourceDir + "movie.avi"});
  for (const auto& load : loads) out += load + "\r\n";
  out += Lines(
      {"SELECT FILE 1", "ADD VIDEOSOURCE", "SET OUTPUT OPTIONS", "WITH SET OPTION", "WITH AUDIO"});
  for (const auto& name : names) out += name + "\r\n";
  out += Lines({"END WITH", "CLOSEAPP 1", "ALL AUDIO 1", "DONEDLG 0", "OPENDML 0", "RECLISTS 0",
                interleave, "AVI ADDJUNKBEFOREHEADERS 0", "PRELOAD 200", "NUMBERING OFF",
                "MAXFILESIZE OFF", "MAXFILES OFF", "END WITH",
                "START " + sourceDir + "mux\\movie.avi"});
  return out;
}

MuxScriptInput Input(AudioMode mode, std::vector<std::string> audio,
                     std::vector<std::string> subtitles = {},
                     const std::string& sourceDir = "D:\\Rips\\Film\\") {
  JobFiles files;
  files.SetSource(sourceDir);
  return MuxScriptInput{files, mode, std::move(audio), std::move(subtitles)};
}

TEST(MuxScript, WorkedExampleForMp3AudioAndOneSubtitle) {
  const std::string expected =
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
  EXPECT_EQ(MuxScript(Input(AudioMode::Mp3, {"0x80.ac3", "0x81.ac3"}, {"vob_0x20.sup"})), expected);
}

TEST(MuxScript, OriginalAudioLoadsTheTracksFromTheSourceFolder) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80.ac3", "0x81.ac3"}, {"vob_0x20.sup"})),
            Script("D:\\Rips\\Film\\",
                   {"LOAD D:\\Rips\\Film\\0x80.ac3", "LOAD D:\\Rips\\Film\\0x81.ac3",
                    "LOAD D:\\Rips\\Film\\mux\\0x20.srt"},
                   {"NAME 1 0x80", "NAME 2 0x81"}, "AUDIO INTERLEAVE 4 FR"));
}

TEST(MuxScript, EmptyAudioListHasNoLoadsAndNoNames) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Mp3, {})),
            Script("D:\\Rips\\Film\\", {}, {}, "AUDIO INTERLEAVE 3 FR"));
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {})),
            Script("D:\\Rips\\Film\\", {}, {}, "AUDIO INTERLEAVE 100 KB"));
  // "WITH AUDIO" is directly followed by "END WITH".
  EXPECT_NE(MuxScript(Input(AudioMode::Original, {})).find("WITH AUDIO\r\nEND WITH\r\n"),
            std::string::npos);
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
  EXPECT_EQ(
      MuxScript(Input(AudioMode::Original, {"0x80.ogg", "0x81.ogg"})),
      Script("D:\\Rips\\Film\\", {"LOAD D:\\Rips\\Film\\0x80.ogg", "LOAD D:\\Rips\\Film\\0x81.ogg"},
             {"NAME 1 0x80", "NAME 2 0x81"}, "AUDIO INTERLEAVE 100 KB"));
}

TEST(MuxScript, TwoEntriesWithOneKeyGiveTwoEqualLinesEach) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Mp3, {"0x80 comm.ac3", "0x80 main.ac3"})),
            Script("D:\\Rips\\Film\\",
                   {"LOAD D:\\Rips\\Film\\mux\\0x80.mp3", "LOAD D:\\Rips\\Film\\mux\\0x80.mp3"},
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
            Script("D:\\Rips\\Film\\", loads, names, "AUDIO INTERLEAVE 100 KB"));
  EXPECT_NE(MuxScript(Input(AudioMode::Original, audio)).find("\r\nNAME 11 t10x\r\n"),
            std::string::npos);
}

TEST(MuxScript, SubtitlesLoadLastWithTheirKeys) {
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80.ac3"},
                            {"a.sup", "vob_0x20.sup", "vob_0x21.sup"})),
            Script("D:\\Rips\\Film\\",
                   {"LOAD D:\\Rips\\Film\\0x80.ac3", "LOAD D:\\Rips\\Film\\mux\\a.su.srt",
                    "LOAD D:\\Rips\\Film\\mux\\0x20.srt", "LOAD D:\\Rips\\Film\\mux\\0x21.srt"},
                   {"NAME 1 0x80"}, "AUDIO INTERLEAVE 4 FR"));
}

TEST(MuxScript, PathsWithSpacesAreWrittenUnquoted) {
  const std::string dir = "D:\\My Rips\\The Film (2004)\\";
  EXPECT_EQ(MuxScript(Input(AudioMode::Original, {"0x80 main.ac3"}, {"vob_0x20.sup"}, dir)),
            Script(dir,
                   {"LOAD D:\\My Rips\\The Film (2004)\\0x80 main.ac3",
                    "LOAD D:\\My Rips\\The Film (2004)\\mux\\0x20.srt"},
                   {"NAME 1 0x80"}, "AUDIO INTERLEAVE 4 FR"));
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

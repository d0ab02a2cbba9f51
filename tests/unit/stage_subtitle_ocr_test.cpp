// The subtitle macro: every key, typed text, click, caption and pause, in
// order, against scripted SubToSup and DVDSubEdit windows.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "stage_fixture.h"

namespace quillon {
namespace {

using Calls = std::vector<std::string>;

// The approved transcript: one SUP file, vob_0x20.sup, whose SRT is 0x20,
// at the default pause of a second, with no editor settings file about.
const Calls& OneSupFileTranscript() {
  static const Calls calls{
      "StartProgram(C:\\App\\tools\\SubToSup\\SubToSup.exe,1)",
      "WaitSeconds(1)",
      "ActivateWindow(SubToSup)",
      "WaitSeconds(1)",
      "ActivateWindow(SubToSup)",
      "ClickControl(SubToSup,1002)",
      "WaitSeconds(1)",
      "SendText(D:\\Rips\\Film\\mux\\movie.idx)",
      "WaitSeconds(1)",
      "SendKeys({ENTER})",
      "WaitSeconds(1)",
      "SendKeys({ENTER})",
      "WaitSeconds(1)",
      "SendKeys(%{F4})",
      "WaitSeconds(1)",
      "StartProgram(C:\\App\\tools\\DVDSubEdit1.34\\DVDSubEdit.exe,1)",
      "WaitSeconds(1)",
      "ActivateWindow(DVDSubEdit -- Version 1.34 By A. N. Author)",
      "WaitSeconds(1)",
      "SendKeys(%F)",
      "WaitSeconds(1)",
      "SendKeys({DOWN}{DOWN}{DOWN})",
      "WaitSeconds(1)",
      "SendKeys({ENTER})",
      "WaitSeconds(1)",
      "SendText(D:\\Rips\\Film\\mux\\vob_0x20.sup)",
      "WaitSeconds(1)",
      "SendKeys({ENTER})",
      "WaitSeconds(1)",
      "SendKeys(%{F4})",
      "WaitSeconds(1)",
      "ActivateWindow(D:\\Rips\\Film\\mux\\vob_0x20.sup)",
      "ClickControl(D:\\Rips\\Film\\mux\\vob_0x20.sup,1053)",
      "WaitSeconds(1)",
      "WaitSeconds(1)",
      "ActivateWindow(D:\\Rips\\Film\\mux\\vob_0x20.sup)",
      "ClickControl(D:\\Rips\\Film\\mux\\vob_0x20.sup,1056)",
      "WaitSeconds(1)",
      "SendText(D:\\Rips\\Film\\mux\\0x20)",
      "WaitSeconds(1)",
      "SendKeys({ENTER})",
      "WaitSeconds(1)",
      "SendKeys(%{F4})",
      "WaitSeconds(1)",
  };
  return calls;
}

// The approved transcript as another job types it: every pause `pause`
// seconds, and the editor's part (from its start on) once for each of
// `entries`, with the entry in place of vob_0x20.sup and its key in place of
// 0x20. The editor's settings file, when there, goes with a second's wait
// before its start: at the first start if it was there at the outset, at the
// others if the editor writes it.
Calls Transcript(int pause, const Calls& entries, const Calls& keys, bool settingsAtStart = false,
                 bool editorWritesSettings = false) {
  const Calls& approved = OneSupFileTranscript();
  const auto editor = std::find_if(approved.begin() + 1, approved.end(), [](const std::string& c) {
    return c.starts_with("StartProgram(");
  });
  const auto paced = [&](const std::string& call) {
    return call == "WaitSeconds(1)" ? "WaitSeconds(" + std::to_string(pause) + ")" : call;
  };
  const auto put = [](std::string& call, std::string_view from, const std::string& to) {
    if (const auto at = call.find(from); at != std::string::npos) call.replace(at, from.size(), to);
  };
  Calls out;
  std::transform(approved.begin(), editor, std::back_inserter(out), paced);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == 0 ? settingsAtStart : editorWritesSettings)
      out.insert(out.end(), {"DeleteFile(" + std::string(kSettingsFile) + ")", "WaitSeconds(1)"});
    for (auto it = editor; it != approved.end(); ++it) {
      std::string call = paced(*it);
      put(call, "\\mux\\0x20)", "\\mux\\" + keys[i] + ")");
      put(call, "vob_0x20.sup", entries[i]);
      out.push_back(call);
    }
  }
  return out;
}

class SubtitleMacroTest : public StageTest {
 protected:
  void Run() {
    fake.AddFile(std::string(kMux) + "movie.idx", "index");
    stages::ConvertSubtitlesToSrt(job);
  }
  std::vector<std::string> SubtitleEntries() {
    std::vector<std::string> out;
    for (int i = 0; i < job.SubtitleFiles().ListCount(); ++i)
      out.push_back(job.SubtitleFiles().List(i));
    return out;
  }
};

TEST_F(SubtitleMacroTest, OneSupFileWithTheDefaultPause) {
  Run();
  EXPECT_EQ(MacroCalls(), OneSupFileTranscript());
  EXPECT_EQ(fake.FileContent(std::string(kMux) + "0x20.srt"),
            "srt of D:\\Rips\\Film\\mux\\vob_0x20.sup");
  EXPECT_TRUE(job.Report().Empty());
  EXPECT_EQ(job.SubtitleFiles().Folder(), kMux);
}

TEST_F(SubtitleMacroTest, NoSupFileStartsNoEditor) {
  script.supFiles = {};
  Run();
  EXPECT_EQ(MacroCalls(), Transcript(1, {}, {}));
  EXPECT_EQ(editorStarts, 0);
  EXPECT_EQ(job.SubtitleFiles().ListCount(), 0);
  EXPECT_EQ(Problems(), (Calls{"Missing result: D:\\Rips\\Film\\mux\\*.sup (no subtitle stream "
                               "was converted)"}));
}

struct MacroCase {
  const char* name;
  int pause;
  std::vector<std::string> supFiles;
  std::vector<std::string> keys;
  bool settingsAtStart;
  bool editorWritesSettings;
};

void PrintTo(const MacroCase& c, std::ostream* os) {
  *os << c.name;
}

class SubtitleMacroSequenceTest : public SubtitleMacroTest,
                                  public ::testing::WithParamInterface<MacroCase> {};

TEST_P(SubtitleMacroSequenceTest, FollowsTheTableStepForStep) {
  const auto& c = GetParam();
  job.SetKeyPause(c.pause);
  script.supFiles = c.supFiles;
  script.editorWritesSettings = c.editorWritesSettings;
  if (c.settingsAtStart) fake.AddFile(kSettingsFile, "old");
  Run();

  std::vector<std::string> listed = c.supFiles;
  std::sort(listed.begin(), listed.end());
  ASSERT_EQ(SubtitleEntries(), listed);
  EXPECT_EQ(MacroCalls(),
            Transcript(c.pause, listed, c.keys, c.settingsAtStart, c.editorWritesSettings));
  for (const auto& key : c.keys) EXPECT_TRUE(fake.FileExists(std::string(kMux) + key + ".srt"));
  EXPECT_TRUE(job.Report().Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubtitleMacroSequenceTest,
    ::testing::Values(MacroCase{"ThreeFilesPauseThree",
                                3,
                                {"vob_0x22.sup", "vob_0x20.sup", "vob_0x21.sup"},
                                {"0x20", "0x21", "0x22"},
                                false,
                                false},
                      MacroCase{"ThreeFilesPauseZero",
                                0,
                                {"vob_0x20.sup", "vob_0x21.sup", "vob_0x22.sup"},
                                {"0x20", "0x21", "0x22"},
                                false,
                                false},
                      MacroCase{"SettingsFileBeforeTheFirstStartOnly",
                                1,
                                {"vob_0x20.sup", "vob_0x21.sup"},
                                {"0x20", "0x21"},
                                true,
                                false},
                      MacroCase{"SettingsFileBeforeEveryStart",
                                2,
                                {"vob_0x20.sup", "vob_0x21.sup", "vob_0x22.sup"},
                                {"0x20", "0x21", "0x22"},
                                true,
                                true},
                      MacroCase{"ShortNameKey", 1, {"a.sup"}, {"a.su"}, false, false},
                      MacroCase{"TwoEntriesOneKey",
                                1,
                                {"eng_0x20.sup", "ger_0x20.sup"},
                                {"0x20", "0x20"},
                                false,
                                false},
                      MacroCase{"NonAsciiName", 1, {"Tön_äö日本.sup"}, {"äö日本"}, false, false}),
    [](const ::testing::TestParamInfo<MacroCase>& param) { return param.param.name; });

TEST_F(SubtitleMacroTest, ZeroPauseLeavesOnlyTheToolsPace) {
  job.SetKeyPause(0);
  script.supFiles = {"vob_0x20.sup", "vob_0x21.sup", "vob_0x22.sup"};
  Run();
  const auto waits = fake.Calls({"WaitSeconds("});
  EXPECT_EQ(waits.size(), 7u + 3u * 14u);
  EXPECT_EQ(std::count(waits.begin(), waits.end(), "WaitSeconds(0)"),
            static_cast<long>(waits.size()));
  // Window delays, the conversion and three recognitions, plus polling slack
  // (the conversion and the recognitions are long waits, at the slower pace).
  const std::uint64_t toolTime = script.windowDelayMs * 4 + script.convertMs + script.ocrMs * 3;
  EXPECT_GE(fake.now, toolTime);
  EXPECT_LE(fake.now, toolTime + 4 * job.Limits().slowPollMs + 20 * job.Limits().pollMs);
}

TEST_F(SubtitleMacroTest, EveryPauseReadsTheCurrentPauseLength) {
  int pauses = 0;
  fake.onPause = [&] {
    if (++pauses == 3) job.SetKeyPause(4);
  };
  Run();
  const auto waits = fake.Calls({"WaitSeconds("});
  ASSERT_EQ(waits.size(), 7u + 14u);
  EXPECT_EQ(waits[0], "WaitSeconds(1)");
  EXPECT_EQ(waits[1], "WaitSeconds(1)");
  EXPECT_EQ(waits[2], "WaitSeconds(1)");
  for (std::size_t i = 3; i < waits.size(); ++i) EXPECT_EQ(waits[i], "WaitSeconds(4)") << i;
}

TEST_F(SubtitleMacroTest, EmptyAppDataPathDeletesNothing) {
  fake.appDataFolder = "";
  fake.AddFile(kSettingsFile, "old");
  Run();
  EXPECT_TRUE(fake.Calls({"DeleteFile("}).empty());
  EXPECT_TRUE(fake.FileExists(kSettingsFile));
  EXPECT_EQ(MacroCalls(), OneSupFileTranscript());
}

TEST_F(SubtitleMacroTest, AppDataPathWithATrailingBackslashGetsNoSecondOne) {
  fake.appDataFolder = "C:\\Users\\me\\AppData\\Roaming\\";
  fake.AddFile(kSettingsFile, "old");
  Run();
  EXPECT_EQ(fake.Calls({"DeleteFile("}),
            (Calls{"DeleteFile(C:\\Users\\me\\AppData\\Roaming\\DVDSubEdit.ini)"}));
}

TEST_F(SubtitleMacroTest, ALockedSettingsFileEndsTheJobBeforeTheEditorStarts) {
  fake.AddFile(kSettingsFile, "old");
  fake.LockFile(kSettingsFile);
  EXPECT_THROW(Run(), PlatformError);
  EXPECT_EQ(editorStarts, 0);
}

// An editor on its way out could write its settings file again after the
// next start's deletion.
TEST_F(SubtitleMacroTest, AToolThatDoesNotEndStopsTheJobBeforeTheSettingsFileGoes) {
  fake.AddFile(kSettingsFile, "old");
  fake.startedProgramsEndAt = UINT64_MAX;
  try {
    Run();
    ADD_FAILURE() << "the job went on";
  } catch (const JobError& error) {
    EXPECT_EQ(std::string(error.what()),
              "The last DVDSubEdit or SubToSup was still running 2 minutes after its window "
              "closed, so the editor's settings file could not be reset for the next start.");
  }
  EXPECT_TRUE(fake.FileExists(kSettingsFile));
  EXPECT_EQ(editorStarts, 0);
}

TEST_F(SubtitleMacroTest, TheListCountIsTakenOnceAfterTheConverter) {
  // A SUP file that shows up while the editor runs is not part of this run.
  fake.onPause = [this] {
    if (editorStarts == 1) fake.AddFile(std::string(kMux) + "vob_0x10.sup", "late");
  };
  Run();
  EXPECT_EQ(editorStarts, 1);
  EXPECT_EQ(SubtitleEntries(), (std::vector<std::string>{"vob_0x20.sup"}));
}

TEST_F(SubtitleMacroTest, AMissingSrtIsReportedAndTheNextFileStillRuns) {
  script.supFiles = {"vob_0x20.sup", "vob_0x21.sup"};
  script.editorSaves = false;
  Run();
  EXPECT_EQ(editorStarts, 2);
  EXPECT_EQ(Problems(),
            (std::vector<std::string>{"Missing result: D:\\Rips\\Film\\mux\\0x20.srt",
                                      "Missing result: D:\\Rips\\Film\\mux\\0x21.srt"}));
}

TEST_F(SubtitleMacroTest, PathWithNotationCharactersIsTypedAsItIs) {
  const std::string dir = "D:\\50% (a+b) ^{c}~[d]\\";
  fake.AddFile(dir + "movie.avi");
  job.Files().SetSource(dir);
  fake.AddFile(job.Files().Mux() + "movie.idx");
  fake.onText = nullptr;  // the scripted tools expect the usual folder: only the typing counts
  EXPECT_THROW(stages::ConvertSubtitlesToSrt(job), JobError);  // the converter never finishes
  EXPECT_EQ(fake.Calls({"SendText("}), (Calls{"SendText(D:\\50% (a+b) ^{c}~[d]\\mux\\movie.idx)"}));
}

TEST_F(SubtitleMacroTest, RecognitionWindowAlreadyGoneEndsTheWaitAtOnce) {
  script.ocrMs = 0;
  Run();
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "0x20.srt"));
  EXPECT_EQ(MacroCalls(), OneSupFileTranscript());
}

// The tools would read the path as "?" and open nothing: the job stops
// before either starts, saying why.
TEST_F(SubtitleMacroTest, AFolderTheToolsCannotShowStopsTheJobBeforeThem) {
  const std::string mux = "D:\\Rips\\\xE7\x89\x87\\mux\\";  // a CJK character
  job.Files().SetSource("D:\\Rips\\\xE7\x89\x87\\");
  try {
    stages::ConvertSubtitlesToSrt(job);
    ADD_FAILURE() << "the job went on";
  } catch (const JobError& error) {
    EXPECT_EQ(std::string(error.what()),
              "The subtitle tools cannot be given the folder " + mux +
                  ", because its path has characters that the system's code page cannot "
                  "represent. Move the movie folder to a path without them.");
  }
  EXPECT_TRUE(MacroCalls().empty());
}

// ---- waits that give up, through the job as the user sees it ----

class SubtitleMacroFailureTest : public WholeJobTest {
 protected:
  SubtitleMacroFailureTest() {
    AddSubtitles();
    ChooseSource({"0x80.ac3"});
    fake.calls.clear();
  }
  // Runs a whole job; returns the one error message it showed.
  std::string JobError() {
    frm.StartJob();
    const auto messages = Messages();
    if (messages.size() != 1) return "(" + std::to_string(messages.size()) + " messages)";
    return messages[0];
  }
};

TEST_F(SubtitleMacroFailureTest, ConverterWindowNeverShows) {
  script.converterShowsWindow = false;
  EXPECT_EQ(JobError(),
            "ShowMessage(Quillon,error,The job stopped while starting SubToSup:\r\n"
            "The window \"SubToSup\" did not appear within 2 minutes.)");
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_TRUE(fake.Calls({"SendKeys("}).empty());
}

TEST_F(SubtitleMacroFailureTest, ConverterNeverFinishes) {
  script.converterFinishes = false;
  frm.Limits().toolRunMs = 10 * 60 * 1000;
  EXPECT_EQ(JobError(),
            "ShowMessage(Quillon,error,The job stopped while waiting for SubToSup to convert the "
            "subtitles:\r\nThe window \"SubToSup 0.9 Beta\" did not appear within 10 minutes.)");
  EXPECT_EQ(editorStarts, 0);
}

TEST_F(SubtitleMacroFailureTest, RecognitionNeverEnds) {
  script.ocrEnds = false;
  frm.Limits().toolRunMs = 5 * 60 * 1000;
  EXPECT_EQ(JobError(),
            "ShowMessage(Quillon,error,The job stopped while recognising the text of "
            "D:\\Rips\\Film\\mux\\vob_0x20.sup in DVDSubEdit:\r\nThe window whose title begins "
            "with \"Running OCR... (based on GOCR by \" was still open after 5 minutes.)");
  EXPECT_TRUE(fake.Calls({"ClickControl(D:\\Rips\\Film\\mux\\vob_0x20.sup,1056)"}).empty());
}

TEST_F(SubtitleMacroFailureTest, EditorMissing) {
  fake.DeleteFile(frm.job().Files().SubEdit());
  EXPECT_EQ(JobError(),
            "ShowMessage(Quillon,error,The job stopped while starting DVDSubEdit for "
            "D:\\Rips\\Film\\mux\\vob_0x20.sup:\r\nCould not start "
            "C:\\App\\tools\\DVDSubEdit1.34\\DVDSubEdit.exe.)");
}

TEST_F(SubtitleMacroFailureTest, ClosingTheWindowDuringAWaitStopsTheJob) {
  script.converterShowsWindow = false;
  fake.At(30000, [this] { view.closeRequested = true; });
  frm.StartJob();
  EXPECT_TRUE(Messages().empty());
  EXPECT_LE(fake.now, 30000u + frm.Limits().slowPollMs);
  EXPECT_TRUE(fake.Calls({"ShellWait("}).size() == 1);  // UnRAR only
}

}  // namespace
}  // namespace quillon

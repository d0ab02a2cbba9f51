// Jobs whose tools fail: what the clean-up keeps, what the end of the job
// reports, and that nothing of the tools is left running or lost.

#include <gtest/gtest.h>

#include <algorithm>

#include "stage_fixture.h"

namespace quillon {
namespace {

using Files = std::vector<std::string>;

class FaultOutcomeTest : public WholeJobTest {
 protected:
  FaultOutcomeTest() {
    AddSubtitles();
    ChooseSource({"0x80.ac3"});
    frm.SelectOption(ControlId::optAudMP3);
    script.supFiles = {"vob_0x20.sup", "vob_0x21.sup"};
  }
  Files InMux() const {
    Files out = fake.FilesBelow(kMux);
    std::sort(out.begin(), out.end());
    return out;
  }
  static Files InMux(Files names) {
    for (auto& name : names) name = Mux(name);
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::string Mux(const std::string& name) { return std::string(kMux) + name; }
};

// What the muxer was given is nowhere else when it made no AVI: the clean-up
// keeps the converted files and the script for muxing by hand.
const Files kForMuxingByHand = {"0x20.srt",  "0x21.srt",     "0x80.mp3",
                                "movie.amg", "vob_0x20.sup", "vob_0x21.sup"};
const std::string kByHandNote =
    "The converted files and the mux script are in D:\\Rips\\Film\\mux\\ for muxing by hand.";

TEST_F(FaultOutcomeTest, NoAviMadeKeepsEverythingForMuxingByHand) {
  script.avimuxWrites = false;
  frm.StartJob();
  EXPECT_EQ(InMux(), InMux(kForMuxingByHand));
  EXPECT_EQ(Problems(), (Files{"Missing result: " + Mux("movie.avi")}));
  EXPECT_EQ(frm.Report().Notes(), (Files{kByHandNote}));
  EXPECT_EQ(Messages().back(),
            "ShowMessage(Quillon,warning,The job finished with problems:\r\n"
            "Missing result: " +
                Mux("movie.avi") + "\r\n" + kByHandNote + ")");
}

TEST_F(FaultOutcomeTest, AMuxerThatCannotStartKeepsEverythingToo) {
  fake.DeleteFile(frm.job().Files().AviMux());
  frm.StartJob();
  EXPECT_EQ(InMux(), InMux(kForMuxingByHand));
  EXPECT_EQ(Problems(), (Files{"Could not start " + frm.job().Files().AviMux(),
                               "Missing result: " + Mux("movie.avi")}));
}

// A tool that failed after opening its output leaves an empty file, which
// is no result: reported as such, and an empty AVI keeps the work.
TEST_F(FaultOutcomeTest, AnEmptyResultIsAMissingOne) {
  const struct {
    const char* tool;
    Files problems;
    Files left;
  } rows[] = {
      {"BeSweet", {"Missing result: " + Mux("0x80.mp3") + " (empty)"}, {"movie.avi"}},
      {"DVDSubEdit",
       {"Missing result: " + Mux("0x20.srt") + " (empty)",
        "Missing result: " + Mux("0x21.srt") + " (empty)"},
       {"movie.avi"}},
      {"AVI-Mux GUI", {"Missing result: " + Mux("movie.avi") + " (empty)"}, kForMuxingByHand},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tool);
    if (fake.FolderExists(kMux)) {
      for (const auto& file : fake.FilesBelow(kMux)) fake.DeleteFile(file);
      fake.RemoveFolder(kMux);
    }
    script.emptyOutputOf = row.tool;
    frm.StartJob();
    EXPECT_EQ(Problems(), row.problems);
    Files left = InMux(row.left);
    if (std::string(row.tool) == "AVI-Mux GUI") left.push_back(Mux("movie.avi"));
    std::sort(left.begin(), left.end());
    EXPECT_EQ(InMux(), left);
  }
}

TEST_F(FaultOutcomeTest, AnAviMadeWithTheSubtitlesLetsTheCleanUpDeleteThem) {
  frm.StartJob();
  EXPECT_EQ(InMux(), (Files{Mux("movie.avi")}));
  EXPECT_TRUE(Problems().empty());
}

TEST_F(FaultOutcomeTest, SubtitlesLeftOutOfTheAviStayWhetherOrNotItWasMade) {
  for (const bool aviMade : {true, false}) {
    SCOPED_TRACE(aviMade ? "AVI made" : "no AVI");
    if (fake.FolderExists(kMux)) {
      for (const auto& file : fake.FilesBelow(kMux)) fake.DeleteFile(file);
      fake.RemoveFolder(kMux);
    }
    script.avimuxWrites = aviMade;
    frm.SelectOption(ControlId::optSubSRT);
    frm.SetCheck(ControlId::chkSubMux, 0);
    frm.StartJob();
    EXPECT_EQ(InMux(),
              aviMade ? InMux({"0x20.srt", "0x21.srt", "movie.avi"}) : InMux(kForMuxingByHand));
  }
}

// UnRAR tells of a damaged archive only through its exit code; the job goes
// on (the recognition may still work from the index) and ends in a warning.
// BeSweet's exit code is not to be trusted: only its file tells. A crash of
// any tool is reported, though it left its file behind.
TEST_F(FaultOutcomeTest, ExitCodesThatTellOfAFailureAreReported) {
  const std::string crashed = " crashed (exception 0xC0000005)";
  const struct {
    std::string tool;
    std::uint32_t code;
    Files problems;
  } rows[] = {
      {frm.job().Files().UnRar(), 0, {}},
      {frm.job().Files().UnRar(), 1, {frm.job().Files().UnRar() + " ended with exit code 1"}},
      {frm.job().Files().UnRar(), 3, {frm.job().Files().UnRar() + " ended with exit code 3"}},
      {frm.job().Files().UnRar(), 0xC0000005u, {frm.job().Files().UnRar() + crashed}},
      {frm.job().Files().BeSweet(), 1, {}},
      {frm.job().Files().BeSweet(), 0xC0000005u, {frm.job().Files().BeSweet() + crashed}},
      {frm.job().Files().AviMux(), 0xC0000005u, {frm.job().Files().AviMux() + crashed}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tool + " " + std::to_string(row.code));
    if (fake.FolderExists(kMux)) {
      for (const auto& file : fake.FilesBelow(kMux)) fake.DeleteFile(file);
      fake.RemoveFolder(kMux);
    }
    const auto run = fake.onShellWait;
    fake.onShellWait = [&, run](const std::string& cmd, int style) {
      ProcessOutcome outcome = run(cmd, style);
      if (cmd.rfind("\"" + row.tool + "\"", 0) == 0) outcome.exitCode = row.code;
      return outcome;
    };
    frm.StartJob();
    fake.onShellWait = run;
    if (row.code < kFirstExceptionStatus) {
      EXPECT_EQ(InMux(), (Files{Mux("movie.avi")}));
    }
    // The AVI of a muxer that crashed may hold only part of what it was given.
    if (row.tool == frm.job().Files().AviMux()) {
      Files left = InMux(kForMuxingByHand);
      left.push_back(Mux("movie.avi"));
      std::sort(left.begin(), left.end());
      EXPECT_EQ(InMux(), left);
    }
    EXPECT_EQ(Problems(), row.problems);
  }
}

TEST_F(FaultOutcomeTest, AnExtractorThatCannotStartIsReportedOnceNotAsAnErrorCode) {
  fake.DeleteFile(frm.job().Files().UnRar());
  frm.StartJob();
  EXPECT_EQ(Problems(), (Files{"Could not start " + frm.job().Files().UnRar()}));
}

// ---- a source folder that is not there ----

TEST_F(FaultOutcomeTest, AFolderRemovedAfterTheScanStartsNoJobAndSaysSo) {
  for (const auto& file : fake.FilesBelow(kSource)) fake.DeleteFile(file);
  fake.RemoveFolder(kSource);
  fake.calls.clear();
  frm.StartJob();
  EXPECT_EQ(Messages(), (Files{"ShowMessage(Quillon,error,The job was not started, because its "
                               "source folder does not exist:\r\nD:\\Rips\\Film\\)"}));
  EXPECT_TRUE(fake.Calls({"CreateFolder("}).empty());
  EXPECT_FALSE(fake.FolderExists(kSource));
  EXPECT_TRUE(frm.StagesRun().empty());
  EXPECT_FALSE(frm.JobRunning());
}

// Quotes are part of the folder field: no folder has that name, and none is
// made for it.
TEST_F(FaultOutcomeTest, AQuotedFolderOnTheCommandLineFailsTheBatchJobBeforeAnythingIsMade) {
  fake.commandLineText = "?\"D:\\Rips\\Film\"?1?128?1?1?1?0?1?";
  fake.calls.clear();
  frm.TickCommandTimer();
  EXPECT_EQ(Messages(),
            (Files{"ShowMessage(Quillon,error,closes after 60000 ms,The job was not "
                   "started, because its source folder does not exist:\r\n\"D:\\Rips\\Film\"\\)"}));
  EXPECT_TRUE(fake.Calls({"CreateFolder("}).empty());
  EXPECT_TRUE(fake.Calls({"ShellWait("}).empty());
  EXPECT_EQ(frm.ExitCode(), kExitJobFailed);
}

// The tools open the job's files through 260-character paths. A folder
// whose job would hand a tool a longer path (counted as the platform counts
// them, in UTF-16 units) gets no job: a tool would fail on it half-way. The
// longest are the archive in "subtitles\" and the SUP files of the
// recognition; without subtitles, the mux script. A folder picked in the
// dialog is judged alike, and not taken.
TEST_F(FaultOutcomeTest, AFolderTooLongForTheToolsStartsNoJob) {
  enum Subtitles { None, Beside, InSubfolder };
  struct Row {
    std::string name;  // the source folder's, on drive D
    Subtitles subtitles;
    bool srt;
    bool started;
  };
  const std::string fill(200, 'f');
  const Row rows[] = {
      // "D:\" + name + "\mux\movie.amg" is 3 + n + 14 units long.
      {fill + std::string(42, 'x'), None, true, true},   // 259
      {fill + std::string(43, 'x'), None, true, false},  // 260
      // One character, three bytes: 259 (counting bytes would refuse it).
      {fill + std::string(41, 'x') + "\xe7\x89\x87", None, true, true},
      // One character beyond 16 bits, two units: 260 (counting characters
      // would take it).
      {fill + std::string(41, 'x') + "\xf0\x9d\x84\x9e", None, true, false},
      // "\subtitles\movie.rar": 3 + n + 20.
      {fill + std::string(36, 'x'), InSubfolder, true, true},    // 259
      {fill + std::string(37, 'x'), InSubfolder, false, false},  // 260
      // "\mux\movie_0x20.sup": 3 + n + 19, made only for SRT.
      {fill + std::string(37, 'x'), Beside, true, true},   // 259
      {fill + std::string(38, 'x'), Beside, true, false},  // 260
      {fill + std::string(38, 'x'), Beside, false, true},  // no SUP files: the script, 255
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.name.size()) + " characters, subtitles " +
                 std::to_string(row.subtitles) + (row.srt ? ", SRT" : ""));
    const std::string source = "D:\\" + row.name + "\\";
    fake.AddFolder(source);
    if (row.subtitles == Beside) fake.AddFile(source + "movie.idx");
    if (row.subtitles == InSubfolder) fake.AddFile(source + "subtitles\\movie.idx");
    fake.commandLineText = source;  // dropped onto the window, which takes it as it is
    frm.TickCommandTimer();
    frm.SelectOption(row.srt ? ControlId::optSubSRT : ControlId::optSubOrig);
    fake.calls.clear();
    frm.StartJob();
    const auto created = fake.Calls({"CreateFolder("});
    EXPECT_EQ(created.empty(), !row.started);
    if (row.started) continue;
    const std::string why = "because the path of its mux folder is too long:\r\n" + source +
                            "mux\\\r\nThe tools cannot open files whose paths are longer than 259 "
                            "characters. Move the source folder closer to the root of its drive, "
                            "or give it a shorter name.)";
    EXPECT_EQ(Messages(), (Files{"ShowMessage(Quillon,error,The job was not started, " + why}));
    if (!row.srt) continue;
    fake.commandLineText = kSource;
    frm.TickCommandTimer();
    fake.browseAnswer = source.substr(0, source.size() - 1);
    fake.calls.clear();
    frm.ClickOpen();
    EXPECT_EQ(Messages(), (Files{"ShowMessage(Quillon,error,The folder cannot be used, " + why}));
    EXPECT_EQ(frm.job().Files().Source(), kSource);  // the folder chosen before stays
  }
}

// ---- the tools of a job that stops ----

using StoppedJobTest = FaultOutcomeTest;

TEST_F(StoppedJobTest, ARecognitionThatNeverEndsEndsTheToolsBeforeTheMessage) {
  script.ocrEnds = false;
  frm.StartJob();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("ShowMessage(Quillon,error,The job stopped while recognising", 0),
            0u);
  EXPECT_EQ(fake.Calls({"EndStartedPrograms"}).size(), 1u);
  const auto recognition = fake.Position("ClickControl(D:\\Rips\\Film\\mux\\vob_0x20.sup,1053)");
  ASSERT_GE(recognition, 0);
  EXPECT_GT(fake.Position("EndStartedPrograms"), recognition);
  EXPECT_LT(fake.Position("EndStartedPrograms"), fake.Position("ShowMessage("));
}

TEST_F(StoppedJobTest, AConverterWindowThatNeverShowsEndsTheConverter) {
  script.converterShowsWindow = false;
  frm.StartJob();
  EXPECT_EQ(fake.Calls({"EndStartedPrograms"}).size(), 1u);
  EXPECT_LT(fake.Position("StartProgram(" + frm.job().Files().SubToSup() + ",1)"),
            fake.Position("EndStartedPrograms"));
  EXPECT_LT(fake.Position("EndStartedPrograms"), fake.Position("ShowMessage("));
}

TEST_F(StoppedJobTest, ClosingTheWindowDuringAJobEndsTheTools) {
  script.ocrEnds = false;
  fake.At(20000, [this] { view.closeRequested = true; });
  frm.StartJob();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fake.Calls({"EndStartedPrograms"}).size(), 1u);
  EXPECT_EQ(frm.ExitCode(), kExitCancelled);
}

// Windows asks whether it may end the session in the middle of the macro
// (or while UnRAR runs, right before SubToSup would start), and answers
// half a minute later. Meanwhile nothing goes to a tool; the calls that
// did, with the question and the answer among them.
std::vector<std::string> SessionEndDuringTheMacro(testing::FakePlatform& fake, FrmMain& frm,
                                                  bool ending, bool whileUnRarRuns = false) {
  const auto ask = [&fake, &frm, ending] {
    fake.calls.push_back("asked");
    EXPECT_TRUE(frm.QueryEndSession());
    fake.At(fake.now + 30000, [&fake, &frm, ending] {
      fake.calls.push_back("answered");
      frm.EndSession(ending);
    });
  };
  if (whileUnRarRuns) {
    fake.onShellWait = [ask, tool = fake.onShellWait](const std::string& cmd, int style) {
      const ProcessOutcome outcome = tool(cmd, style);
      if (cmd.find("UnRAR") != std::string::npos) ask();
      return outcome;
    };
  } else {
    fake.At(12000, ask);
  }
  frm.StartJob();
  auto toTools = fake.Calls({"asked", "answered", "SendKeys(", "SendText(", "ClickControl(",
                             "StartProgram(", "ShellWait("});
  const auto asked = std::find(toTools.begin(), toTools.end(), "asked");
  EXPECT_TRUE(asked != toTools.end() && asked + 1 != toTools.end() && *(asked + 1) == "answered")
      << "something went to a tool before Windows answered";
  toTools.erase(toTools.begin(), asked);
  return toTools;
}

TEST_F(StoppedJobTest, WindowsEndingTheSessionEndsTheToolsAndLogsWhy) {
  KeepLog();
  EXPECT_EQ(SessionEndDuringTheMacro(fake, frm, true), (Files{"asked", "answered"}));
  EXPECT_EQ(fake.Calls({"EndAllTools"}).size(), 1u);
  EXPECT_TRUE(Messages().empty());
  const std::string log = fake.FileContent(frm.job().Log().Path()).value_or("");
  EXPECT_TRUE(log.ends_with("Stopped: Windows is shutting down.\r\n")) << log;
}

TEST_F(StoppedJobTest, NoToolStartsWhileWindowsDecides) {
  EXPECT_EQ(SessionEndDuringTheMacro(fake, frm, true, true), (Files{"asked", "answered"}));
}

TEST_F(StoppedJobTest, WindowsThatDoesNotEndAfterAllLetsTheJobGoOn) {
  EXPECT_GT(SessionEndDuringTheMacro(fake, frm, false).size(), 2u);
  EXPECT_TRUE(fake.Calls({"EndAllTools"}).empty());
  EXPECT_EQ(Messages(), (Files{"ShowMessage(Quillon,information,Done!)"}));
}

TEST_F(StoppedJobTest, AJobThatEndsNormallyEndsNothing) {
  frm.StartJob();
  EXPECT_EQ(Messages(), (Files{"ShowMessage(Quillon,information,Done!)"}));
  EXPECT_TRUE(fake.Calls({"EndStartedPrograms"}).empty());
}

}  // namespace
}  // namespace quillon

#include <stdexcept>
#include <tuple>

#include "app_fixture.h"
#include "settings_stub.h"

namespace quillon {
namespace {

constexpr char kSource[] = "D:\\Rips\\Film\\";
constexpr char kMux[] = "D:\\Rips\\Film\\mux\\";

class JobTest : public AppTest {
 protected:
  void SetUp() override {
    fake.AddFile("D:\\Rips\\Film\\movie.avi");
    frm.Load();
    fake.browseAnswer = "D:\\Rips\\Film";
    frm.ClickOpen();
    // The recognition drives outside windows; these tests are about the driver.
    frm.SelectOption(ControlId::optSubOrig);
  }
  // Sets the options a job reads, then forgets the calls made so far.
  void Configure(bool mp3, bool mux, bool deleteTemp, bool shutDown = false) {
    frm.SelectOption(mp3 ? ControlId::optAudMP3 : ControlId::optAudOrig);
    frm.SetCheck(ControlId::chkMux, mux ? 1 : 0);
    frm.SetCheck(ControlId::chkDelTemp, deleteTemp ? 1 : 0);
    frm.SetCheck(ControlId::chkShutDown, shutDown ? 1 : 0);
    fake.calls.clear();
  }
  void ExpectIdle() {
    EXPECT_FALSE(frm.JobRunning());
    EXPECT_EQ(frm.Caption(), "Quillon v1.0");
    EXPECT_FALSE(Enabled(ControlId::cmdStart));
    EXPECT_EQ(frm.Control(ControlId::cmdStart).caption, "Start");
    EXPECT_TRUE(Enabled(ControlId::cmdOpen));
    EXPECT_TRUE(Enabled(ControlId::cmdAbout));
    EXPECT_LT(fake.Position("Minimise"), fake.Position("Restore"));
    EXPECT_LT(fake.Position("TimerOn(Working)"), fake.Position("TimerOff(Working)"));
  }
};

// ---- which stages run ----

enum class IndexAt { Nowhere, Folder, Subtitles, Both };

class StageSequenceTest
    : public JobTest,
      public ::testing::WithParamInterface<std::tuple<IndexAt, bool, bool, bool>> {};

TEST_P(StageSequenceTest, RunsTheStagesTheOptionsAskFor) {
  KeepLog();
  const auto [index, mp3, mux, deleteTemp] = GetParam();
  if (index == IndexAt::Folder || index == IndexAt::Both) fake.AddFile("D:\\Rips\\Film\\movie.idx");
  if (index == IndexAt::Subtitles || index == IndexAt::Both)
    fake.AddFile("D:\\Rips\\Film\\subtitles\\movie.idx");
  Configure(mp3, mux, deleteTemp);

  frm.ClickStart();

  std::vector<std::string> expected;
  if (index != IndexAt::Nowhere) expected.push_back("ExtractSubtitles");
  if (mp3) expected.push_back("ConvertAudio");
  expected.push_back(mux ? "MuxMovie" : "CopySubtitleResults");
  expected.push_back("Pause");
  if (deleteTemp) expected.push_back("DeleteTempFiles");
  EXPECT_EQ(frm.StagesRun(), expected);

  EXPECT_EQ(frm.job().Files().Mux(), kMux);
  EXPECT_EQ(fake.calls.front(), std::string("CreateFolder(") + kMux + ")");
  EXPECT_EQ(fake.Calls({"WaitSeconds(1)"}).size(), 1u);
  EXPECT_LT(fake.Position("Minimise"), fake.Position("WaitSeconds(1)"));
  ExpectIdle();
  // One end message, after the window is back.
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_LT(fake.Position("Restore"), fake.Position("ShowMessage"));
  EXPECT_TRUE(fake.Calls({"StartProgram"}).empty());
  EXPECT_EQ(view.closeCount, 0);
  EXPECT_EQ(frm.ExitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryCombination, StageSequenceTest,
                         ::testing::Combine(::testing::Values(IndexAt::Nowhere, IndexAt::Folder,
                                                              IndexAt::Subtitles, IndexAt::Both),
                                            ::testing::Bool(), ::testing::Bool(),
                                            ::testing::Bool()));

TEST_F(JobTest, ConditionsAreReadWhenTheirStepIsReached) {
  KeepLog();
  Configure(false, false, true);
  fake.onPause = [&] { frm.SetCheck(ControlId::chkDelTemp, 0); };
  frm.ClickStart();
  EXPECT_EQ(frm.StagesRun(), (std::vector<std::string>{"CopySubtitleResults", "Pause"}));

  fake.RemoveFolder(kMux);
  frm.ClickOpen();
  frm.SelectOption(ControlId::optSubOrig);
  fake.onPause = [&] { frm.SetCheck(ControlId::chkDelTemp, 1); };
  frm.ClickStart();
  EXPECT_EQ(frm.StagesRun(),
            (std::vector<std::string>{"CopySubtitleResults", "Pause", "DeleteTempFiles"}));
}

// ---- how a job ends ----

TEST_F(JobTest, ACleanJobEndsIdleWithDone) {
  Configure(false, false, false);
  int awakeDuringTheJob = 0;
  fake.onPause = [&] { awakeDuringTheJob = fake.awakeHolds; };
  frm.ClickStart();
  EXPECT_EQ(awakeDuringTheJob, 1) << "the computer may not sleep during a job";
  EXPECT_EQ(fake.awakeHolds, 0) << "nor is it kept awake after it";
  ExpectIdle();
  EXPECT_EQ(Messages(), (std::vector<std::string>{"ShowMessage(Quillon,information,Done!)"}));
  EXPECT_EQ(
      fake.Calls({"Minimise", "TimerOn", "WaitSeconds", "TimerOff", "Restore", "ShowMessage"}),
      (std::vector<std::string>{"Minimise", "TimerOn(Working)", "WaitSeconds(1)",
                                "TimerOff(Working)", "Restore",
                                "ShowMessage(Quillon,information,Done!)"}));
  EXPECT_EQ(frm.ExitCode(), 0);
}

TEST_F(JobTest, ShutDownLeavesTheWindowBusyAndSaysNothing) {
  Configure(false, false, false, true);
  frm.ClickStart();
  EXPECT_EQ(fake.Calls({"RunCommand", "StartProgram"}),
            (std::vector<std::string>{"RunCommand(shutdown -s,2)"}));
  EXPECT_LT(fake.Position("WaitSeconds(1)"), fake.Position("RunCommand"));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fake.Position("Restore"), -1);
  EXPECT_EQ(fake.Position("TimerOff(Working)"), -1);
  EXPECT_EQ(frm.Control(ControlId::cmdStart).caption, "Working...");
  EXPECT_FALSE(Enabled(ControlId::cmdOpen));
  EXPECT_EQ(view.closeCount, 0);
  // The system may close the window now.
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_TRUE(frm.QueryClose());
}

// Windows refuses, for example, while another user is signed in: the
// window then comes back instead of waiting all night to be closed.
TEST_F(JobTest, AShutDownThatWindowsRefusesIsAWarning) {
  for (const auto& [outcome, why] :
       {std::pair{ProcessOutcome(true, true, 1190), "ended with exit code 1190"},
        std::pair{ProcessOutcome(true, false, 0), "did not answer within 30 seconds"}}) {
    SCOPED_TRACE(why);
    if (fake.FolderExists(kMux)) fake.RemoveFolder(kMux);
    Configure(false, false, false, true);
    fake.onRunCommand = [&](const std::string&, int) { return outcome; };
    frm.ClickStart();
    ExpectIdle();
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "ShowMessage(Quillon,warning,The job finished.\r\nThe computer was "
                              "not shut down: \"shutdown -s\" " +
                              std::string(why) + ".)"}));
  }
}

TEST_F(JobTest, AShutDownThatCannotStartIsAnError) {
  Configure(false, false, false, true);
  fake.onRunCommand = [](const std::string&, int) { return ProcessOutcome(false, false, 0); };
  frm.ClickStart();
  ExpectIdle();
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"ShowMessage(Quillon,error,The job stopped while shutting "
                                      "down the computer:\r\nThe command \"shutdown -s\" could "
                                      "not be started.)"}));
}

// ---- a job that does not start ----

TEST_F(JobTest, AnExistingMuxFolderStopsTheJobBeforeAnythingHappens) {
  KeepLog();
  fake.AddFile("D:\\Rips\\Film\\mux\\movie.avi", "earlier job");
  fake.AddFile("D:\\Rips\\Film\\movie.idx");
  Configure(true, true, true);
  const auto before = fake.FilesBelow(kSource);

  frm.ClickStart();

  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{
                "ShowMessage(Quillon,error,The job was not started, because its mux folder "
                "already exists:\r\nD:\\Rips\\Film\\mux\\\r\nMove or rename that folder, then "
                "start again.)"}));
  EXPECT_TRUE(frm.StagesRun().empty());
  EXPECT_EQ(fake.FilesBelow(kSource), before);
  EXPECT_EQ(fake.FileContent("D:\\Rips\\Film\\mux\\movie.avi"), "earlier job");
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_TRUE(Enabled(ControlId::cmdStart));
  EXPECT_EQ(frm.Caption(), "Quillon v1.0");
  EXPECT_EQ(frm.ExitCode(), 0);
}

TEST_F(JobTest, AWindowThatCannotTurnBusyStartsNoJobAndStaysUsable) {
  KeepLog();
  Configure(false, true, true);
  view.refuseTimers = true;
  frm.ClickStart();
  EXPECT_TRUE(frm.StagesRun().empty());
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_FALSE(fake.FolderExists(kMux));
  EXPECT_TRUE(Enabled(ControlId::cmdOpen));
  EXPECT_LT(fake.Position("TimerOn(Working)"), fake.Position("Restore"));
  EXPECT_EQ(
      Messages(),
      (std::vector<std::string>{"ShowMessage(Quillon,error,The job was not started, because the "
                                "window could not switch to its working state:\r\nThe system "
                                "refused a timer." +
                                std::string(kLogPlace) + ")"}));
}

TEST_F(JobTest, AMuxFolderThatCannotBeCreatedStopsTheJob) {
  KeepLog();
  fake.AddFile("D:\\Rips\\Film\\mux", "a file in the folder's way");
  fake.calls.clear();
  frm.ClickStart();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("ShowMessage(Quillon,error,The job was not started, because its "
                                "mux folder could not be created:\r\nD:\\Rips\\Film\\mux\\\r\n"
                                "Could not create",
                                0),
            0u)
      << Messages()[0];
  EXPECT_EQ(fake.Position("Minimise"), -1);
  EXPECT_TRUE(frm.StagesRun().empty());
  EXPECT_FALSE(frm.JobRunning());
}

// ---- a job that stops ----

TEST_F(JobTest, AnErrorStopsTheJobNamesTheStepAndRestoresTheWindow) {
  KeepLog();
  Configure(true, true, true);
  fake.onPause = [] { throw JobError("BeSweet wrote nothing."); };
  frm.ClickStart();
  EXPECT_EQ(frm.StagesRun(), (std::vector<std::string>{"ConvertAudio", "MuxMovie", "Pause"}));
  ExpectIdle();
  EXPECT_EQ(Messages(), (std::vector<std::string>{"ShowMessage(Quillon,error,The job stopped "
                                                  "while waiting before the clean-up:\r\nBeSweet "
                                                  "wrote nothing." +
                                                  std::string(kLogPlace) + ")"}));
  EXPECT_LT(fake.Position("Restore"), fake.Position("ShowMessage"));
  EXPECT_EQ(view.closeCount, 0);
  EXPECT_EQ(frm.ExitCode(), 0);
}

TEST_F(JobTest, AnUnexpectedExceptionIsReportedToo) {
  Configure(false, false, false);
  fake.onPause = [] { throw std::runtime_error("out of memory"); };
  frm.ClickStart();
  ExpectIdle();
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "ShowMessage(Quillon,error,The job stopped while waiting before the "
                            "clean-up on an unexpected error:\r\nout of memory)"}));
}

TEST_F(JobTest, ClosingTheWindowStopsTheJobAtItsNextPause) {
  KeepLog();
  Configure(false, true, true);
  bool allowedToClose = true;
  fake.onPause = [&] {
    allowedToClose = frm.QueryClose();
    view.closeRequested = true;
  };
  frm.ClickStart();
  EXPECT_FALSE(allowedToClose);
  EXPECT_EQ(frm.StagesRun(), (std::vector<std::string>{"MuxMovie", "Pause"}));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(view.closeCount, 1);
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_EQ(frm.ExitCode(), kExitCancelled);
}

TEST_F(JobTest, StartAndTheFolderButtonDoNothingDuringAJob) {
  Configure(false, false, false);
  fake.onPause = [&] {
    frm.ClickStart();
    frm.ClickOpen();
    frm.ClickAbout();
  };
  frm.ClickStart();
  EXPECT_EQ(fake.Calls({"CreateFolder"}).size(), 1u);
  EXPECT_TRUE(fake.Calls({"BrowseForFolder"}).empty());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"ShowMessage(Quillon,information,Done!)"}));
}

// ---- the helpers the stages use, on a job without the window ----

using JobHelpersTest = BareJobTest;

TEST_F(JobHelpersTest, PauseWaitsAndStopsOnceTheWindowIsClosing) {
  job.Pause(3);
  EXPECT_EQ(fake.calls.back(), "WaitSeconds(3)");
  settings.closeRequested = true;
  EXPECT_THROW(job.Pause(2), JobCancelled);
  EXPECT_EQ(fake.calls.back(), "WaitSeconds(2)");
}

TEST_F(JobHelpersTest, RunToolRecordsAToolThatCannotStart) {
  job.RunTool("\"C:\\App\\tools\\UnRAR.exe\" e \"a b.rar\"", "C:\\App\\tools\\UnRAR.exe");
  EXPECT_EQ(fake.calls.back(), "ShellWait(\"C:\\App\\tools\\UnRAR.exe\" e \"a b.rar\",1)");
  EXPECT_EQ(job.Report().Problems(),
            (std::vector<std::string>{"Could not start C:\\App\\tools\\UnRAR.exe"}));

  fake.AddFile("C:\\App\\tools\\UnRAR.exe");
  job.RunTool("\"C:\\App\\tools\\UnRAR.exe\" e x", "C:\\App\\tools\\UnRAR.exe");
  EXPECT_EQ(job.Report().Problems().size(), 1u);
}

TEST_F(JobHelpersTest, RunToolEndsTheJobWhenTheToolOutlivesItsTimeLimitOrItsWaitFails) {
  const struct {
    const char* waitFailure;
    bool stillRunning;
    const char* error;
  } rows[] = {
      {"", true,
       "C:\\App\\tools\\BeSweet.exe did not finish within the time limit of 1 hour and could "
       "not be stopped."},
      {"Access is denied.", true,
       "The wait for C:\\App\\tools\\BeSweet.exe to finish failed and it could not be stopped, "
       "so it may still be running: Access is denied."},
      // Last: the time limit again for the rest of the test.
      {"", false,
       "C:\\App\\tools\\BeSweet.exe did not finish within the time limit of 1 hour and was "
       "stopped."},
  };
  for (const auto& row : rows) {
    fake.onShellWait = [&row](const std::string&, int) {
      ProcessOutcome outcome{true, false, 0};
      outcome.waitFailure = row.waitFailure;
      outcome.stillRunning = row.stillRunning;
      return outcome;
    };
    try {
      job.RunTool("\"B.exe\"", "C:\\App\\tools\\BeSweet.exe");
      ADD_FAILURE() << "no error";
    } catch (const JobError& error) {
      EXPECT_STREQ(error.what(), row.error);
    }
  }
  job.Limits().toolRunMs = 90000;
  try {
    job.RunTool("\"B.exe\"", "B.exe");
    ADD_FAILURE() << "no error";
  } catch (const JobError& error) {
    EXPECT_STREQ(error.what(),
                 "B.exe did not finish within the time limit of 90 seconds and was stopped.");
  }
  EXPECT_TRUE(job.Report().Empty());
}

// A tool that failed after opening its output leaves an empty file: no
// result either.
TEST_F(JobHelpersTest, ExpectResultNotesMissingAndEmptyFiles) {
  fake.AddFile("D:\\Rips\\Film\\mux\\0x80.mp3", "mp3");
  fake.AddFile("D:\\Rips\\Film\\mux\\0x82.mp3", "");
  EXPECT_TRUE(job.ExpectResult("D:\\Rips\\Film\\mux\\0x80.mp3"));
  EXPECT_TRUE(job.Report().Empty());
  EXPECT_FALSE(job.ExpectResult("D:\\Rips\\Film\\mux\\0x81.mp3"));
  EXPECT_FALSE(job.ExpectResult("D:\\Rips\\Film\\mux\\0x82.mp3"));
  EXPECT_EQ(job.Report().Problems(),
            (std::vector<std::string>{"Missing result: D:\\Rips\\Film\\mux\\0x81.mp3",
                                      "Missing result: D:\\Rips\\Film\\mux\\0x82.mp3 (empty)"}));
}

}  // namespace
}  // namespace quillon

#include "app/batch_command.h"

#include "app_fixture.h"

namespace quillon {
namespace {

TEST(SplitBatchFields, TakesTheEightFieldsBetweenTheFirstNineMarksVerbatim) {
  struct Row {
    const char* commandLine;
    BatchFields expected;
  };
  const Row table[] = {
      {"?D:\\Rips\\Film?1?192?1?1?1?0?1?", {"D:\\Rips\\Film", "1", "192", "1", "1", "1", "0", "1"}},
      {"stray words ?a?b?c?d?e?f?g?h?after?x?", {"a", "b", "c", "d", "e", "f", "g", "h"}},
      {"?????????", {"", "", "", "", "", "", "", ""}},
      {"? 1?01? 192 ?\"D\"?? ?x?y? ", {" 1", "01", " 192 ", "\"D\"", "", " ", "x", "y"}},
      {"?D:\\My Films\\Film?0?128?0?0?0?0?0?",
       {"D:\\My Films\\Film", "0", "128", "0", "0", "0", "0", "0"}},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.commandLine);
    const auto fields = SplitBatchFields(row.commandLine);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(*fields, row.expected);
  }
}

TEST(SplitBatchFields, FewerThanNineMarksGiveNothing) {
  for (const char* commandLine :
       {"", "D:\\Film", "?D:\\Film?", "?a?b?c?d?e?f?g?h", "????????", "a?b?c?d?e?f?g?h?"}) {
    SCOPED_TRACE(commandLine);
    EXPECT_FALSE(SplitBatchFields(commandLine).has_value());
  }
}

TEST(DroppedFolder, DropsSurroundingBlanksAndOnePairOfQuotes) {
  EXPECT_EQ(DroppedFolder("D:\\Film"), "D:\\Film");
  EXPECT_EQ(DroppedFolder("  \"D:\\My Films\\Film\"  "), "D:\\My Films\\Film");
  EXPECT_EQ(DroppedFolder("\t D:\\My Films \t"), "D:\\My Films");
  EXPECT_EQ(DroppedFolder("\"\"D:\\x\"\""), "\"D:\\x\"");
  EXPECT_EQ(DroppedFolder("\"\""), "");
  EXPECT_EQ(DroppedFolder("\""), "\"");
  EXPECT_EQ(DroppedFolder("   "), "");
}

TEST(CommandLineRefusal, ShowsWhatWasGivenAndTheExpectedForm) {
  EXPECT_EQ(CommandLineRefusal("?D:\\Film?1?"),
            "This command line cannot be used:\r\n?D:\\Film?1?\r\n\r\n"
            "The command line needs nine \"?\" characters:\r\n"
            "?folder?audio?bitrate?subtitles?muxsubs?deltemp?shutdown?muxall?\r\n"
            "Example: ?D:\\Rips\\Film?1?192?1?1?1?0?1?\r\n\r\n"
            "A folder name on its own, without any \"?\", opens that folder.");
}

class BatchTest : public AppTest {
 protected:
  void SetUp() override {
    fake.AddFile("D:\\Rips\\Film\\movie.avi");
    fake.AddFile("D:\\Rips\\Film\\0x80.ac3");
    fake.AddFile("E:\\Ogg Film\\0x80.ogg");
    frm.Load();
    fake.calls.clear();
  }
  void Run(const std::string& commandLine) {
    fake.commandLineText = commandLine;
    frm.TickCommandTimer();
  }
  // The controls as the folder scan leaves them for `folder`, in a window of
  // their own: what a field that is neither "0" nor "1" must not change.
  std::vector<int> ScannedValues(const std::string& folder) {
    testing::FakePlatform other = fake;
    RecordingView otherView(other);
    FrmMain reference(other, otherView);
    otherView.Attach(&reference);
    reference.Load();
    other.browseAnswer = folder;
    reference.ClickOpen();
    return Values(reference);
  }
  static std::vector<int> Values(const FrmMain& window) {
    std::vector<int> out;
    for (ControlId id :
         {ControlId::optAudOrig, ControlId::optAudMP3, ControlId::optSubOrig, ControlId::optSubSRT,
          ControlId::chkSubMux, ControlId::chkDelTemp, ControlId::chkShutDown, ControlId::chkMux}) {
      out.push_back(window.Control(id).value);
      out.push_back(window.Control(id).enabled ? 1 : 0);
    }
    out.push_back(window.Control(ControlId::cmbAudQual).enabled ? 1 : 0);
    return out;
  }
};

TEST_F(BatchTest, TheExampleConvertsMuxesAndEndsTheProgram) {
  KeepLog();
  Run("?D:\\Rips\\Film?1?192?1?1?1?0?1?");
  EXPECT_EQ(fake.calls.front(), "TimerOff(CMD)");
  EXPECT_EQ(frm.job().Files().Source(), "D:\\Rips\\Film\\");
  EXPECT_EQ(Value(ControlId::optAudMP3), 1);
  EXPECT_TRUE(Enabled(ControlId::cmbAudQual));
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).text, "192");
  EXPECT_EQ(Value(ControlId::optSubSRT), 1);
  EXPECT_EQ(Value(ControlId::chkSubMux), 1);
  EXPECT_EQ(Value(ControlId::chkDelTemp), 1);
  EXPECT_EQ(Value(ControlId::chkShutDown), 0);
  EXPECT_EQ(Value(ControlId::chkMux), 1);
  EXPECT_EQ(frm.StagesRun(),
            (std::vector<std::string>{"ConvertAudio", "MuxMovie", "Pause", "DeleteTempFiles"}));
  // No "Mux All" notice (the box was already checked), no "Done!".
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fake.Position("Restore"), -1);
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(view.closeCount, 1);
  EXPECT_EQ(frm.ExitCode(), frm.Report().Empty() ? kExitOk : kExitProblems);
}

TEST_F(BatchTest, ACleanBatchJobExitsWithZeroAfterTheMuxAllNotice) {
  KeepLog();
  Run("?D:\\Rips\\Film?0?128?0?0?0?0?0?");
  EXPECT_EQ(
      Messages(),
      (std::vector<std::string>{"ShowMessage(Quillon,none,closes after 60000 ms,Mux All 0)"}));
  EXPECT_LT(fake.Position("ShowMessage"), fake.Position("CreateFolder"));
  EXPECT_EQ(frm.StagesRun(), (std::vector<std::string>{"CopySubtitleResults", "Pause"}));
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(frm.ExitCode(), kExitOk);
}

TEST_F(BatchTest, AWindowClosedBeforeTheJobStartsEndsTheRunWithoutIt) {
  KeepLog();
  // Closed before the command timer ticks, and while the "Mux All 0" notice
  // waits for its OK.
  for (const bool duringNotice : {false, true}) {
    SCOPED_TRACE(duringNotice);
    testing::FakePlatform world = fake;
    RecordingView window(world);
    FrmMain batch(world, window);
    window.Attach(&batch);
    world.commandLineText = "?D:\\Rips\\Film?0?128?0?0?0?0?0?";
    world.onMessage = [&](const std::string&, const std::string&, MessageIcon) {
      EXPECT_TRUE(batch.QueryClose());
    };
    if (duringNotice)
      batch.TickCommandTimer();
    else
      EXPECT_TRUE(batch.QueryClose());
    EXPECT_TRUE(batch.StagesRun().empty());
    EXPECT_TRUE(world.Calls({"CreateFolder"}).empty());
    EXPECT_EQ(batch.ExitCode(), kExitCancelled);
  }
}

TEST_F(BatchTest, MissingResultsGiveExitCodeOneWithoutAMessage) {
  // No muxer is installed here: the job's AVI is missing.
  Run("?D:\\Rips\\Film?0?128?0?0?0?0?1?");
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(frm.ExitCode(), kExitProblems);
}

TEST_F(BatchTest, ShutDownIsStartedBeforeTheProgramEnds) {
  Run("?D:\\Rips\\Film?0?128?0?0?0?1?0?");
  EXPECT_EQ(Value(ControlId::chkShutDown), 1);
  EXPECT_EQ(fake.Calls({"RunCommand", "StartProgram"}),
            (std::vector<std::string>{"RunCommand(shutdown -s,2)"}));
  EXPECT_LT(fake.Position("RunCommand"), fake.Position("Close"));
  EXPECT_EQ(view.closeCount, 1);
  EXPECT_EQ(frm.ExitCode(), kExitOk);
}

// The computer stays on all night: the run must not say all went well.
TEST_F(BatchTest, AShutDownThatWindowsRefusesEndsWithExitCodeOne) {
  fake.onRunCommand = [](const std::string&, int) { return ProcessOutcome(true, true, 1190); };
  Run("?D:\\Rips\\Film?0?128?0?0?0?1?0?");
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(frm.ExitCode(), kExitProblems);
}

TEST_F(BatchTest, AShutDownThatCannotStartFailsTheBatchJob) {
  fake.onRunCommand = [](const std::string&, int) { return ProcessOutcome(false, false, 0); };
  Run("?D:\\Rips\\Film?0?128?0?0?0?1?0?");
  EXPECT_EQ(Messages().back(),
            "ShowMessage(Quillon,error,closes after 60000 ms,The job stopped while shutting down "
            "the computer:\r\nThe "
            "command \"shutdown -s\" could not be started.)");
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(view.closeCount, 1);
  EXPECT_EQ(frm.ExitCode(), kExitJobFailed);
}

TEST_F(BatchTest, AStoppedBatchJobSaysWhyAndEndsWithAnError) {
  KeepLog();
  fake.onPause = [] { throw JobError("disk full"); };
  Run("?D:\\Rips\\Film?0?128?0?0?1?0?1?");
  EXPECT_EQ(
      Messages(),
      (std::vector<std::string>{"ShowMessage(Quillon,error,closes after 60000 ms,The job stopped "
                                "while waiting before the clean-up:\r\ndisk "
                                "full" +
                                std::string(kLogPlace) + ")"}));
  EXPECT_LT(fake.Position("Restore"), fake.Position("ShowMessage"));
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(frm.StagesRun(), (std::vector<std::string>{"MuxMovie", "Pause"}));
  EXPECT_EQ(frm.ExitCode(), kExitJobFailed);
}

TEST_F(BatchTest, AnExistingMuxFolderFailsTheBatchJob) {
  KeepLog();
  fake.AddFolder("D:\\Rips\\Film\\mux");
  Run("?D:\\Rips\\Film?0?128?0?0?0?0?1?");
  EXPECT_TRUE(frm.StagesRun().empty());
  EXPECT_EQ(fake.Position("Minimise"), -1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("already exists:\r\nD:\\Rips\\Film\\mux\\"), std::string::npos);
  EXPECT_EQ(fake.calls.back(), "Close");
  EXPECT_EQ(frm.ExitCode(), kExitJobFailed);
}

TEST_F(BatchTest, ValuesOtherThanExactlyZeroOrOneLeaveTheControls) {
  for (const char* folder : {"D:\\Rips\\Film", "E:\\Ogg Film"}) {
    SCOPED_TRACE(folder);
    const std::vector<int> scanned = ScannedValues(folder);
    testing::FakePlatform world = fake;
    RecordingView batchView(world);
    FrmMain batch(world, batchView);
    batchView.Attach(&batch);
    batch.Load();
    world.commandLineText = std::string("?") + folder + "? 1?01?1 ?00?yes? 0?1 ? 1?";
    batch.TickCommandTimer();
    EXPECT_EQ(Values(batch), scanned);
    EXPECT_EQ(batch.Control(ControlId::cmbAudQual).text, "01");
    EXPECT_TRUE(world.Calls({"ShowMessage"}).empty());
  }
}

TEST_F(BatchTest, TheBitRateIsTakenVerbatimEvenWhenEmpty) {
  Run("?D:\\Rips\\Film?1??0?0?0?0?1?");
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).text, "");
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).items.size(), 8u);
}

TEST_F(BatchTest, SubtitleModeFirstThenMuxIntoAviHasTheLastWord) {
  Run("?D:\\Rips\\Film?0? 192 ?1?0?0?0?1?");
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).text, " 192 ");
  EXPECT_EQ(Value(ControlId::optSubSRT), 1);
  EXPECT_TRUE(Enabled(ControlId::chkSubMux));
  EXPECT_EQ(Value(ControlId::chkSubMux), 0);

  testing::FakePlatform world;
  world.AddFolder("D:\\Rips\\Film");
  RecordingView otherView(world);
  FrmMain other(world, otherView);
  otherView.Attach(&other);
  other.Load();
  world.commandLineText = "?D:\\Rips\\Film?0?128?0?1?0?0?1?";
  other.TickCommandTimer();
  EXPECT_EQ(other.Control(ControlId::optSubOrig).value, 1);
  EXPECT_FALSE(other.Control(ControlId::chkSubMux).enabled);
  EXPECT_EQ(other.Control(ControlId::chkSubMux).value, 1);
}

TEST_F(BatchTest, TheFolderFieldIsAPathAsWritten) {
  struct Row {
    const char* field;
    const char* sourceDir;
    bool exists;  // no folder has quotes or a leading blank in its path
  };
  const Row table[] = {
      {"D:\\My Films\\Film", "D:\\My Films\\Film\\", true},
      {"E:\\", "E:\\", true},
      {"\"D:\\Film\"", "\"D:\\Film\"\\", false},
      {" D:\\Film", " D:\\Film\\", false},
      {"", "\\", true},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.field);
    testing::FakePlatform world;
    if (row.exists) world.AddFolder(row.sourceDir);
    RecordingView worldView(world);
    FrmMain window(world, worldView);
    worldView.Attach(&window);
    window.Load();
    world.commandLineText = std::string("?") + row.field + "?0?128?0?0?0?0?1?";
    window.TickCommandTimer();
    EXPECT_EQ(window.job().Files().Source(), row.sourceDir);
    EXPECT_EQ(window.job().Files().Mux(), std::string(row.sourceDir) + "mux\\");
    EXPECT_EQ(world.Calls({"CreateFolder"}),
              row.exists
                  ? std::vector<std::string>{"CreateFolder(" + window.job().Files().Mux() + ")"}
                  : std::vector<std::string>{});
    EXPECT_EQ(worldView.closeCount, 1);
  }
}

TEST_F(BatchTest, TextBeforeTheFirstAndAfterTheNinthMarkIsIgnored) {
  KeepLog();
  Run("C:\\stray arg ?D:\\Rips\\Film?1?96?0?0?0?0?1?1?1?1?1?");
  EXPECT_EQ(frm.job().Files().Source(), "D:\\Rips\\Film\\");
  EXPECT_EQ(Value(ControlId::optAudMP3), 1);
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).text, "96");
  EXPECT_EQ(Value(ControlId::optSubOrig), 1);
  EXPECT_EQ(Value(ControlId::chkDelTemp), 0);
  EXPECT_EQ(Value(ControlId::chkShutDown), 0);
  EXPECT_TRUE(fake.Calls({"StartProgram"}).empty());
  EXPECT_EQ(frm.StagesRun(), (std::vector<std::string>{"ConvertAudio", "MuxMovie", "Pause"}));
}

TEST_F(BatchTest, FewerThanNineMarksAreRefusedBeforeAnythingIsApplied) {
  for (const char* commandLine : {"?D:\\Rips\\Film?1?192?1?1?1?0?0", "?D:\\Rips\\Film?"}) {
    SCOPED_TRACE(commandLine);
    testing::FakePlatform world = fake;
    world.calls.clear();
    RecordingView worldView(world);
    FrmMain window(world, worldView);
    worldView.Attach(&window);
    window.Load();
    const std::vector<int> before = Values(window);
    world.calls.clear();
    world.commandLineText = commandLine;
    window.TickCommandTimer();
    EXPECT_EQ(world.calls,
              (std::vector<std::string>{"TimerOff(CMD)",
                                        "ShowMessage(Quillon,error,closes after 60000 ms," +
                                            CommandLineRefusal(commandLine) + ")",
                                        "Close"}));
    EXPECT_EQ(Values(window), before);
    EXPECT_EQ(window.job().Files().Source(), "");
    EXPECT_EQ(window.Control(ControlId::cmbAudQual).text, "128");
    EXPECT_EQ(window.ExitCode(), kExitBadCommandLine);
  }
}

TEST_F(BatchTest, ADroppedFolderOpensInteractively) {
  for (const char* commandLine : {"\"D:\\Rips\\Film\"", "  D:\\Rips\\Film\\  "}) {
    SCOPED_TRACE(commandLine);
    testing::FakePlatform world = fake;
    RecordingView worldView(world);
    FrmMain window(world, worldView);
    worldView.Attach(&window);
    window.Load();
    world.commandLineText = commandLine;
    window.TickCommandTimer();
    EXPECT_EQ(window.job().Files().Source(), "D:\\Rips\\Film\\");
    EXPECT_TRUE(window.Control(ControlId::cmdStart).enabled);
    EXPECT_TRUE(world.Calls({"CreateFolder"}).empty());
    EXPECT_TRUE(world.Calls({"ShowMessage"}).empty());
    EXPECT_EQ(worldView.closeCount, 0);

    // A job started from there ends as any interactive job does.
    window.SelectOption(ControlId::optSubOrig);
    window.SetCheck(ControlId::chkMux, 0);
    world.calls.clear();
    window.ClickStart();
    EXPECT_EQ(world.Calls({"ShowMessage"}),
              (std::vector<std::string>{"ShowMessage(Quillon,information,Done!)"}));
    EXPECT_EQ(worldView.closeCount, 0);
    EXPECT_EQ(window.ExitCode(), kExitOk);
  }
}

TEST_F(BatchTest, ANameWithoutMarksThatIsNoFolderIsRefused) {
  Run("D:\\Nowhere");
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"TimerOff(CMD)",
                                      "ShowMessage(Quillon,error,closes after 60000 ms," +
                                          CommandLineRefusal("D:\\Nowhere") + ")",
                                      "Close"}));
  EXPECT_EQ(frm.job().Files().Source(), "");
  EXPECT_EQ(frm.ExitCode(), kExitBadCommandLine);
}

}  // namespace
}  // namespace quillon

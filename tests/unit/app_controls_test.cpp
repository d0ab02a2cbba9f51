#include "app_fixture.h"

namespace quillon {
namespace {

class ControlsTest : public AppTest {
 protected:
  void SetUp() override {
    frm.Load();
    fake.calls.clear();
  }
};

TEST_F(ControlsTest, AudioOptionsSwitchTheBitRateBoxAndKeepItsText) {
  frm.SelectOption(ControlId::optAudMP3);
  EXPECT_EQ(Value(ControlId::optAudMP3), 1);
  EXPECT_EQ(Value(ControlId::optAudOrig), 0);
  EXPECT_TRUE(Enabled(ControlId::lblAudQual));
  EXPECT_TRUE(Enabled(ControlId::cmbAudQual));
  frm.SetQualityText("192");

  frm.SelectOption(ControlId::optAudOrig);
  EXPECT_EQ(Value(ControlId::optAudMP3), 0);
  EXPECT_EQ(Value(ControlId::optAudOrig), 1);
  EXPECT_FALSE(Enabled(ControlId::lblAudQual));
  EXPECT_FALSE(Enabled(ControlId::cmbAudQual));
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).text, "192");
  // The subtitle group is not touched.
  EXPECT_EQ(Value(ControlId::optSubOrig), 1);
  EXPECT_FALSE(Enabled(ControlId::chkSubMux));
}

TEST_F(ControlsTest, SubtitleOptionsCheckOrClearMuxIntoAvi) {
  frm.SelectOption(ControlId::optSubSRT);
  EXPECT_EQ(Value(ControlId::optSubSRT), 1);
  EXPECT_EQ(Value(ControlId::optSubOrig), 0);
  EXPECT_TRUE(Enabled(ControlId::chkSubMux));
  EXPECT_EQ(Value(ControlId::chkSubMux), 1);

  frm.SelectOption(ControlId::optSubOrig);
  EXPECT_EQ(Value(ControlId::optSubSRT), 0);
  EXPECT_EQ(Value(ControlId::optSubOrig), 1);
  EXPECT_FALSE(Enabled(ControlId::chkSubMux));
  EXPECT_EQ(Value(ControlId::chkSubMux), 0);
  // The audio group is not touched.
  EXPECT_EQ(Value(ControlId::optAudOrig), 1);
  EXPECT_FALSE(Enabled(ControlId::cmbAudQual));
}

TEST_F(ControlsTest, ClickingTheSelectedOptionKeepsMuxIntoAviButAScanResetsIt) {
  frm.SelectOption(ControlId::optSubSRT);
  frm.SetCheck(ControlId::chkSubMux, 0);
  frm.SelectOption(ControlId::optSubSRT);
  EXPECT_EQ(Value(ControlId::chkSubMux), 0);
  fake.AddFolder("D:\\Film");
  fake.browseAnswer = "D:\\Film";
  frm.ClickOpen();
  EXPECT_EQ(Value(ControlId::chkSubMux), 1);
}

// The batch mode selects the subtitle mode and then sets "Mux into AVI"; the
// folder scan has selected "Convert to SRT" before both.
TEST_F(ControlsTest, MuxIntoAviHasTheLastWordAfterTheSubtitleMode) {
  struct Row {
    ControlId mode;  // fraSub: the field is neither "0" nor "1"
    int subMux;      // -1: the field is neither "0" nor "1"
    int srt, subMuxValue;
    bool subMuxEnabled;
  };
  const Row table[] = {
      {ControlId::optSubSRT, 0, 1, 0, true},   {ControlId::optSubSRT, 1, 1, 1, true},
      {ControlId::optSubOrig, 1, 0, 1, false}, {ControlId::optSubOrig, 0, 0, 0, false},
      {ControlId::fraSub, 0, 1, 0, true},      {ControlId::optSubOrig, -1, 0, 0, false},
      {ControlId::fraSub, -1, 1, 1, true},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(std::string(ControlName(row.mode)) + " " + std::to_string(row.subMux));
    frm.SelectOption(ControlId::optSubSRT);  // as the scan leaves it
    if (row.mode != ControlId::fraSub) frm.SelectOption(row.mode);
    if (row.subMux >= 0) frm.SetCheck(ControlId::chkSubMux, row.subMux);
    EXPECT_EQ(Value(ControlId::optSubSRT), row.srt);
    EXPECT_EQ(Value(ControlId::optSubOrig), 1 - row.srt);
    EXPECT_EQ(Value(ControlId::chkSubMux), row.subMuxValue);
    EXPECT_EQ(Enabled(ControlId::chkSubMux), row.subMuxEnabled);
  }
}

TEST_F(ControlsTest, AudioModeAfterTheScanInEitherOrder) {
  for (ControlId scanned : {ControlId::optAudOrig, ControlId::optAudMP3})
    for (ControlId field : {ControlId::optAudOrig, ControlId::optAudMP3}) {
      frm.SelectOption(scanned);
      frm.SelectOption(field);
      const bool mp3 = field == ControlId::optAudMP3;
      EXPECT_EQ(Value(ControlId::optAudMP3), mp3 ? 1 : 0);
      EXPECT_EQ(Value(ControlId::optAudOrig), mp3 ? 0 : 1);
      EXPECT_EQ(Enabled(ControlId::cmbAudQual), mp3);
      EXPECT_EQ(Enabled(ControlId::lblAudQual), mp3);
    }
}

TEST_F(ControlsTest, MuxAllNoticeOnlyWhenTheValueChanges) {
  int valueSeenByTheNotice = -1;
  fake.onMessage = [&](const std::string&, const std::string&, MessageIcon) {
    valueSeenByTheNotice = Value(ControlId::chkMux);
  };
  frm.SetCheck(ControlId::chkMux, 1);  // already checked
  EXPECT_TRUE(Messages().empty());

  frm.SetCheck(ControlId::chkMux, 0);
  EXPECT_EQ(valueSeenByTheNotice, 0);
  frm.SetCheck(ControlId::chkMux, 0);
  frm.SetCheck(ControlId::chkMux, 1);
  EXPECT_EQ(valueSeenByTheNotice, 1);
  EXPECT_EQ(fake.Calls({"ShowMessage", "Changed"}),
            (std::vector<std::string>{
                "Changed(chkMux:1:0:&Mux all)", "ShowMessage(Quillon,none,Mux All 0)",
                "Changed(chkMux:1:1:&Mux all)", "ShowMessage(Quillon,none,Mux All 1)"}));
}

TEST_F(ControlsTest, OtherCheckBoxesChangeSilently) {
  frm.SetCheck(ControlId::chkDelTemp, 0);
  frm.SetCheck(ControlId::chkShutDown, 1);
  frm.SetCheck(ControlId::chkSubMux, 1);
  EXPECT_EQ(Value(ControlId::chkDelTemp), 0);
  EXPECT_EQ(Value(ControlId::chkShutDown), 1);
  EXPECT_EQ(Value(ControlId::chkSubMux), 1);
  EXPECT_TRUE(Messages().empty());
  // Not a check box: nothing happens.
  frm.SetCheck(ControlId::cmdStart, 1);
  EXPECT_EQ(Value(ControlId::cmdStart), 0);
}

TEST_F(ControlsTest, QualityTextIsTakenVerbatim) {
  for (const char* text : {"", " 192 ", "abc", "64"}) {
    frm.SetQualityText(text);
    EXPECT_EQ(frm.Control(ControlId::cmbAudQual).text, text);
  }
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).items.size(), 8u);
  EXPECT_FALSE(Enabled(ControlId::cmbAudQual));
}

TEST_F(ControlsTest, BusyAndIdleChangeTheWindowInOrder) {
  frm.EnterBusyState();
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"Changed(cmdStart:0:0:Working...)",
                                                  "Changed(cmdOpen:0:0:Select folder...)",
                                                  "Changed(cmdAbout:0:0:about...)", "Minimise",
                                                  "TimerOn(Working)", "BusyProgress(on)"}));
  fake.calls.clear();
  frm.TickWorkingTimer();
  frm.EnterIdleState();
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"Caption(Working)", "Changed(cmdStart:0:0:Start)",
                                      "Changed(cmdOpen:1:0:Select folder...)",
                                      "Changed(cmdAbout:1:0:about...)", "TimerOff(Working)",
                                      "Caption(Quillon v1.0)", "Restore", "BusyProgress(off)"}));
  // Controls that the job's appearance leaves alone stay usable.
  EXPECT_TRUE(Enabled(ControlId::cmdWFK));
  EXPECT_TRUE(Enabled(ControlId::chkMux));
}

TEST_F(ControlsTest, BusyDisablesAnEnabledStartAndIdleLeavesItDisabled) {
  fake.AddFolder("D:\\Film");
  fake.browseAnswer = "D:\\Film";
  frm.ClickOpen();
  ASSERT_TRUE(Enabled(ControlId::cmdStart));
  fake.calls.clear();
  frm.EnterBusyState();
  EXPECT_EQ(fake.Calls({"Changed(cmdStart"}),
            (std::vector<std::string>{"Changed(cmdStart:0:0:Start)",
                                      "Changed(cmdStart:0:0:Working...)"}));
  frm.EnterIdleState();
  EXPECT_FALSE(Enabled(ControlId::cmdStart));
  EXPECT_EQ(frm.Control(ControlId::cmdStart).caption, "Start");
}

TEST_F(ControlsTest, CaptionCyclesWhileBusyAndRestsAtIdle) {
  frm.EnterBusyState();
  std::vector<std::string> seen;
  for (int i = 0; i < 9; ++i) {
    frm.TickWorkingTimer();
    seen.push_back(frm.Caption());
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Working", "Working.", "Working..", "Working...", "Working",
                                      "Working.", "Working..", "Working...", "Working"}));
  frm.EnterIdleState();
  EXPECT_EQ(frm.Caption(), "Quillon v1.0");
  EXPECT_LT(fake.Position("TimerOff(Working)"), fake.Position("Caption(Quillon v1.0)"));
}

TEST_F(ControlsTest, CommandTimerWithoutCommandLineOnlyStopsItself) {
  for (const char* line : {"", "   "}) {
    fake.calls.clear();
    fake.commandLineText = line;
    frm.TickCommandTimer();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"TimerOff(CMD)"}));
    EXPECT_EQ(frm.job().Files().Source(), "");
    EXPECT_EQ(view.closeCount, 0);
  }
}

TEST_F(ControlsTest, FolderButton) {
  fake.AddFolder("D:\\Rips\\Film");
  fake.browseAnswer = "D:\\Rips\\Film";
  frm.ClickOpen();
  EXPECT_EQ(fake.calls.front(), "BrowseForFolder(Select source movie folder)");
  EXPECT_EQ(frm.job().Files().Source(), "D:\\Rips\\Film\\");
  EXPECT_TRUE(Enabled(ControlId::cmdStart));

  fake.browseAnswer = "E:\\";
  frm.ClickOpen();
  EXPECT_EQ(frm.job().Files().Source(), "E:\\");

  fake.browseAnswer = "";
  frm.ClickOpen();
  EXPECT_EQ(frm.job().Files().Source(), "E:\\");
  EXPECT_TRUE(Enabled(ControlId::cmdStart));
  EXPECT_EQ(fake.Calls({"BrowseForFolder"}).size(), 3u);
}

TEST_F(ControlsTest, CancelledFolderPickerLeavesStartDisabled) {
  fake.browseAnswer = "";
  frm.ClickOpen();
  EXPECT_EQ(frm.job().Files().Source(), "");
  EXPECT_FALSE(Enabled(ControlId::cmdStart));
}

TEST_F(ControlsTest, ClosingWithoutAJobIsAllowed) {
  EXPECT_TRUE(frm.QueryClose());
}

}  // namespace
}  // namespace quillon

#include <optional>

#include "app_fixture.h"

namespace quillon {
namespace {

using StartupTest = AppTest;

TEST_F(StartupTest, WindowOpensWithTheDesignStates) {
  struct Expected {
    ControlId id;
    const char* caption;
    bool enabled;
    int value;
  };
  const Expected table[] = {
      {ControlId::cmdOpen, "Select folder...", true, 0},
      {ControlId::cmdAbout, "about...", true, 0},
      {ControlId::cmdWFK, "WaitFor&Key", true, 0},
      {ControlId::fraAud, "Audio", true, 0},
      {ControlId::optAudOrig, "Original", true, 1},
      {ControlId::optAudMP3, "Convert to MP3", true, 0},
      {ControlId::lblAudQual, "Quality:", false, 0},
      {ControlId::cmbAudQual, "", false, 0},
      {ControlId::fraSub, "Subtitles", true, 0},
      {ControlId::optSubOrig, "Original", true, 1},
      {ControlId::optSubSRT, "Convert to SRT", true, 0},
      {ControlId::chkSubMux, "Mux into AVI", false, 0},
      {ControlId::fraOpt, "Options", true, 0},
      {ControlId::chkDelTemp, "Delete temporary files", true, 1},
      {ControlId::chkShutDown, "Shut down computer", true, 0},
      {ControlId::chkMux, "&Mux all", true, 1},
      {ControlId::cmdStart, "Start", false, 0},
  };
  frm.Load();
  for (const auto& row : table) {
    SCOPED_TRACE(ControlName(row.id));
    EXPECT_EQ(frm.Control(row.id).caption, row.caption);
    EXPECT_EQ(frm.Control(row.id).enabled, row.enabled);
    EXPECT_EQ(frm.Control(row.id).value, row.value);
  }
  EXPECT_EQ(frm.Caption(), "Quillon v1.0");
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_EQ(frm.ExitCode(), 0);
}

TEST_F(StartupTest, DerivesTheToolsFolderAndToolPaths) {
  fake.exeFolder = "C:\\Program Files\\Quillon";
  frm.Load();
  EXPECT_EQ(frm.LineBreak, "\r\n");
  EXPECT_EQ(frm.job().ToolsDir, "C:\\Program Files\\Quillon\\tools\\");
  EXPECT_EQ(frm.job().AviMuxPath,
            "C:\\Program Files\\Quillon\\tools\\AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe");
  EXPECT_EQ(frm.job().BeSweetPath,
            "C:\\Program Files\\Quillon\\tools\\BeSweetv1.5b31\\BeSweet.exe");
  EXPECT_EQ(frm.job().SubEditPath,
            "C:\\Program Files\\Quillon\\tools\\DVDSubEdit1.34\\DVDSubEdit.exe");
  EXPECT_EQ(frm.job().SubToSupPath, "C:\\Program Files\\Quillon\\tools\\SubToSup\\SubToSup.exe");
  EXPECT_EQ(frm.job().UnRarPath, "C:\\Program Files\\Quillon\\tools\\UnRAR.exe");
}

TEST_F(StartupTest, ProgramInADriveRootGetsNoSecondBackslash) {
  fake.exeFolder = "D:\\";
  frm.Load();
  EXPECT_EQ(frm.job().ToolsDir, "D:\\tools\\");
  EXPECT_EQ(frm.job().UnRarPath, "D:\\tools\\UnRAR.exe");
}

TEST_F(StartupTest, FirstRunOpensTheSetUpBatchBeforeTheTimerStarts) {
  fake.exeFolder = "C:\\App";
  frm.Load();
  EXPECT_EQ(
      Only({"ShellOpen", "Changed(cmbAudQual", "TimerOn", "TimerOff"}),
      (std::vector<std::string>{"Changed(cmbAudQual:0:0:)",
                                "ShellOpen(OPEN,xt.bat,0,C:\\App\\tools\\,1)", "TimerOn(CMD)"}));
  EXPECT_EQ(fake.calls.back(), "TimerOn(CMD)");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(StartupTest, MarkerFileSkipsTheSetUpBatch) {
  fake.AddFile("C:\\App\\tools\\XT.TXT");
  frm.Load();
  EXPECT_TRUE(fake.CallsStartingWith("ShellOpen").empty());
  EXPECT_EQ(fake.calls.back(), "TimerOn(CMD)");
}

TEST_F(StartupTest, FillsTheBitRateListAndKeepsItDisabled) {
  frm.Load();
  const ControlState& box = frm.Control(ControlId::cmbAudQual);
  EXPECT_EQ(box.items,
            (std::vector<std::string>{"320", "256", "192", "128", "112", "96", "80", "64"}));
  EXPECT_EQ(box.text, "128");
  EXPECT_FALSE(box.enabled);
  EXPECT_FALSE(Enabled(ControlId::lblAudQual));
}

TEST_F(StartupTest, FileListsGetTheirPatternsAndSubtitleListShowsTheWorkingFolder) {
  fake.workingFolder = "E:\\Start";
  fake.AddFile("E:\\Start\\b.sup");
  fake.AddFile("E:\\Start\\A.SUP");
  fake.AddFile("E:\\Start\\a.wav");
  frm.Load();
  EXPECT_EQ(frm.job().fileAud.Pattern(), "*.wav;*.ac3;*.mp3;*.ogg");
  EXPECT_EQ(frm.job().fileSub.Pattern(), "*.sup");
  EXPECT_EQ(frm.job().fileSub.Folder(), "E:\\Start");
  ASSERT_EQ(frm.job().fileSub.ListCount(), 2);
  EXPECT_EQ(frm.job().fileSub.List(0), "A.SUP");
  EXPECT_EQ(frm.job().fileSub.List(1), "b.sup");
  EXPECT_EQ(frm.job().fileAud.ListCount(), 0);
}

TEST(StartupPause, ReadsTheStoredKeystrokePause) {
  struct Row {
    std::optional<std::string> stored;
    std::int32_t expected;
  };
  const Row table[] = {
      {std::nullopt, 1}, {"", 1},
      {"3", 3},          {"0", 0},
      {"-7", -7},        {"2.5", 2},
      {"abc", 1},        {"1e3", 1},
      {"2147483648", 1}, {"-2147483648", -2147483647 - 1},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.stored.value_or("<missing>"));
    testing::FakePlatform fake;
    RecordingView view(fake);
    FrmMain frm(fake, view);
    view.Attach(&frm);
    if (row.stored) fake.settings["Quillon\\Options\\WaitForKey"] = *row.stored;
    frm.Load();
    EXPECT_EQ(frm.job().PauseSeconds, row.expected);
    EXPECT_TRUE(fake.CallsStartingWith("WriteSetting").empty());
    EXPECT_TRUE(fake.CallsStartingWith("ShowMessage").empty());
  }
}

}  // namespace
}  // namespace quillon

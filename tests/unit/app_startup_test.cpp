#include <optional>

#include "app_fixture.h"

namespace quillon {
namespace {

using StartupTest = AppTest;

// What the user sees first: nothing to start before a folder is chosen, both
// groups keeping the original, and the computer left running afterwards.
TEST_F(StartupTest, WindowOpensAtRestWithTheOriginalsKept) {
  frm.Load();
  EXPECT_EQ(frm.Caption(), "Quillon v1.0");
  EXPECT_TRUE(Enabled(ControlId::cmdOpen));
  EXPECT_FALSE(Enabled(ControlId::cmdStart));
  EXPECT_EQ(Value(ControlId::optAudOrig), 1);
  EXPECT_EQ(Value(ControlId::optSubOrig), 1);
  EXPECT_EQ(Value(ControlId::chkShutDown), 0);
  EXPECT_EQ(Value(ControlId::chkDelTemp), 1);
  EXPECT_EQ(Value(ControlId::chkMux), 1);
  EXPECT_FALSE(frm.JobRunning());
  EXPECT_EQ(frm.ExitCode(), 0);
}

// The controls that follow an option group open as that group's selection
// leaves them: choosing the other option and back changes nothing.
TEST_F(StartupTest, ControlsOpenAsTheSelectedOptionsLeaveThem) {
  frm.Load();
  std::vector<ControlState> atStart;
  for (const ControlDesign& d : ControlTable()) atStart.push_back(frm.Control(d.id));
  for (ControlId option :
       {ControlId::optAudMP3, ControlId::optAudOrig, ControlId::optSubSRT, ControlId::optSubOrig})
    frm.SelectOption(option);
  for (size_t i = 0; i < atStart.size(); ++i) {
    const ControlId id = ControlTable()[i].id;
    SCOPED_TRACE(ControlName(id));
    EXPECT_EQ(Enabled(id), atStart[i].enabled);
    EXPECT_EQ(Value(id), atStart[i].value);
  }
}

TEST_F(StartupTest, DerivesTheToolsFolderAndToolPaths) {
  fake.exeFolder = "C:\\Program Files\\Quillon";
  frm.Load();
  EXPECT_EQ(frm.job().Files().ToolsFolder(), "C:\\Program Files\\Quillon\\tools\\");
  EXPECT_EQ(frm.job().Files().AviMux(),
            "C:\\Program Files\\Quillon\\tools\\AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe");
  EXPECT_EQ(frm.job().Files().BeSweet(),
            "C:\\Program Files\\Quillon\\tools\\BeSweetv1.5b31\\BeSweet.exe");
  EXPECT_EQ(frm.job().Files().SubEdit(),
            "C:\\Program Files\\Quillon\\tools\\DVDSubEdit1.34\\DVDSubEdit.exe");
  EXPECT_EQ(frm.job().Files().SubToSup(),
            "C:\\Program Files\\Quillon\\tools\\SubToSup\\SubToSup.exe");
  EXPECT_EQ(frm.job().Files().UnRar(), "C:\\Program Files\\Quillon\\tools\\UnRAR.exe");
}

TEST_F(StartupTest, ProgramInADriveRootGetsNoSecondBackslash) {
  fake.exeFolder = "D:\\";
  frm.Load();
  EXPECT_EQ(frm.job().Files().ToolsFolder(), "D:\\tools\\");
  EXPECT_EQ(frm.job().Files().UnRar(), "D:\\tools\\UnRAR.exe");
}

TEST_F(StartupTest, FirstRunOpensTheSetUpBatchBeforeTheTimerStarts) {
  fake.exeFolder = "C:\\App";
  frm.Load();
  EXPECT_EQ(
      fake.Calls({"ShellOpen", "Changed(cmbAudQual", "TimerOn", "TimerOff"}),
      (std::vector<std::string>{"Changed(cmbAudQual:0:0:)",
                                "ShellOpen(OPEN,xt.bat,0,C:\\App\\tools\\,1)", "TimerOn(CMD)"}));
  EXPECT_EQ(fake.calls.back(), "TimerOn(CMD)");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(StartupTest, MarkerFileSkipsTheSetUpBatch) {
  fake.AddFile("C:\\App\\tools\\XT.TXT");
  frm.Load();
  EXPECT_TRUE(fake.Calls({"ShellOpen"}).empty());
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
    EXPECT_EQ(frm.job().KeyPause(), row.expected);
    EXPECT_TRUE(fake.Calls({"WriteSetting"}).empty());
    EXPECT_TRUE(fake.Calls({"ShowMessage"}).empty());
  }
}

TEST_F(StartupTest, FileListsGetTheirPatternsAndSubtitleListShowsTheWorkingFolder) {
  fake.workingFolder = "E:\\Start";
  fake.AddFile("E:\\Start\\b.sup");
  fake.AddFile("E:\\Start\\A.SUP");
  fake.AddFile("E:\\Start\\a.wav");
  frm.Load();
  EXPECT_EQ(frm.job().AudioTracks().Pattern(), "*.wav;*.ac3;*.mp3;*.ogg");
  EXPECT_EQ(frm.job().SubtitleFiles().Folder(), "E:\\Start");
  EXPECT_EQ(frm.job().SubtitleFiles().Entries(), (std::vector<std::string>{"A.SUP", "b.sup"}));
  EXPECT_TRUE(frm.job().AudioTracks().Entries().empty());
}

}  // namespace
}  // namespace quillon

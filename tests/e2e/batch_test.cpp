// The command-line batch mode of the running Quillon.exe: the fields set the
// real controls, the job runs by itself and the program ends without "Done!".

#include <vector>

#include "quillon_test.h"

namespace quillon::e2e {
namespace {

using enum ControlId;

class BatchModeTest : public QuillonTest {};

TEST_F(BatchModeTest, AllEightFieldsSetTheControlsThenTheJobRunsAndTheProgramEnds) {
  std::wstring source = folder_.MakeFolder(L"Film");
  source.pop_back();  // the program adds the backslash itself
  // Convert to 192 kbit/s MP3, SRT but not muxed in, keep temporary files, no
  // shut-down, and "&Mux all" off: its notice holds the run while we look.
  const WindowProbe window = Start(L"?" + source + L"?1?192?1?0?0?0?0?");

  const auto notice = WaitForMessageBox(Process());
  ASSERT_TRUE(notice.has_value()) << "field 8 \"0\" changes \"&Mux all\": its notice must show";
  EXPECT_TRUE(SameBoxText(notice->text, L"Mux All 0")) << ToUtf8(notice->text);
  EXPECT_EQ(notice->icon, BoxIcon::None);

  // Fields 1 to 7 are in the controls by now.
  EXPECT_EQ(window.ItemCheck(Id(optAudMP3)), 1);
  EXPECT_EQ(window.ItemCheck(Id(optAudOrig)), 0);
  EXPECT_EQ(window.ItemText(Id(cmbAudQual)), L"192");
  EXPECT_TRUE(window.ItemEnabled(Id(cmbAudQual)));
  EXPECT_EQ(window.ItemCheck(Id(optSubSRT)), 1);
  EXPECT_TRUE(window.ItemEnabled(Id(chkSubMux)));
  EXPECT_EQ(window.ItemCheck(Id(chkSubMux)), 0) << "field 5 has the last word";
  EXPECT_EQ(window.ItemCheck(Id(chkDelTemp)), 0);
  EXPECT_EQ(window.ItemCheck(Id(chkShutDown)), 0);
  EXPECT_EQ(window.ItemCheck(Id(chkMux)), 0);
  EXPECT_TRUE(window.ItemEnabled(Id(cmdStart))) << "the folder scan enables Start";
  ASSERT_TRUE(PressDialogButton(notice->window));

  std::vector<MessageBoxSeen> boxes;
  const auto code = RunToExit(Process(), kJobLimit, boxes);
  ASSERT_TRUE(code.has_value()) << "the batch job did not end the program";
  EXPECT_EQ(*code, 0u);
  for (const auto& box : boxes) ADD_FAILURE() << "a batch job showed: " << ToUtf8(box.text);
  // The job made its mux folder and, with nothing to convert, left it empty.
  EXPECT_EQ(folder_.List(L"Film"), std::vector<std::wstring>{L"mux"});
  EXPECT_TRUE(folder_.List(L"Film\\mux").empty());
}

TEST_F(BatchModeTest, MuxAllLeftCheckedShowsNoNoticeAndNoDone) {
  std::wstring source = folder_.MakeFolder(L"Film");
  // No tools beside the program: the muxer cannot start, which a batch job
  // reports through its exit code only.
  Start(L"?" + source + L"?0?128?0?0?0?0?1?");
  std::vector<MessageBoxSeen> boxes;
  const auto code = RunToExit(Process(), kJobLimit, boxes);
  ASSERT_TRUE(code.has_value()) << "the batch job did not end the program";
  for (const auto& box : boxes) ADD_FAILURE() << "a batch job showed: " << ToUtf8(box.text);
  EXPECT_EQ(*code, 1u) << "a batch job whose tool could not start ends with problems";
  EXPECT_TRUE(folder_.FolderExists(L"Film\\mux"));
}

TEST_F(BatchModeTest, MuxesWithTheToolsBesideTheProgramAndEndsWithCodeZero) {
  std::wstring source = folder_.MakeFolder(L"Film");
  folder_.WriteFile(L"Film\\movie.avi", "video");
  folder_.WriteFile(L"Film\\1eng.ac3", "audio");
  // Original audio, no subtitles, no clean-up, mux: the stand-in muxer runs.
  Start(L"?" + source + L"?0?128?0?0?0?0?1?", /*withTools=*/true);
  std::vector<MessageBoxSeen> boxes;
  const auto code = RunToExit(Process(), kJobLimit, boxes);
  ASSERT_TRUE(code.has_value()) << "the batch job did not end the program";
  for (const auto& box : boxes) ADD_FAILURE() << "a batch job showed: " << ToUtf8(box.text);
  EXPECT_EQ(*code, 0u);
  EXPECT_TRUE(folder_.FileExists(L"Film\\mux\\movie.avi")) << "the muxer made no movie";
  EXPECT_TRUE(folder_.FileExists(L"Film\\mux\\movie.amg")) << "no mux script";
  const auto log = folder_.ReadFile(L"standins.log");
  ASSERT_TRUE(log.has_value()) << "no tool was started";
  EXPECT_NE(log->find("AVIMux_GUI\tstart"), std::string::npos) << *log;
}

TEST_F(BatchModeTest, FewerThanNineQuestionMarksAreRefusedBeforeAnythingIsApplied) {
  std::wstring source = folder_.MakeFolder(L"Film");
  const WindowProbe window = Start(L"?" + source + L"?1?192?1?");
  const auto box = WaitForMessageBox(Process());
  ASSERT_TRUE(box.has_value()) << "the short command line was not refused";
  EXPECT_EQ(box->icon, BoxIcon::Error);
  EXPECT_NE(box->text.find(L"?"), std::wstring::npos) << "the refusal shows the expected form";
  // Nothing was applied.
  EXPECT_EQ(window.ItemCheck(Id(optAudMP3)), 0);
  EXPECT_EQ(window.ItemText(Id(cmbAudQual)), L"128");
  ASSERT_TRUE(PressDialogButton(box->window));
  const auto code = Process().WaitForExit(kExitLimit);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 2u);
  EXPECT_FALSE(folder_.FolderExists(L"Film\\mux"));
}

}  // namespace
}  // namespace quillon::e2e

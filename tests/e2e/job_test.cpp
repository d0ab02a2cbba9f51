// An interactive job in the running Quillon.exe: Start pressed, the busy
// window, "Done!", and the cases in which no job starts or a job is stopped.

#include <set>
#include <string>
#include <vector>

#include "quillon_test.h"

namespace quillon::e2e {
namespace {

using enum ControlId;

class InteractiveJobTest : public QuillonTest {
 protected:
  // Takes "&Mux all" and "Delete temporary files" off, so that a job on an
  // empty folder needs no tools and leaves its mux folder behind.
  void JobWithoutToolsOrCleanUp(const WindowProbe& window) {
    window.Click(Id(chkMux));
    ExpectMessageBox(L"Mux All 0", BoxIcon::None);
    window.Click(Id(chkDelTemp));
    ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.ItemCheck(Id(chkDelTemp)) == 0; }));
  }
};

TEST_F(InteractiveJobTest, StartRunsTheJobBusyAndEndsIdleWithDone) {
  const WindowProbe window = OpenFolder(folder_.MakeFolder(L"Film"));
  JobWithoutToolsOrCleanUp(window);

  window.Click(Id(cmdStart));
  // Watch the window until "Done!" shows: minimised, with a moving caption.
  std::set<std::wstring> captions;
  bool minimised = false;
  std::optional<MessageBoxSeen> done;
  WaitUntil(kJobLimit, [&] {
    wchar_t text[64] = {};
    ::GetWindowTextW(window.Handle(), text, 64);  // the title: no message needed
    captions.insert(text);
    minimised = minimised || window.Iconic();
    done = WaitForMessageBox(Process(), 0ms);
    return done.has_value();
  });
  ASSERT_TRUE(done.has_value()) << "the job ended without a message";
  EXPECT_TRUE(SameBoxText(done->text, L"Done!")) << ToUtf8(done->text);
  EXPECT_EQ(done->icon, BoxIcon::Information);
  EXPECT_TRUE(minimised) << "the window was not minimised during the job";
  EXPECT_TRUE(captions.count(L"Working")) << "the caption did not animate";

  // Idle again while "Done!" is up.
  EXPECT_EQ(window.Text(), L"Quillon v1.0");
  EXPECT_FALSE(window.Iconic());
  EXPECT_FALSE(window.ItemEnabled(Id(cmdStart)));
  EXPECT_EQ(window.ItemText(Id(cmdStart)), L"Start");
  EXPECT_TRUE(window.ItemEnabled(Id(cmdOpen)));
  EXPECT_TRUE(window.ItemEnabled(Id(cmdAbout)));
  ASSERT_TRUE(PressDialogButton(done->window));

  // The caption rests: no later tick changes it.
  std::this_thread::sleep_for(1200ms);
  EXPECT_EQ(window.Text(), L"Quillon v1.0");
  EXPECT_TRUE(folder_.FolderExists(L"Film\\mux"));
  EXPECT_TRUE(folder_.List(L"Film\\mux").empty());
  CloseAndExpectExitCode(window, 0);
}

TEST_F(InteractiveJobTest, StartOnAFolderWithAMuxFolderStartsNothingAndSaysWhy) {
  const std::wstring source = folder_.MakeFolder(L"Film");
  folder_.MakeFolder(L"Film\\mux");
  folder_.WriteFile(L"Film\\mux\\movie.avi", "an earlier job's result");
  const WindowProbe window = OpenFolder(source);

  window.Click(Id(cmdStart));
  const auto box = WaitForMessageBox(Process());
  ASSERT_TRUE(box.has_value()) << "Start on a folder with mux\\ said nothing";
  EXPECT_EQ(box->icon, BoxIcon::Error);
  EXPECT_NE(box->text.find(source + L"mux\\"), std::wstring::npos)
      << "the message names the mux folder: " << ToUtf8(box->text);
  // No busy appearance at any point, and nothing touched.
  EXPECT_FALSE(window.Iconic());
  EXPECT_EQ(window.Text(), L"Quillon v1.0");
  EXPECT_EQ(window.ItemText(Id(cmdStart)), L"Start");
  ASSERT_TRUE(PressDialogButton(box->window));
  EXPECT_EQ(folder_.List(L"Film\\mux"), std::vector<std::wstring>{L"movie.avi"});
  EXPECT_EQ(folder_.ReadFile(L"Film\\mux\\movie.avi"), "an earlier job's result");
  EXPECT_EQ(folder_.List(L"Film"), std::vector<std::wstring>{L"mux"});
  CloseAndExpectExitCode(window, 0);
}

TEST_F(InteractiveJobTest, ClosingTheWindowDuringAJobStopsItAndEndsTheProgram) {
  const WindowProbe window = OpenFolder(folder_.MakeFolder(L"Film"));
  JobWithoutToolsOrCleanUp(window);

  window.Click(Id(cmdStart));
  // The job's one-second pause follows at once; close the window in it.
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.Iconic(); })) << "the job did not start";
  window.Close();
  std::vector<MessageBoxSeen> boxes;
  const auto code = RunToExit(Process(), kJobLimit, boxes);
  ASSERT_TRUE(code.has_value()) << "closing during the job did not end the program";
  for (const auto& box : boxes) ADD_FAILURE() << "shown after closing: " << ToUtf8(box.text);
  EXPECT_EQ(*code, 4u) << "a job stopped by closing the window ends with code 4";
}

}  // namespace
}  // namespace quillon::e2e

// Starting programs: ShellWait's blocking wait, its time limit and its
// silence about programs that do not exist; StartProgram; the shell's open;
// and the command line a started program reads back.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "support/child_process.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::Stopwatch;

std::string Quoted(const std::wstring& path) {
  return "\"" + ToUtf8(path) + "\"";
}

std::string ChildCommand(const std::string& arguments) {
  return Quoted(test::ChildProgramPath()) + " " + arguments;
}

bool ChildStillRuns(const wchar_t* mutexName) {
  UniqueHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, mutexName));
  return static_cast<bool>(mutex);
}

int TopLevelWindowsOfThisThread() {
  int count = 0;
  for (HWND window : test::ThreadWindows(::GetCurrentThreadId())) {
    if (::IsWindowVisible(window)) ++count;
  }
  return count;
}

TEST(ShellWait, ReturnsOnlyAfterTheProgramEndedWithItsExitCode) {
  Win32Platform platform;
  Stopwatch clock;
  const ProcessOutcome outcome = platform.ShellWait(ChildCommand("2000 3"), kShowNormal, 60000);
  EXPECT_GE(clock.ElapsedMs(), 2000);
  EXPECT_LT(clock.ElapsedMs(), 10000);
  EXPECT_TRUE(outcome.started);
  EXPECT_TRUE(outcome.finished);
  EXPECT_EQ(outcome.exitCode, 3u);
}

TEST(ShellWait, DoesNotDispatchMessagesWhileItWaits) {
  // The main window stands still while a tool runs: nothing posted to this
  // thread is handled during the wait.
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 5, 0, 0);
  Win32Platform platform;
  platform.ShellWait(ChildCommand("200 0"), kShowNormal, 60000);
  EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_APP + 5, WM_APP + 5, PM_REMOVE));
}

TEST(ShellWait, AnswersWhatAnotherThreadSendsWhileItWaits) {
  // Broadcasts and Windows' own questions reach the main window's thread:
  // left unanswered, the window is ghosted and the sender hangs.
  UniqueWindow window(
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  std::atomic<bool> answered = false;
  std::thread sender([&] {
    ::Sleep(300);
    DWORD_PTR result = 0;
    answered =
        ::SendMessageTimeoutW(window.Get(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
  });
  Win32Platform platform;
  const ProcessOutcome outcome = platform.ShellWait(ChildCommand("2500 0"), kShowNormal, 60000);
  sender.join();
  EXPECT_TRUE(outcome.finished);
  EXPECT_TRUE(answered);
}

// A tool must not outlive a program that Task Manager or a crash ends.
TEST(ShellWait, ToolsEndWithTheProgramThatStartedThem) {
  test::ChildProcess program(
      {.commandLine = L"\"" + test::ChildProgramPath() + L"\"",
       .environment = {{L"QUILLON_TEST_TOOL",
                        L"\"" + test::ChildProgramPath() + L"\" 60000 0 QuillonTestOrphan"}}});
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(
      test::WaitDispatchingUntil(10000ms, [] { return ChildStillRuns(L"QuillonTestOrphan"); }));
  program.Kill();
  EXPECT_TRUE(
      test::WaitDispatchingUntil(5000ms, [] { return !ChildStillRuns(L"QuillonTestOrphan"); }));
}

TEST(ShellWait, MissingProgramReturnsAtOnceShowingNothing) {
  Win32Platform platform;
  const int windowsBefore = TopLevelWindowsOfThisThread();
  for (const std::string& command : {std::string("\"C:\\no such folder\\nothing.exe\" \"x\""),
                                     std::string("nothing_here.exe"), std::string("")}) {
    SCOPED_TRACE(command);
    Stopwatch clock;
    const ProcessOutcome outcome = platform.ShellWait(command, kShowNormal, 60000);
    EXPECT_LT(clock.ElapsedMs(), 500);
    EXPECT_FALSE(outcome.started);
    EXPECT_FALSE(outcome.finished);
    EXPECT_FALSE(outcome.startFailure.empty());  // the reason, for the job log
  }
  EXPECT_EQ(TopLevelWindowsOfThisThread(), windowsBefore);
}

TEST(ShellWait, TimeLimitEndsALongProgram) {
  Win32Platform platform;
  Stopwatch clock;
  const ProcessOutcome outcome =
      platform.ShellWait(ChildCommand("30000 0 QuillonTestLongChild"), kShowNormal, 700);
  EXPECT_GE(clock.ElapsedMs(), 700);
  EXPECT_LT(clock.ElapsedMs(), 6000);
  EXPECT_TRUE(outcome.started);
  EXPECT_FALSE(outcome.finished);
  EXPECT_FALSE(ChildStillRuns(L"QuillonTestLongChild"));
}

TEST(StartProgram, DoesNotWaitAndReportsAProgramThatCannotStart) {
  Win32Platform platform;
  Stopwatch clock;
  EXPECT_TRUE(platform.StartProgram(ChildCommand("1500 0 QuillonTestStartedChild"), kShowNormal));
  EXPECT_LT(clock.ElapsedMs(), 1000);
  EXPECT_TRUE(test::WaitDispatchingUntil(
      3000ms, [] { return ChildStillRuns(L"QuillonTestStartedChild"); }));
  EXPECT_TRUE(test::WaitDispatchingUntil(
      5000ms, [] { return !ChildStillRuns(L"QuillonTestStartedChild"); }));

  EXPECT_FALSE(platform.StartProgram("\"C:\\no such folder\\nothing.exe\"", kShowNormal));
}

TEST(StartingPrograms, PassTheShowStyleToTheProgram) {
  test::ScratchFolder folder(L"show_style");
  const std::wstring report = folder.Path() + L"show.txt";
  ::SetEnvironmentVariableW(L"QUILLON_TEST_SHOW", report.c_str());
  Win32Platform platform;
  for (int style : {kShowNormal, kShowMinimized}) {
    SCOPED_TRACE(style);
    ::DeleteFileW(report.c_str());
    EXPECT_TRUE(platform.ShellWait(ChildCommand(""), style, 20000).finished);
    EXPECT_EQ(test::ReadBytes(report).value_or(""), std::to_string(style));

    ::DeleteFileW(report.c_str());
    ASSERT_TRUE(platform.StartProgram(ChildCommand(""), style));
    EXPECT_TRUE(test::WaitDispatchingUntil(
        10000ms, [&] { return !test::ReadBytes(report).value_or("").empty(); }));
    EXPECT_EQ(test::ReadBytes(report).value_or(""), std::to_string(style));
  }
  ::SetEnvironmentVariableW(L"QUILLON_TEST_SHOW", nullptr);
}

TEST(ShellOpen, OpensABatchFileInItsFolderWithItsParameter) {
  // How the first-run set-up batch of the tools folder is started.
  test::ScratchFolder folder(L"shell_open");
  test::WriteBytes(folder.Path() + L"xt.bat", "@echo %1> marker.txt\r\n");
  Win32Platform platform;
  platform.ShellOpen("OPEN", "xt.bat", "0", folder.Utf8Path(), kShowNormal);
  const std::wstring marker = folder.Path() + L"marker.txt";
  ASSERT_TRUE(test::WaitDispatchingUntil(
      15000ms, [&] { return test::ReadBytes(marker).value_or("").size() >= 3; }));
  EXPECT_EQ(test::ReadBytes(marker).value_or(""), "0\r\n");
}

// The arguments a started copy of a program reads back, through the real
// GetCommandLineW of the started process.
class ChildCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    echoFile_ = folder_.Path() + L"echo.txt";
    ::SetEnvironmentVariableW(L"QUILLON_TEST_ECHO", echoFile_.c_str());
    // A copy whose path holds blanks and a letter outside ASCII.
    ::CreateDirectoryW((folder_.Path() + L"Quillon Fïles").c_str(), nullptr);
    spacedCopy_ = folder_.Path() + L"Quillon Fïles\\Quillon Copy.exe";
    ::CopyFileW(test::ChildProgramPath().c_str(), spacedCopy_.c_str(), FALSE);
    plainCopy_ = folder_.Path() + L"child.exe";
    ::CopyFileW(test::ChildProgramPath().c_str(), plainCopy_.c_str(), FALSE);
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"QUILLON_TEST_ECHO", nullptr); }

  std::string ArgumentsSeenBy(const std::string& commandLine) {
    ::DeleteFileW(echoFile_.c_str());
    Win32Platform platform;
    const ProcessOutcome outcome = platform.ShellWait(commandLine, kShowNormal, 20000);
    EXPECT_TRUE(outcome.finished) << commandLine;
    return test::ReadBytes(echoFile_).value_or("");
  }

  test::ScratchFolder folder_{L"command_line"};
  std::wstring echoFile_;
  std::wstring spacedCopy_;
  std::wstring plainCopy_;
};

TEST_F(ChildCommandLine, IsEverythingAfterTheProgramNameVerbatim) {
  const std::string spaced = Quoted(spacedCopy_);
  const std::string plain = ToUtf8(plainCopy_);
  struct Case {
    std::string commandLine;
    std::string expected;
  };
  const Case cases[] = {
      {spaced + " ?D:\\Rips\\Film?1?192?1?1?1?0?1?", "?D:\\Rips\\Film?1?192?1?1?1?0?1?"},
      {spaced + "   ?D:\\My Rips\\Fïlm 片? 1 ?\"q\"?  ", "?D:\\My Rips\\Fïlm 片? 1 ?\"q\"?  "},
      {spaced, ""},
      {spaced + " \"D:\\Dropped Folder\"", "\"D:\\Dropped Folder\""},
      {plain + " ?a?%b%^c?", "?a?%b%^c?"},
      {plain, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgumentsSeenBy(c.commandLine), c.expected) << c.commandLine;
  }
}

}  // namespace
}  // namespace quillon

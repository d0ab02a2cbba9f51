// Other programs' windows: finding them by title, activating them, clicking
// their buttons.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::WindowThread;

TEST(FindCaption, MatchesWholeTitlesIgnoringCase) {
  WindowThread beta(L"SubToSup 0.9 Beta");
  Win32Platform platform;
  EXPECT_EQ(platform.FindCaption("SubToSup 0.9 Beta"), FromHwnd(beta.Window()));
  EXPECT_EQ(platform.FindCaption("subtosup 0.9 BETA"), FromHwnd(beta.Window()));
  EXPECT_EQ(platform.FindCaption("SubToSup"), 0u);
  EXPECT_EQ(platform.FindCaption("SubToSup 0.9 Beta "), 0u);
  EXPECT_EQ(platform.FindCaption(" SubToSup 0.9 Beta"), 0u);
}

TEST(FindCaption, ShortTitleIsNotFoundByALongerCaption) {
  WindowThread plain(L"SubToSup");
  Win32Platform platform;
  EXPECT_EQ(platform.FindCaption("SubToSup 0.9 Beta"), 0u);
  EXPECT_EQ(platform.FindCaption("SUBTOSUP"), FromHwnd(plain.Window()));
}

TEST(FindCaption, NonAsciiTitles) {
  WindowThread window(L"Ünïcødé 片 Tool");
  Win32Platform platform;
  EXPECT_EQ(platform.FindCaption("Ünïcødé 片 Tool"), FromHwnd(window.Window()));
}

TEST(FindCaption, ChildWindowsAreNotFound) {
  WindowThread window(L"Parent of a button");
  Win32Platform platform;
  EXPECT_EQ(platform.FindCaption("Go"), 0u);  // the button's text
}

TEST(FindCaptionPrefix, MatchesTheBeginningIgnoringCase) {
  WindowThread editor(L"DVDSubEdit -- Version 1.34 By Some Author");
  Win32Platform platform;
  EXPECT_EQ(platform.FindCaptionPrefix("DVDSubEdit -- Version 1.34 By "),
            FromHwnd(editor.Window()));
  EXPECT_EQ(platform.FindCaptionPrefix("dvdsubedit -- version 1.34 by "),
            FromHwnd(editor.Window()));
  EXPECT_EQ(platform.FindCaptionPrefix("DVDSubEdit -- Version 1.34 By Some Author"),
            FromHwnd(editor.Window()));
  EXPECT_EQ(platform.FindCaptionPrefix("DVDSubEdit -- Version 1.34 By Some Author!"), 0u);
  EXPECT_EQ(platform.FindCaptionPrefix("Version 1.34"), 0u);  // not at the start
}

TEST(FindCaptionPrefix, FindsANameWithAnUmlautBehindTheFixedPart) {
  WindowThread progress(L"Running OCR... (based on GOCR by Jörg Schulenburg)");
  Win32Platform platform;
  EXPECT_EQ(platform.FindCaptionPrefix("Running OCR... (based on GOCR by "),
            FromHwnd(progress.Window()));
}

TEST(ClickControl, ReachesTheButtonOfAnotherThreadsWindow) {
  WindowThread window(L"Click target");
  Win32Platform platform;
  platform.ClickControl(FromHwnd(window.Window()), WindowThread::kButtonId);
  EXPECT_TRUE(test::WaitDispatchingUntil(3000ms, [&] { return window.Clicks() == 1; }));
  // A control id the window lacks, and no window at all: nothing happens.
  platform.ClickControl(FromHwnd(window.Window()), 4242);
  platform.ClickControl(0, WindowThread::kButtonId);
  test::WaitDispatchingUntil(300ms, [] { return false; });
  EXPECT_EQ(window.Clicks(), 1);
}

// A click is queued, never dropped, however busy the tool. A macro with a
// pause of 0 seconds looks for what the click brings up (a dialog, a
// progress window) right after it: a tool free again within the wait has
// carried it out by then. One busy for longer carries it out later, and
// ClicksDone says when.
TEST(ClickControl, ABusyToolCarriesTheClickOutOnceItIsFree) {
  struct Row {
    DWORD busyMs;
    std::uint32_t answerMs;
    bool doneOnReturn;
  };
  for (const Row row : {Row{300, 1000, true}, Row{1500, 100, false}}) {
    SCOPED_TRACE(row.busyMs);
    // The job brings the tool to the front before it clicks: a click in a
    // window that is not active first activates it, and Wine may then lose
    // it.
    WindowThread window(L"Busy tool", WindowThread::Show::Visible);
    Win32Platform platform;
    WaitLimits limits;
    limits.answerMs = row.answerMs;
    platform.BoundWaits(limits, 0);
    ASSERT_TRUE(platform.ActivateWindow(FromHwnd(window.Window())));
    window.Freeze(row.busyMs);
    platform.ClickControl(FromHwnd(window.Window()), WindowThread::kButtonId);
    EXPECT_EQ(platform.ClicksDone(FromHwnd(window.Window())), row.doneOnReturn);
    EXPECT_EQ(window.Clicks(), row.doneOnReturn ? 1 : 0);
    EXPECT_TRUE(test::WaitDispatchingUntil(
        4000ms, [&] { return platform.ClicksDone(FromHwnd(window.Window())); }));
    EXPECT_EQ(window.Clicks(), 1);
  }
}

TEST(ActivateWindow, BringsAWindowToTheForeground) {
  WindowThread first(L"First tool", WindowThread::Show::Visible);
  WindowThread second(L"Second tool", WindowThread::Show::Visible);
  Win32Platform platform;
  ASSERT_TRUE(platform.DesktopTakesInput());
  ASSERT_TRUE(platform.ActivateWindow(FromHwnd(first.Window())));
  EXPECT_EQ(::GetForegroundWindow(), first.Window());
  test::LetFocusNewsArrive();
  ASSERT_TRUE(platform.ActivateWindow(FromHwnd(second.Window())));
  EXPECT_EQ(::GetForegroundWindow(), second.Window());
}

TEST(ActivateWindow, RestoresAMinimisedWindow) {
  WindowThread window(L"Minimised tool", WindowThread::Show::Visible);
  ::ShowWindow(window.Window(), SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(window.Window()));
  Win32Platform platform;
  EXPECT_TRUE(platform.ActivateWindow(FromHwnd(window.Window())));
  EXPECT_FALSE(::IsIconic(window.Window()));
  EXPECT_EQ(::GetForegroundWindow(), window.Window());
}

TEST(ActivateWindow, DoesNotHangOnAHungWindow) {
  WindowThread front(L"Tool in front", WindowThread::Show::Visible);
  WindowThread hung(L"Hung tool", WindowThread::Show::Visible);
  Win32Platform platform;
  ASSERT_TRUE(platform.ActivateWindow(FromHwnd(front.Window())));
  ::ShowWindow(hung.Window(), SW_MINIMIZE);
  hung.Freeze(6000);
  test::Stopwatch clock;
  platform.ActivateWindow(FromHwnd(hung.Window()));
  platform.ClickControl(FromHwnd(hung.Window()), WindowThread::kButtonId);
  // Gives up well before the window answers again.
  EXPECT_LT(clock.ElapsedMs(), 4000);
}

TEST(ActivateWindow, FalseForAWindowThatIsGone) {
  HWND gone = nullptr;
  {
    WindowThread window(L"Short-lived tool");
    gone = window.Window();
  }
  Win32Platform platform;
  EXPECT_FALSE(platform.ActivateWindow(FromHwnd(gone)));
  EXPECT_FALSE(platform.ActivateWindow(0));
}

}  // namespace
}  // namespace quillon

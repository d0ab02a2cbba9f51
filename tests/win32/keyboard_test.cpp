// Keystrokes and literal text for the window in front.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::WindowThread;

int g_timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
  ++g_timerTicks;
}

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform_.ActivateWindow(FromHwnd(window_.Window())));
    ASSERT_TRUE(test::WaitDispatchingUntil(
        2000ms, [&] { return test::FocusOf(window_.ThreadId()) == window_.Edit(); }));
  }
  WindowHandle Target() { return FromHwnd(window_.Window()); }
  WindowThread window_{L"Keyboard target", WindowThread::Show::Visible};
  Win32Platform platform_;
};

TEST_F(KeyboardTest, SendTextTypesNotationCharactersLiterally) {
  // Checked as soon as the window has read its keys: that must mean all of
  // them.
  platform_.SendText("C:\\a%b+c^d~e{f}[g](h)");
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"C:\\a%b+c^d~e{f}[g](h)");
}

TEST_F(KeyboardTest, SendTextTypesCharactersOutsideAnyKeyboardLayout) {
  platform_.SendText("Ünïcødé 片 \U0001D11E");
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"Ünïcødé 片 \U0001D11E");
}

TEST_F(KeyboardTest, SendKeysKeepsOrderWithText) {
  platform_.SendText("abc");
  platform_.SendKeys({{VK_LEFT, false}, {VK_LEFT, false}});
  platform_.SendText("X");
  platform_.SendKeys({{VK_END, false}, {VK_BACK, false}});
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"aXb");
}

TEST_F(KeyboardTest, AltIsHeldAroundItsOwnKeyOnly) {
  platform_.SendText("a");
  // Alt+Left moves no caret in an edit field, a plain Left would; and with
  // Alt still held the B would be a menu key, not a letter.
  platform_.SendKeys({{VK_LEFT, true}, {'B', false}});
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"ab");
}

// The main window of the program runs on the sending thread: it must not
// freeze while a busy tool takes its keys.
TEST_F(KeyboardTest, ThisThreadsMessagesFlowWhileWaitingForABusyWindowToReadKeys) {
  g_timerTicks = 0;
  const UniqueThreadTimer timer(::SetTimer(nullptr, 0, 50, CountTick));
  window_.Freeze(1500);
  platform_.SendText("x");
  platform_.TookInKeys(Target());
  EXPECT_GT(g_timerTicks, 0);
  EXPECT_TRUE(test::WaitDispatchingUntil(4000ms, [&] { return window_.EditText() == L"x"; }));
}

TEST_F(KeyboardTest, HungWindowInFrontDoesNotHangTheSenderAndLosesNothing) {
  window_.Freeze(4000);
  test::Stopwatch clock;
  platform_.SendText("late");
  EXPECT_FALSE(platform_.TookInKeys(Target()));
  EXPECT_LT(clock.ElapsedMs(), 3000);
  EXPECT_TRUE(test::WaitDispatchingUntil(6000ms, [&] { return window_.EditText() == L"late"; }));
}

TEST_F(KeyboardTest, AltF4ClosesTheWindowInFront) {
  platform_.SendKeys({{VK_F4, true}});
  // Polled: under Wine without a window manager, taking a window off the
  // screen stalls its thread for two seconds.
  EXPECT_TRUE(test::WaitDispatchingUntil(4000ms, [&] { return window_.Destroyed(); }));
}

}  // namespace
}  // namespace quillon

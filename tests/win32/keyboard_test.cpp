// Keystrokes and literal text for one window, sent only while it is in front.

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
  ASSERT_TRUE(platform_.SendText(Target(), "C:\\a%b+c^d~e{f}[g](h)"));
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"C:\\a%b+c^d~e{f}[g](h)");
}

TEST_F(KeyboardTest, SendTextTypesCharactersOutsideAnyKeyboardLayout) {
  ASSERT_TRUE(platform_.SendText(Target(), "Ünïcødé 片 \U0001D11E"));
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"Ünïcødé 片 \U0001D11E");
}

TEST_F(KeyboardTest, SendKeysKeepsOrderWithText) {
  ASSERT_TRUE(platform_.SendText(Target(), "abc"));
  ASSERT_TRUE(platform_.SendKeys(Target(), {{VK_LEFT, false}, {VK_LEFT, false}}));
  ASSERT_TRUE(platform_.SendText(Target(), "X"));
  ASSERT_TRUE(platform_.SendKeys(Target(), {{VK_END, false}, {VK_BACK, false}}));
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"aXb");
}

TEST_F(KeyboardTest, AltIsHeldAroundItsOwnKeyOnly) {
  ASSERT_TRUE(platform_.SendText(Target(), "a"));
  // Alt+Left moves no caret in an edit field, a plain Left would; and with
  // Alt still held the B would be a menu key, not a letter.
  ASSERT_TRUE(platform_.SendKeys(Target(), {{VK_LEFT, true}, {'B', false}}));
  ASSERT_TRUE(platform_.TookInKeys(Target()));
  EXPECT_EQ(window_.EditText(), L"ab");
}

// The main window of the program runs on the sending thread: it must not
// freeze while a busy tool takes its keys.
TEST_F(KeyboardTest, ThisThreadsMessagesFlowWhileWaitingForABusyWindowToReadKeys) {
  g_timerTicks = 0;
  const UniqueThreadTimer timer(::SetTimer(nullptr, 0, 50, CountTick));
  window_.Freeze(1500);
  ASSERT_TRUE(platform_.SendText(Target(), "x"));
  platform_.TookInKeys(Target());
  EXPECT_GT(g_timerTicks, 0);
  EXPECT_TRUE(test::WaitDispatchingUntil(4000ms, [&] { return window_.EditText() == L"x"; }));
}

TEST_F(KeyboardTest, HungWindowInFrontDoesNotHangTheSenderAndLosesNothing) {
  window_.Freeze(4000);
  test::Stopwatch clock;
  ASSERT_TRUE(platform_.SendText(Target(), "late"));
  EXPECT_FALSE(platform_.TookInKeys(Target()));
  EXPECT_LT(clock.ElapsedMs(), 3000);
  EXPECT_TRUE(test::WaitDispatchingUntil(6000ms, [&] { return window_.EditText() == L"late"; }));
}

// A chat or a reminder of another program comes to the front just before
// the tool's path and Enter go out: neither reaches it, nor the tool.
TEST_F(KeyboardTest, InputForAWindowNotInFrontGoesNowhere) {
  WindowThread other(L"Another program", WindowThread::Show::Visible);
  ASSERT_TRUE(test::WaitDispatchingUntil(2000ms, [&] {
    return ::GetForegroundWindow() == other.Window() &&
           test::FocusOf(other.ThreadId()) == other.Edit();
  }));
  EXPECT_FALSE(platform_.SendText(Target(), "D:\\Movie"));
  EXPECT_FALSE(platform_.SendKeys(Target(), {{'Q', false}, {VK_RETURN, false}}));
  ASSERT_TRUE(platform_.TookInKeys(FromHwnd(other.Window())));
  EXPECT_EQ(other.EditText(), L"");
  EXPECT_EQ(window_.EditText(), L"");
}

// Ctrl held by the user, or stuck after a remote desktop session, would make
// Alt+F into Ctrl+Alt+F (AltGr+F on many layouts), which opens no menu.
TEST_F(KeyboardTest, AltFOpensTheMenuWhileCtrlIsHeld) {
  const HMENU file = ::CreatePopupMenu();
  ::AppendMenuW(file, MF_STRING, 1, L"&Open");
  const HMENU bar = ::CreateMenu();
  ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  // The window destroys its menu bar with itself.
  ASSERT_TRUE(::SetMenu(window_.Window(), bar));
  INPUT ctrl{};
  ctrl.type = INPUT_KEYBOARD;
  ctrl.ki.wVk = VK_CONTROL;
  ASSERT_EQ(::SendInput(1, &ctrl, sizeof ctrl), 1u);
  // Let go whatever happens below: a held Ctrl would reach every later test.
  struct LetGo {
    INPUT key;
    ~LetGo() {
      key.ki.dwFlags = KEYEVENTF_KEYUP;
      ::SendInput(1, &key, sizeof key);
    }
  } letGo{ctrl};
  ASSERT_TRUE(
      test::WaitDispatchingUntil(2000ms, [] { return ::GetAsyncKeyState(VK_CONTROL) < 0; }));
  WaitLimits limits;
  limits.heldKeysMs = 100;  // the user does not let go here
  platform_.BoundWaits(limits, 0);

  ASSERT_TRUE(platform_.SendKeys(Target(), {{'F', true}}));
  EXPECT_TRUE(test::WaitDispatchingUntil(3000ms, [&] { return platform_.MenuOpen(Target()); }));
  ::PostMessageW(window_.Window(), WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(test::WaitDispatchingUntil(3000ms, [&] { return !platform_.MenuOpen(Target()); }));
}

TEST_F(KeyboardTest, AltF4ClosesTheWindowInFront) {
  ASSERT_TRUE(platform_.SendKeys(Target(), {{VK_F4, true}}));
  // Polled: under Wine without a window manager, taking a window off the
  // screen stalls its thread for two seconds.
  EXPECT_TRUE(test::WaitDispatchingUntil(4000ms, [&] { return window_.Destroyed(); }));
}

}  // namespace
}  // namespace quillon

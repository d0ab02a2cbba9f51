// Keystrokes and literal text for the window in front.

#include <gtest/gtest.h>
#include <windows.h>

#include "test_support.h"
#include "platform/win32/send_input_win.h"
#include "platform/win32/win32_platform_win.h"

namespace quillon {
namespace {

using test::WindowThread;

TEST(TextInputs, EveryUtf16UnitDownThenUpAsUnicodeInput) {
  const std::vector<INPUT> inputs = TextInputs(L"a\U0001D11E");  // a surrogate pair
  ASSERT_EQ(inputs.size(), 6u);
  const WORD units[] = {L'a', 0xD834, 0xDD1E};
  for (size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(inputs[i].type, static_cast<DWORD>(INPUT_KEYBOARD));
    EXPECT_EQ(inputs[i].ki.wVk, 0);
    EXPECT_EQ(inputs[i].ki.wScan, units[i / 2]);
    EXPECT_EQ(inputs[i].ki.dwFlags,
              static_cast<DWORD>(KEYEVENTF_UNICODE | (i % 2 == 1 ? KEYEVENTF_KEYUP : 0)));
  }
}

TEST(KeyStrokeInputs, AltIsHeldAroundItsKeyOnly) {
  const std::vector<INPUT> inputs = KeyStrokeInputs({{VK_F4, true}, {VK_DOWN, false}});
  struct Expected {
    WORD vk;
    DWORD flags;
  };
  const Expected expected[] = {
      {VK_MENU, 0},
      {VK_F4, 0},
      {VK_F4, KEYEVENTF_KEYUP},
      {VK_MENU, KEYEVENTF_KEYUP},
      {VK_DOWN, KEYEVENTF_EXTENDEDKEY},
      {VK_DOWN, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP},
  };
  ASSERT_EQ(inputs.size(), std::size(expected));
  for (size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(inputs[i].type, static_cast<DWORD>(INPUT_KEYBOARD));
    EXPECT_EQ(inputs[i].ki.wVk, expected[i].vk);
    EXPECT_EQ(inputs[i].ki.dwFlags, expected[i].flags);
  }
  EXPECT_TRUE(KeyStrokeInputs({}).empty());
}

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform_.ActivateWindow(FromHwnd(window_.Window())));
    ASSERT_TRUE(
        test::PollUntil(2000, [&] { return test::FocusOf(window_.ThreadId()) == window_.Edit(); }));
  }
  WindowThread window_{L"Keyboard target", WindowThread::Show::Visible};
  Win32Platform platform_;
};

TEST_F(KeyboardTest, SendTextTypesNotationCharactersLiterally) {
  // Checked right after the call: it returns only once the text is in.
  platform_.SendText("C:\\a%b+c^d~e{f}[g](h)");
  EXPECT_EQ(window_.EditText(), L"C:\\a%b+c^d~e{f}[g](h)");
}

TEST_F(KeyboardTest, SendTextTypesCharactersOutsideAnyKeyboardLayout) {
  platform_.SendText("Ünïcødé 片 \U0001D11E");
  EXPECT_EQ(window_.EditText(), L"Ünïcødé 片 \U0001D11E");
}

TEST_F(KeyboardTest, SendKeysKeepsOrderWithText) {
  platform_.SendText("abc");
  platform_.SendKeys({{VK_LEFT, false}, {VK_LEFT, false}});
  platform_.SendText("X");
  platform_.SendKeys({{VK_END, false}, {VK_BACK, false}});
  EXPECT_EQ(window_.EditText(), L"aXb");
}

TEST_F(KeyboardTest, HungWindowInFrontDoesNotHangTheSenderAndLosesNothing) {
  window_.Freeze(4000);
  test::Stopwatch clock;
  platform_.SendText("late");
  EXPECT_LT(clock.ElapsedMs(), 3000);
  EXPECT_TRUE(test::PollUntil(6000, [&] { return window_.EditText() == L"late"; }));
}

TEST_F(KeyboardTest, AltF4ClosesTheWindowInFront) {
  platform_.SendKeys({{VK_F4, true}});
  // Polled: under Wine without a window manager, taking a window off the
  // screen stalls its thread for two seconds.
  EXPECT_TRUE(test::PollUntil(4000, [&] { return window_.Destroyed(); }));
}

}  // namespace
}  // namespace quillon

// The program's own dialogs: message boxes and the text-input dialog, driven
// from a second thread the way a user would answer them.

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "platform/win32/input_box_ids.h"
#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::TextOf;

// The icon a message box shows, or null when it shows none.
HICON IconOf(HWND box) {
  for (HWND child : test::ChildWindows(box)) {
    if (test::ClassOf(child) != L"Static" || !::IsWindowVisible(child)) continue;
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    return reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
  }
  return nullptr;
}

TEST(ShowMessage, ShowsTextTitleAndIconAndWaitsForOk) {
  struct Case {
    MessageIcon icon;
    const wchar_t* systemIcon;  // null: no icon
  };
  const Case cases[] = {{MessageIcon::None, nullptr},
                        {MessageIcon::Information, IDI_INFORMATION},
                        {MessageIcon::Warning, IDI_WARNING},
                        {MessageIcon::Error, IDI_ERROR}};
  const DWORD self = ::GetCurrentThreadId();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.icon));
    std::wstring textSeen;
    HICON iconSeen = nullptr;
    bool found = false;
    std::thread user([&] {
      HWND box = test::WaitForThreadDialog(self, L"Quillon", 10000);
      found = box != nullptr;
      if (!box) box = test::WaitForThreadDialog(self, L"", 1000);  // unstick the test
      if (!box) return;
      for (HWND child : test::ChildWindows(box)) {
        if (test::ClassOf(child) == L"Static" && !TextOf(child).empty()) textSeen = TextOf(child);
      }
      iconSeen = IconOf(box);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Win32Platform platform;
    platform.ShowMessage("Done!", "Quillon", c.icon, 0);
    user.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(textSeen, L"Done!");
    EXPECT_EQ(iconSeen, c.systemIcon ? ::LoadIconW(nullptr, c.systemIcon) : nullptr);
  }
}

TEST(ShowMessage, ABoxWithATimeLimitClosesItselfAsIfOkWerePressed) {
  const DWORD self = ::GetCurrentThreadId();
  bool shown = false;
  bool pressed = false;
  std::thread user([&] {
    const HWND box = test::WaitForThreadDialog(self, L"Quillon", 10000);
    shown = box != nullptr;
    // No one answers; only a box still there after a long while is let go.
    if (box && !test::WaitDispatchingUntil(10000ms, [box] { return !::IsWindow(box); })) {
      pressed = true;
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  Win32Platform platform;
  test::Stopwatch clock;
  // Two seconds: long enough for the watching thread to see the box even on a
  // machine busy with other tests (it missed a box of half a second once).
  platform.ShowMessage("Mux All 0", "Quillon", MessageIcon::None, 2000);
  const std::int64_t elapsed = clock.ElapsedMs();
  user.join();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(pressed);
  EXPECT_GE(elapsed, 1950);
  EXPECT_LT(elapsed, 6500);
}

// What the user saw in the input dialog and how they answered it.
struct InputBoxVisit {
  bool found = false;
  std::wstring prompt;
  std::wstring field;
  bool fieldHasFocus = false;
  DWORD selectionStart = 99, selectionEnd = 99;
};

enum class Answer { Ok, Cancel, Close };

InputBoxVisit AnswerInputBox(DWORD thread, const std::wstring& title, Answer answer,
                             const std::wstring* newText) {
  InputBoxVisit visit;
  const HWND dialog = test::WaitForThreadDialog(thread, title, 10000);
  if (!dialog) return visit;
  visit.found = true;
  const HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
  visit.prompt = TextOf(::GetDlgItem(dialog, kInputBoxPromptId));
  visit.field = TextOf(edit);
  visit.fieldHasFocus = test::FocusOf(thread) == edit;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&visit.selectionStart),
                 reinterpret_cast<LPARAM>(&visit.selectionEnd));
  if (newText != nullptr) ::SetWindowTextW(edit, newText->c_str());
  switch (answer) {
    case Answer::Ok:
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
      break;
    case Answer::Cancel:
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
      break;
    case Answer::Close:
      ::PostMessageW(dialog, WM_CLOSE, 0, 0);
      break;
  }
  return visit;
}

TEST(InputBox, ShowsPromptAndSelectedDefaultAndReturnsTheAnswer) {
  struct Case {
    const char* what;
    Answer answer;
    const wchar_t* typed;  // null: leave the field as it is
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"OK with the default", Answer::Ok, nullptr, "1"},
      {"OK with a new text", Answer::Ok, L"2.5 Fïlm", "2.5 Fïlm"},
      {"OK with an empty field", Answer::Ok, L"", ""},
      {"Cancel", Answer::Cancel, L"7", std::nullopt},
      {"closed", Answer::Close, L"7", std::nullopt},
  };
  const DWORD self = ::GetCurrentThreadId();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InputBoxVisit visit;
    std::wstring typed = c.typed != nullptr ? c.typed : L"";
    std::thread user([&] {
      visit = AnswerInputBox(self, L"WaitForKey", c.answer, c.typed != nullptr ? &typed : nullptr);
    });
    Win32Platform platform;
    const std::optional<std::string> result =
        platform.InputBox("Pause between keystrokes (in seconds)\r\n", "WaitForKey", "1");
    user.join();
    ASSERT_TRUE(visit.found);
    EXPECT_EQ(visit.prompt, L"Pause between keystrokes (in seconds)\r\n");
    EXPECT_EQ(visit.field, L"1");
    EXPECT_TRUE(visit.fieldHasFocus);
    EXPECT_EQ(visit.selectionStart, 0u);
    EXPECT_EQ(visit.selectionEnd, 1u);
    EXPECT_EQ(result, c.expected);
  }
}

TEST(InputBox, IsModalToTheMainWindow) {
  const HWND owner = ::CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                       100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  const DWORD self = ::GetCurrentThreadId();
  bool ownerDisabled = false;
  HWND dialogOwner = nullptr;
  std::thread user([&] {
    const HWND dialog = test::WaitForThreadDialog(self, L"Owned", 10000);
    if (!dialog) return;
    ownerDisabled = !::IsWindowEnabled(owner);
    dialogOwner = ::GetWindow(dialog, GW_OWNER);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Win32Platform platform;
  platform.SetMainWindow(owner);
  platform.InputBox("Prompt", "Owned", "");
  user.join();
  EXPECT_TRUE(ownerDisabled);
  EXPECT_EQ(dialogOwner, owner);
  EXPECT_TRUE(::IsWindowEnabled(owner));
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace quillon

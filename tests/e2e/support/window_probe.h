#pragma once
// End-to-end test support: reading and driving another program's windows
// the way a user (or an automation tool) would. Every cross-process message
// is sent with a time limit, so a hung program fails the test instead of
// hanging it; every wait is bounded.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/quillon_run.h"

namespace quillon::e2e {

// A window of another program (a view: owns nothing).
class WindowProbe {
 public:
  explicit WindowProbe(HWND window) : window_(window) {}

  HWND Handle() const { return window_; }
  bool Exists() const { return ::IsWindow(window_) != FALSE; }
  bool Iconic() const { return ::IsIconic(window_) != FALSE; }
  std::wstring Text() const;
  LONG Style() const { return static_cast<LONG>(::GetWindowLongW(window_, GWL_STYLE)); }
  // The client area's size in pixels.
  SIZE ClientSize() const;

  // ---- child controls, by control id ----
  HWND Item(int id) const { return ::GetDlgItem(window_, id); }
  std::wstring ItemText(int id) const;
  bool ItemEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
  bool ItemVisible(int id) const { return ::IsWindowVisible(Item(id)) != FALSE; }
  LONG ItemStyle(int id) const { return static_cast<LONG>(::GetWindowLongW(Item(id), GWL_STYLE)); }
  // BM_GETCHECK: 1 checked, 0 not.
  int ItemCheck(int id) const;
  // The control's rectangle in the window's client coordinates (pixels).
  RECT ItemRect(int id) const;
  // The id of the topmost child control at a client point, or 0.
  int ItemAt(POINT client) const;
  // The drop-down list of a combo box.
  std::vector<std::wstring> ComboItems(int id) const;
  // Sets a child's text with WM_SETTEXT (an edit field, a combo's field).
  void SetItemText(int id, std::wstring_view text) const;

  // Children from the top of the z-order down (their control ids).
  std::vector<int> ZOrder() const;
  // The controls that Tab visits, starting at the first one, as the dialog
  // manager finds them (GetNextDlgTabItem; disabled ones are skipped).
  std::vector<int> TabWalk() const;
  // The control that has the keyboard focus in this window's thread, or 0.
  int FocusedItem() const;

  // Posts a click (BM_CLICK) to a child button; returns at once.
  void Click(int id) const;
  // Asks the window to close (WM_CLOSE, posted).
  void Close() const;

  // Brings the window to the foreground (bounded); false when refused.
  bool Activate() const;
  // Presses keys while the window is in the foreground: Alt+<letter>, or a
  // plain virtual key (Tab).
  bool PressAltKey(char letter) const;
  bool PressKey(WORD virtualKey) const;

 private:
  HWND window_;
};

// ---- message boxes ----

enum class BoxIcon { None, Information, Warning, Error, Question, Unknown };
const char* ToString(BoxIcon icon);

struct MessageBoxSeen {
  HWND window = nullptr;
  // As the box holds it. Windows drops a trailing line break that Wine keeps:
  // compare with SameBoxText.
  std::wstring text;
  BoxIcon icon = BoxIcon::None;
};

// True when the two texts are the same apart from trailing line breaks.
bool SameBoxText(std::wstring_view shown, std::wstring_view expected);

// Waits for a message box (dialog class, the given title) of the process.
std::optional<MessageBoxSeen> WaitForMessageBox(const QuillonProcess& process,
                                                Ms limit = kDialogLimit,
                                                std::wstring_view title = L"Quillon");
// Presses a button of a dialog (OK by default) and waits until it is gone.
bool PressDialogButton(HWND dialog, int buttonId = IDOK, Ms limit = kDialogLimit);

// ---- the "WaitForKey" input box ----

struct InputBoxSeen {
  HWND window = nullptr;
  std::wstring prompt;
  std::wstring text;  // the field's content as shown
};
std::optional<InputBoxSeen> WaitForInputBox(const QuillonProcess& process, Ms limit = kDialogLimit);
// Types `answer` into the field and presses OK (or Cancel).
bool AnswerInputBox(HWND box, std::wstring_view answer);
bool CancelInputBox(HWND box);

// The message box titled "Quillon" that the program shows now, if any; one
// wider than the screen is moved to its left edge first, so that its icon
// can be read.
std::optional<MessageBoxSeen> MessageBoxNow(const QuillonProcess& process);

// Waits for the program to end, pressing OK on every message box titled
// "Quillon" it shows meanwhile (or, when `answerBoxes` is false, noting each
// once and leaving it to whatever ends it). The boxes are collected in
// `seen`; `each` runs between the checks.
std::optional<DWORD> RunToExit(const QuillonProcess& process, Ms limit,
                               std::vector<MessageBoxSeen>& seen,
                               const std::function<void()>& each = {}, bool answerBoxes = true);

}  // namespace quillon::e2e

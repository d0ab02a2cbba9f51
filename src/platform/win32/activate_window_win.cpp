#include "platform/win32/activate_window_win.h"

#include "platform/win32/handles_win.h"

namespace quillon {
namespace {

template <typename Condition>
bool PollFor(DWORD ms, Condition condition) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() >= end) return false;
    ::Sleep(10);
  }
}

bool IsForeground(HWND window) {
  return ::GetForegroundWindow() == window;
}

// Whether the window's thread reads its messages; a hung one is not waited
// for beyond the time-out.
bool Answers(HWND window) {
  DWORD_PTR answer = 0;
  return window != nullptr &&
         ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &answer) != 0;
}

// The system lets a program take the foreground when it sent the last input
// event; a mouse event without movement or buttons satisfies that and
// disturbs no window.
void SendHarmlessInput() {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  ::SendInput(1, &input, sizeof input);
}

}  // namespace

bool ActivateWindow(HWND window) {
  if (window == nullptr || !::IsWindow(window)) return false;
  // A program builds its window before it shows it, and the window carries
  // its title from the start: found that early, it cannot take the focus
  // yet, and keys sent to it are lost. It gets a moment to show.
  if (!PollFor(2000, [&] { return ::IsWindowVisible(window) != FALSE; })) return false;
  if (::IsIconic(window)) {
    // Async: restoring a hung program's window must not hang this one.
    ::ShowWindowAsync(window, SW_RESTORE);
    PollFor(1000, [&] { return !::IsIconic(window); });
  }
  if (::SetForegroundWindow(window) && PollFor(50, [&] { return IsForeground(window); })) {
    return true;
  }

  // Refused: the foreground lock protects the window the user works in.
  // Joined to the threads of the current foreground window and the target,
  // this thread counts as the one the user works with. Joined input makes
  // the calls below wait for those threads, so only threads that answer are
  // joined.
  const DWORD self = ::GetCurrentThreadId();
  const HWND foreground = ::GetForegroundWindow();
  const DWORD foregroundThread =
      Answers(foreground) ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool targetAnswers = Answers(window);
  const DWORD targetThread = targetAnswers ? ::GetWindowThreadProcessId(window, nullptr) : 0;
  {
    ThreadInputLink toForeground(self, foregroundThread);
    ThreadInputLink toTarget(self, targetThread != foregroundThread ? targetThread : 0);
    SendHarmlessInput();
    ::SetForegroundWindow(window);
    // Asynchronous: moving a hung program's window must not hang this one.
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    const HWND focus = ::GetFocus();
    if (targetAnswers && (focus == nullptr || (focus != window && !::IsChild(window, focus)))) {
      ::SetFocus(window);
    }
  }
  return PollFor(1000, [&] { return ::IsWindow(window) && IsForeground(window); });
}

}  // namespace quillon

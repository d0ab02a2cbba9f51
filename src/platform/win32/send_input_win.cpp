#include "platform/win32/send_input_win.h"

#include <algorithm>

#include "platform/win32/activate_window_win.h"
#include "platform/win32/error_text_win.h"
#include "platform/win32/message_pump_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

// Keys that live on the extended part of the keyboard; without the flag the
// target could read them as their number-pad twins.
bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RMENU:
    case VK_RCONTROL:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
      return true;
    default:
      return false;
  }
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

INPUT UnicodeInput(wchar_t unit, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = 0;  // must be 0 for Unicode input
  input.ki.wScan = static_cast<WORD>(unit);
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

bool IsDesktop(HWND window) {
  return window == nullptr || window == ::GetDesktopWindow() || window == ::GetShellWindow();
}

// The window that took the last input, and the window that owns it: a
// dialog or message box goes when a key closes it, and the window it
// belonged to is the one the next keys are for.
struct LastTarget {
  HWND window = nullptr;
  HWND owner = nullptr;
};
LastTarget g_lastTarget;

// A thread answers a sent message only when it reads its queue, and between
// two such answers it dispatches at least one queued message; so after as
// many round trips (WM_NULL, bounded by SMTO_ABORTIFHUNG and time-outs) as
// the input can make messages, the foreground thread has handled our input.
// When a key closes the window in front, nobody's window may be in front for
// a moment; the thread that took the keys is then reached through the window
// that owned the closed one.
void WaitUntilProcessed(size_t inputCount, HWND dialogWindow) {
  const size_t roundTrips = 2 * inputCount + 4;
  const ULONGLONG end = ::GetTickCount64() + 5000;
  ::Sleep(10);  // lets the system hand the input to the foreground queue
  for (size_t i = 0; i < roundTrips && ::GetTickCount64() < end; ++i) {
    HWND window = ::GetForegroundWindow();
    if (IsDesktop(window))
      window = ::IsWindow(g_lastTarget.window) ? g_lastTarget.window : g_lastTarget.owner;
    if (window == nullptr || !::IsWindow(window)) return;
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
      // Our own window: a sent message would be a plain call, so read the
      // queue ourselves.
      MessagePump pump(dialogWindow);
      if (!pump.PumpPending()) return;
      continue;
    }
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) {
      return;  // hung or gone: waiting longer would not help
    }
  }
}

// Keys that reach the desktop act on the desktop: there Alt+F4 means "shut
// down". The system normally brings the owner of a closed dialog to the
// front; when it has not (yet) done so, the window the last keys went to,
// or its owner, is brought there, or else a program's window is waited for.
HWND KeyTarget() {
  HWND foreground = ::GetForegroundWindow();
  if (!IsDesktop(foreground)) return foreground;
  for (HWND candidate : {g_lastTarget.window, g_lastTarget.owner}) {
    if (candidate == nullptr || !::IsWindow(candidate) || !::IsWindowVisible(candidate)) continue;
    if (ActivateWindow(candidate)) return candidate;
  }
  const ULONGLONG end = ::GetTickCount64() + 2000;
  while (::GetTickCount64() < end) {
    ::Sleep(10);
    foreground = ::GetForegroundWindow();
    if (!IsDesktop(foreground)) return foreground;
  }
  throw PlatformError(
      "The keystrokes could not be sent: no program's window was in front to take them, only the "
      "desktop.");
}

// Enter and Alt+F4 can close the window they reach, and the keys that follow
// are for the window it belonged to. Keys sent while it is still closing, or
// before the system has brought its owner to the front, reach no window; so
// wait for it to go, and bring the owner to the front where nothing else came.
// The window in front, when its thread has a window with the keyboard
// focus; keys sent while the focus is nowhere are lost.
bool FocusSettled() {
  const HWND foreground = ::GetForegroundWindow();
  if (IsDesktop(foreground)) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(foreground, nullptr), &info) &&
         info.hwndFocus != nullptr;
}

// Gives `window` the keyboard focus in its own thread's input state.
void GiveFocus(HWND window) {
  const DWORD self = ::GetCurrentThreadId();
  const DWORD target = ::GetWindowThreadProcessId(window, nullptr);
  DWORD_PTR answer = 0;
  // Joined input makes SetFocus wait for the other thread: only one that
  // answers is joined.
  if (target == 0 || target == self ||
      !::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &answer))
    return;
  if (!::AttachThreadInput(self, target, TRUE)) return;
  ::SetFocus(window);
  ::AttachThreadInput(self, target, FALSE);
}

void AwaitClosing(const LastTarget& target) {
  const ULONGLONG end = ::GetTickCount64() + 250;
  while (::IsWindow(target.window) && ::GetTickCount64() < end) ::Sleep(10);
  if (::IsWindow(target.window)) return;  // it stayed: the keys did something else
  const ULONGLONG settled = ::GetTickCount64() + 250;
  while (!FocusSettled() && ::GetTickCount64() < settled) ::Sleep(10);
  if (FocusSettled() || !::IsWindow(target.owner) || !::IsWindowVisible(target.owner)) return;
  if (::GetForegroundWindow() != target.owner) ActivateWindow(target.owner);
  if (!FocusSettled()) GiveFocus(target.owner);
}

void Send(std::vector<INPUT>& inputs, HWND dialogWindow, bool mayClose) {
  if (inputs.empty()) return;
  const HWND target = KeyTarget();
  g_lastTarget = {target, ::GetAncestor(target, GA_ROOTOWNER)};
  const UINT count = static_cast<UINT>(inputs.size());
  if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) {
    throw PlatformError("The keystrokes could not be sent to the window in front: " +
                   SystemErrorText(::GetLastError()));
  }
  WaitUntilProcessed(inputs.size(), dialogWindow);
  if (mayClose) AwaitClosing(g_lastTarget);
}

}  // namespace

std::vector<INPUT> KeyStrokeInputs(const std::vector<KeyStroke>& keys) {
  std::vector<INPUT> inputs;
  for (const KeyStroke& key : keys) {
    if (key.alt) inputs.push_back(KeyInput(VK_MENU, false));
    inputs.push_back(KeyInput(key.virtualKey, false));
    inputs.push_back(KeyInput(key.virtualKey, true));
    if (key.alt) inputs.push_back(KeyInput(VK_MENU, true));
  }
  return inputs;
}

std::vector<INPUT> TextInputs(const std::wstring& text) {
  std::vector<INPUT> inputs;
  inputs.reserve(text.size() * 2);
  for (wchar_t unit : text) {
    inputs.push_back(UnicodeInput(unit, false));
    inputs.push_back(UnicodeInput(unit, true));
  }
  return inputs;
}

void SendKeys(const std::vector<KeyStroke>& keys, HWND dialogWindow) {
  std::vector<INPUT> inputs = KeyStrokeInputs(keys);
  const bool mayClose = std::any_of(keys.begin(), keys.end(), [](const KeyStroke& key) {
    return key.virtualKey == VK_RETURN || (key.alt && key.virtualKey == VK_F4);
  });
  Send(inputs, dialogWindow, mayClose);
}

void SendText(const std::string& text, HWND dialogWindow) {
  std::vector<INPUT> inputs = TextInputs(ToWide(text));
  Send(inputs, dialogWindow, false);
}

}  // namespace quillon

// Other programs' top-level windows (found by title, brought to the front,
// their buttons clicked) and the keystrokes for whichever window has the
// keyboard focus, whatever program owns it. Waits for another program never
// block this one: they poll with this thread's messages flowing, and a
// thread that does not answer is not waited for beyond a time limit.

#include <algorithm>
#include <string_view>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

struct PrefixSearch {
  std::wstring_view prefix;
  HWND found = nullptr;
};

BOOL CALLBACK MatchPrefix(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<PrefixSearch*>(param);
  const int prefixLength = static_cast<int>(search.prefix.size());
  // GetWindowTextW reads another program's title without sending it a
  // message, so a hung window cannot stall the search.
  const int length = ::GetWindowTextLengthW(window);
  if (length < prefixLength) return TRUE;
  std::wstring title(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, title.data(), length + 1);
  if (copied < prefixLength) return TRUE;
  if (::CompareStringOrdinal(title.data(), prefixLength, search.prefix.data(), prefixLength,
                             TRUE) == CSTR_EQUAL) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

// The last answer a round trip received; each round trip waits for its own
// number, so a late answer to an abandoned one is harmless.
thread_local ULONG_PTR lastAnswer = 0;

void CALLBACK NoteAnswer(HWND, UINT, ULONG_PTR roundTrip, LRESULT) {
  lastAnswer = std::max(lastAnswer, roundTrip);
}

// A thread answers a sent message only when it reads its queue. True once
// `window`'s thread has answered one, within `limitMs`; false at once when
// the window is gone or its thread is hung.
bool RoundTrip(Win32Platform& platform, HWND window, std::uint32_t limitMs) {
  static thread_local ULONG_PTR lastSent = 0;
  const ULONG_PTR roundTrip = ++lastSent;
  if (window == nullptr || ::IsHungAppWindow(window) ||
      !::SendMessageCallbackW(window, WM_NULL, 0, 0, NoteAnswer, roundTrip))
    return false;
  return platform.PollUntil(limitMs, [&] { return lastAnswer >= roundTrip; });
}

void CALLBACK IgnoreAnswer(HWND, UINT, ULONG_PTR, LRESULT) {}

bool IsForeground(HWND window) {
  return ::GetForegroundWindow() == window;
}

// The system lets a program take the foreground when it sent the last input
// event; a mouse event without movement or buttons satisfies that and
// disturbs no window.
void SendHarmlessInput() {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  ::SendInput(1, &input, sizeof input);
}

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

bool IsDesktop(HWND window) {
  return window == nullptr || window == ::GetDesktopWindow() || window == ::GetShellWindow();
}

// The window that took the last input, the window that owns it (a dialog
// goes when a key closes it, and the window it belonged to is the one the
// next keys are for), and how many inputs it has been sent since it became
// the target.
struct LastTarget {
  HWND window = nullptr;
  HWND owner = nullptr;
  size_t inputs = 0;
};
LastTarget g_lastTarget;

// Keys that reach the desktop act on the desktop: there Alt+F4 means "shut
// down". The system normally brings the owner of a closed dialog to the
// front; when it has not (yet) done so, the window the last keys went to,
// or its owner, is brought there, or else a program's window is waited for.
HWND KeyTarget(Win32Platform& platform) {
  HWND foreground = ::GetForegroundWindow();
  if (!IsDesktop(foreground)) return foreground;
  const LastTarget last = g_lastTarget;
  for (HWND candidate : {last.window, last.owner}) {
    if (candidate == nullptr || !::IsWindow(candidate) || !::IsWindowVisible(candidate)) continue;
    if (platform.ActivateWindow(FromHwnd(candidate))) return candidate;
  }
  if (platform.PollUntil(2000, [&] { return !IsDesktop(foreground = ::GetForegroundWindow()); }))
    return foreground;
  throw PlatformError(
      "The keystrokes could not be sent: no program's window was in front to take them, only the "
      "desktop.");
}

// Whether the keyboard focus of the window's thread is in the window; keys
// sent while the focus is nowhere are lost.
bool FocusIn(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.hwndFocus == window || ::IsChild(window, info.hwndFocus));
}

bool FocusSettled() {
  const HWND foreground = ::GetForegroundWindow();
  return !IsDesktop(foreground) && FocusIn(foreground);
}

// Gives `window` the keyboard focus in its own thread's input state.
void GiveFocus(Win32Platform& platform, HWND window) {
  const DWORD self = ::GetCurrentThreadId();
  const DWORD target = ::GetWindowThreadProcessId(window, nullptr);
  // Joined input makes SetFocus wait for the other thread: only one that
  // answers is joined.
  if (target == 0 || target == self || !RoundTrip(platform, window, 500)) return;
  // A thread that had only not yet taken in its activation has set its
  // focus by the time it answers.
  if (FocusIn(window)) return;
  if (!::AttachThreadInput(self, target, TRUE)) return;
  ::SetFocus(window);
  ::AttachThreadInput(self, target, FALSE);
}

// Enter and Alt+F4 can close the window they reach, and the keys that follow
// are for the window it belonged to. Under Wine that window at times comes
// back to the front without the keyboard focus, and keys sent to it are
// lost; so once the closed window has gone, the window it belonged to is
// brought to the front and given the focus where nothing else took it.
void AwaitClosing(Win32Platform& platform, const LastTarget& target) {
  if (!platform.PollUntil(250, [&] { return !::IsWindow(target.window); }))
    return;  // it stayed: the keys did something else
  if (platform.PollUntil(250, FocusSettled) || !::IsWindow(target.owner) ||
      !::IsWindowVisible(target.owner))
    return;
  if (::GetForegroundWindow() != target.owner) platform.ActivateWindow(FromHwnd(target.owner));
  if (!FocusSettled()) GiveFocus(platform, target.owner);
}

// The whole input goes out in one SendInput call, so nothing the user types
// can land in between. It joins the foreground thread's input queue behind
// whatever was sent before, which that thread reads in order: the call does
// not wait for it to be read, only, for keys that may close the window in
// front, for that window to go.
void Send(Win32Platform& platform, std::vector<INPUT>& inputs, bool mayClose) {
  if (inputs.empty()) return;
  const HWND window = KeyTarget(platform);
  if (window != g_lastTarget.window)
    g_lastTarget = LastTarget{window, ::GetAncestor(window, GA_ROOTOWNER), 0};
  const UINT count = static_cast<UINT>(inputs.size());
  if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) {
    throw PlatformError("The keystrokes could not be sent to the window in front: " +
                        SystemErrorText(::GetLastError()));
  }
  g_lastTarget.inputs += inputs.size();
  // A copy: a send made from a message handled meanwhile cannot redirect it.
  const LastTarget target = g_lastTarget;
  if (mayClose) AwaitClosing(platform, target);
}

}  // namespace

WindowHandle Win32Platform::FindCaption(const std::string& caption) {
  return FromHwnd(::FindWindowW(nullptr, ToWide(caption).c_str()));
}

WindowHandle Win32Platform::FindCaptionPrefix(const std::string& prefix) {
  const std::wstring widePrefix = ToWide(prefix);
  PrefixSearch search{widePrefix};
  ::EnumWindows(MatchPrefix, reinterpret_cast<LPARAM>(&search));
  return FromHwnd(search.found);
}

// Restores the window when minimised and brings it to the foreground with the
// keyboard focus, also while this program is in the background.
bool Win32Platform::ActivateWindow(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  if (window == nullptr || !::IsWindow(window)) return false;
  // A program builds its window before it shows it, and the window carries
  // its title from the start: found that early, it cannot take the focus
  // yet, and keys sent to it are lost. It gets a moment to show.
  if (!PollUntil(2000, [&] { return ::IsWindowVisible(window) != FALSE; })) return false;
  if (::IsIconic(window)) {
    // Async: restoring a hung program's window must not hang this one.
    ::ShowWindowAsync(window, SW_RESTORE);
    PollUntil(1000, [&] { return !::IsIconic(window); });
  }
  if (::SetForegroundWindow(window) && PollUntil(50, [&] { return IsForeground(window); })) {
    // Under Wine a window can be in front without the focus (back from a
    // dialog that closed): keys would reach nothing.
    if (!FocusIn(window)) GiveFocus(*this, window);
    // Joining the thread's input to set the focus can cost the window its
    // place in front: then the full way below.
    if (IsForeground(window)) return true;
  }

  // Refused: the foreground lock protects the window the user works in.
  // Joined to the threads of the current foreground window and the target,
  // this thread counts as the one the user works with. Joined input makes
  // the calls below wait for those threads, so only threads that answer are
  // joined.
  const DWORD self = ::GetCurrentThreadId();
  const HWND foreground = ::GetForegroundWindow();
  const DWORD foregroundThread =
      RoundTrip(*this, foreground, 500) ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool targetAnswers = RoundTrip(*this, window, 500);
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
  return PollUntil(1000, [&] { return ::IsWindow(window) && IsForeground(window); });
}

WindowHandle Win32Platform::ForegroundWindow() {
  const HWND window = ::GetForegroundWindow();
  return IsDesktop(window) ? 0 : FromHwnd(window);
}

bool Win32Platform::WindowExists(WindowHandle window) {
  return ::IsWindow(ToHwnd(window)) != FALSE;
}

// Keys go to the focus of the thread in front. A window whose modal dialog
// is still being built is disabled, one still being shown is not visible, a
// thread that has not yet taken in its activation has another active
// window or the keyboard focus elsewhere (a dialog sets its focus once it
// has built itself), and a thread that has not yet read its queue would take
// new keys only after whatever came before them.
bool Win32Platform::ReadyForKeys(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  if (IsDesktop(window) || !IsForeground(window) || !::IsWindowVisible(window) ||
      !::IsWindowEnabled(window))
    return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ||
      info.hwndActive != window || (info.hwndFocus != window && !::IsChild(window, info.hwndFocus)))
    return false;
  return RoundTrip(*this, window, 1000);
}

bool Win32Platform::MenuOpen(WindowHandle handle) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(ToHwnd(handle), nullptr), &info) &&
         (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

void Win32Platform::ClickControl(WindowHandle handle, int controlId) {
  const HWND window = ToHwnd(handle);
  if (window == nullptr) return;
  const HWND control = ::GetDlgItem(window, controlId);
  if (control == nullptr) return;
  // Sent without waiting for the answer: the tool carries the click out on
  // its own thread, and a hung tool cannot stall this one. A thread takes
  // the messages sent to it in the order they come, so once it has answered
  // a round trip sent after the click, it has carried the click out (a
  // window the click brings up exists), or it is inside the dialog the click
  // opened. A posted click would wait behind anything the thread answers
  // first. A busy tool gets a second, a hung one nothing.
  if (::IsHungAppWindow(window) ||
      !::SendMessageCallbackW(control, BM_CLICK, 0, 0, IgnoreAnswer, 0))
    return;
  RoundTrip(*this, window, 1000);
}

void Win32Platform::SendKeys(const std::vector<KeyStroke>& keys) {
  std::vector<INPUT> inputs = KeyStrokeInputs(keys);
  // Enter on an open menu chooses an entry and closes no window: waiting for
  // the window in front to go would only cost time.
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const HWND front = ::GetForegroundWindow();
  const bool inMenu = !IsDesktop(front) &&
                      ::GetGUIThreadInfo(::GetWindowThreadProcessId(front, nullptr), &info) &&
                      (info.flags & GUI_INMENUMODE) != 0;
  const bool mayClose = !inMenu && std::any_of(keys.begin(), keys.end(), [](const KeyStroke& key) {
    return key.virtualKey == VK_RETURN || (key.alt && key.virtualKey == VK_F4);
  });
  Send(*this, inputs, mayClose);
}

// Every character goes out as itself (Unicode input), so "%+^~{}[]()" and
// letters outside any keyboard layout arrive unchanged.
void Win32Platform::SendText(const std::string& text) {
  std::vector<INPUT> inputs = TextInputs(ToWide(text));
  Send(*this, inputs, false);
}

// Between two answers to a sent message a thread reads at least one queued
// message, and every input makes at most two (a key and the character it
// translates to, or the key's release); so after as many round trips as
// that, and a few more, the thread has read all the input sent to it. A
// thread that stops answering is not waited for: it is hung or gone.
bool Win32Platform::TookInKeys(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  if (window == nullptr || !::IsWindow(window)) return false;
  const size_t pending = window == g_lastTarget.window ? g_lastTarget.inputs : 0;
  const bool ours = ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
  const std::uint64_t end = NowMilliseconds() + 5000;
  for (size_t i = 0; i < 2 * pending + 4; ++i) {
    const std::uint64_t now = NowMilliseconds();
    if (now >= end) return false;
    if (ours) {
      // A message sent to this thread's own window is a plain call that
      // reads no queue: read it here.
      PumpMessagesFor(0);
      continue;
    }
    const auto limit = static_cast<std::uint32_t>(std::min<std::uint64_t>(end - now, 1000));
    if (!RoundTrip(*this, window, limit)) return false;
  }
  if (window == g_lastTarget.window) g_lastTarget.inputs = 0;
  return true;
}

}  // namespace quillon

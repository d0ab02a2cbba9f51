// Keystrokes and literal text for one window of another program. They go
// out only while that window, or a window of the same program that it owns,
// is in front with the keyboard focus: injected input reaches whichever
// thread is in front when the system takes it in, and a window of another
// program (a reminder, a chat, the desktop the user clicked) must never get
// a key meant for a tool.

#include <algorithm>
#include <array>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_checks.h"

namespace quillon {
namespace {

// Keys that live on the extended part of the keyboard; without the flag the
// target could read them as their number-pad twins.
constexpr std::array<WORD, 17> kExtendedKeys = {
    VK_LEFT,   VK_RIGHT,  VK_UP,      VK_DOWN,  VK_HOME,     VK_END,  VK_PRIOR, VK_NEXT, VK_INSERT,
    VK_DELETE, VK_DIVIDE, VK_NUMLOCK, VK_RMENU, VK_RCONTROL, VK_LWIN, VK_RWIN,  VK_APPS};

INPUT KeyInput(WORD vk, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  const bool extended = std::ranges::find(kExtendedKeys, vk) != kExtendedKeys.end();
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
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

bool IsDown(int vk) {
  return (::GetAsyncKeyState(vk) & 0x8000) != 0;
}

// Shift, Ctrl, Alt and Win keys that are down: the user's, or stuck (a remote
// desktop session often leaves Ctrl so). Each side counts on its own; a
// generic key down with neither side stands for itself.
std::vector<WORD> HeldModifiers() {
  struct Sides {
    WORD generic, left, right;
  };
  static constexpr std::array<Sides, 4> kModifiers = {{{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                                       {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                                       {VK_MENU, VK_LMENU, VK_RMENU},
                                                       {0, VK_LWIN, VK_RWIN}}};
  std::vector<WORD> held;
  for (const Sides& sides : kModifiers) {
    const size_t before = held.size();
    for (WORD vk : {sides.left, sides.right})
      if (IsDown(vk)) held.push_back(vk);
    if (held.size() == before && sides.generic != 0 && IsDown(sides.generic))
      held.push_back(sides.generic);
  }
  return held;
}

// A key that no keyboard has and no program reads.
constexpr WORD kUnassignedKey = 0xE8;

// Let-go for every key in `held`. Alt or Win let go with nothing pressed
// since they went down would open the window's menu or the Start menu: a
// key that means nothing goes first.
std::vector<INPUT> LetGo(const std::vector<WORD>& held) {
  std::vector<INPUT> inputs;
  if (std::any_of(held.begin(), held.end(), [](WORD vk) {
        return vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN;
      })) {
    inputs.push_back(KeyInput(kUnassignedKey, false));
    inputs.push_back(KeyInput(kUnassignedKey, true));
  }
  for (WORD vk : held) inputs.push_back(KeyInput(vk, true));
  return inputs;
}

// Whether `owned` is `owner` or a window that `owner` owns, directly or
// through other owned windows (a message box of a dialog of the tool).
bool OwnedBy(HWND owned, HWND owner) {
  // Owner chains are short; the bound guards against a chain that loops.
  for (int depth = 0; owned != nullptr && depth < 16; ++depth) {
    if (owned == owner) return true;
    owned = ::GetWindow(owned, GW_OWNER);
  }
  return false;
}

// The window in front when keys sent now are for `window`: `window` itself,
// or a window of the same program that it owns (its dialog), with the
// keyboard focus inside it, or with its thread in a menu (the tool's own
// menu, which is the target of the keys that follow a menu key). Null
// otherwise: the desktop, another program, or a window of the tool without
// the focus.
HWND FrontWindowFor(HWND window) {
  const HWND front = ::GetForegroundWindow();
  if (window == nullptr || IsDesktop(front) || !OwnedBy(front, window)) return nullptr;
  DWORD frontProcess = 0;
  DWORD process = 0;
  const DWORD frontThread = ::GetWindowThreadProcessId(front, &frontProcess);
  if (::GetWindowThreadProcessId(window, &process) == 0 || frontProcess != process) return nullptr;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(frontThread, &info)) return nullptr;
  if ((info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0) return front;
  return info.hwndFocus != nullptr && (info.hwndFocus == front || ::IsChild(front, info.hwndFocus))
             ? front
             : nullptr;
}

bool InMenu(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMENUMODE) != 0;
}

}  // namespace

// Enter and Alt+F4 can close the window they reach, and the keys that follow
// are for the window it belonged to. Under Wine that window at times comes
// back to the front without the keyboard focus, and keys sent to it are
// lost; so once the closed window has gone, the window it belonged to is
// brought to the front and given the focus where nothing else took it. No
// other window is: what came to the front meanwhile is left alone.
void Win32Platform::AwaitClosing(HWND reached, HWND owner) {
  if (!WaitInStep(limits_.closeMs, [&] { return !::IsWindow(reached); }))
    return;  // it stayed: the keys did something else
  const auto focusSettled = [] {
    const HWND front = ::GetForegroundWindow();
    return !IsDesktop(front) && FocusIn(front);
  };
  if (owner == nullptr || WaitInStep(limits_.closeMs, focusSettled) || !::IsWindow(owner) ||
      !::IsWindowVisible(owner))
    return;
  if (::GetForegroundWindow() != owner) ActivateWindow(FromHwnd(owner));
  if (::GetForegroundWindow() == owner && !FocusIn(owner)) GiveFocus(owner);
}

// The whole input goes out in one SendInput call, so nothing the user types
// can land in between. It joins the input queue of the thread in front,
// behind whatever was sent before, which that thread reads in order: the
// call does not wait for it to be read, only, for keys that may close the
// window in front, for that window to go.
bool Win32Platform::Send(HWND window, std::vector<INPUT> inputs, bool mayClose) {
  if (window == nullptr || !::IsWindow(window)) return false;
  // The user's Shift, Ctrl, Alt or Win would change what the keys mean (Alt+F
  // with Ctrl held is AltGr+F on many layouts, and opens no menu): a moment
  // for the user to let go, and what is still held is let go first.
  WaitInStep(limits_.heldKeysMs, [] { return HeldModifiers().empty(); });
  // Checked right before the input goes out, and after any wait.
  if (!DesktopTakesInput()) return false;
  const HWND reached = FrontWindowFor(window);
  if (reached == nullptr) return false;
  // Enter on an open menu chooses an entry and closes no window.
  mayClose = mayClose && !InMenu(reached);
  HWND owner = ::GetAncestor(reached, GA_ROOTOWNER);
  if (owner == reached || !OwnedBy(reached, owner)) owner = nullptr;

  std::vector<INPUT> all = LetGo(HeldModifiers());
  all.insert(all.end(), inputs.begin(), inputs.end());
  if (all.empty()) return true;
  LASTINPUTINFO before{};
  before.cbSize = sizeof(before);
  const bool knewBefore = ::GetLastInputInfo(&before) != FALSE;
  const UINT count = static_cast<UINT>(all.size());
  if (::SendInput(count, all.data(), sizeof(INPUT)) != count) {
    throw PlatformError("The keystrokes could not be sent to the window in front: " +
                        SystemErrorText(::GetLastError()));
  }
  if (knewBefore) {
    // The user's input before a send is remembered only once: a second send
    // in a row would take the first one's input for the user's.
    if (!sentInput_ || static_cast<DWORD>(before.dwTime - ownInputTick_) > 50)
      userInputBeforeOwnTick_ = before.dwTime;
    ownInputTick_ = ::GetTickCount();
    sentInput_ = true;
  }
  const DWORD thread = ::GetWindowThreadProcessId(reached, nullptr);
  if (thread != keysThread_) keysPending_ = 0;
  keysThread_ = thread;
  keysPending_ += all.size();
  if (mayClose) AwaitClosing(reached, owner);
  return true;
}

bool Win32Platform::SendKeys(WindowHandle window, const std::vector<KeyStroke>& keys) {
  const bool mayClose = std::any_of(keys.begin(), keys.end(), [](const KeyStroke& key) {
    return key.virtualKey == VK_RETURN || (key.alt && key.virtualKey == VK_F4);
  });
  return Send(ToHwnd(window), KeyStrokeInputs(keys), mayClose);
}

// Every character goes out as itself (Unicode input), so "%+^~{}[]()" and
// letters outside any keyboard layout arrive unchanged.
bool Win32Platform::SendText(WindowHandle window, const std::string& text) {
  return Send(ToHwnd(window), TextInputs(ToWide(text)), false);
}

// Between two answers to a sent message a thread reads at least one queued
// message, and every input makes at most two (a key and the character it
// translates to, or the key's release); so after as many round trips as
// that, and a few more, the thread has read all the input sent to it. A
// thread that stops answering is not waited for: it is hung or gone.
bool Win32Platform::TookInKeys(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  if (window == nullptr || !::IsWindow(window)) return false;
  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  const size_t pending = thread == keysThread_ ? keysPending_ : 0;
  const bool ours = thread == ::GetCurrentThreadId();
  const std::uint64_t end = NowMilliseconds() + WithinStep(limits_.keysTakenInMs);
  for (size_t i = 0; i < 2 * pending + 4; ++i) {
    const std::uint64_t now = NowMilliseconds();
    if (now >= end) return false;
    if (ours) {
      // A message sent to this thread's own window is a plain call that
      // reads no queue: read it here.
      PumpMessagesFor(0);
      continue;
    }
    const auto limit =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(end - now, limits_.answerMs));
    if (!RoundTrip(window, limit)) return false;
  }
  if (thread == keysThread_) keysPending_ = 0;
  return true;
}

}  // namespace quillon

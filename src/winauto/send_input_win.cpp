#include "winauto/send_input_win.h"

#include "winauto/error_text_win.h"
#include "winauto/message_pump_win.h"
#include "winauto/utf_win.h"

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

// A thread answers a sent message only when it reads its queue, and between
// two such answers it dispatches at least one queued message; so after as
// many round trips (WM_NULL, bounded by SMTO_ABORTIFHUNG and time-outs) as
// the input can make messages, the foreground thread has handled our input.
void WaitUntilProcessed(size_t inputCount, HWND dialogWindow) {
  const size_t roundTrips = 2 * inputCount + 4;
  const ULONGLONG end = ::GetTickCount64() + 5000;
  ::Sleep(10);  // lets the system hand the input to the foreground queue
  for (size_t i = 0; i < roundTrips && ::GetTickCount64() < end; ++i) {
    const HWND foreground = ::GetForegroundWindow();
    if (foreground == nullptr) return;
    if (::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId()) {
      // Our own window: a sent message would be a plain call, so read the
      // queue ourselves.
      MessagePump pump(dialogWindow);
      if (!pump.PumpPending()) return;
      continue;
    }
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) {
      return;  // hung or gone: waiting longer would not help
    }
  }
}

void Send(std::vector<INPUT>& inputs, HWND dialogWindow) {
  if (inputs.empty()) return;
  const UINT count = static_cast<UINT>(inputs.size());
  if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) {
    throw JobError("The keystrokes could not be sent to the window in front: " +
                   SystemErrorText(::GetLastError()));
  }
  WaitUntilProcessed(inputs.size(), dialogWindow);
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
  Send(inputs, dialogWindow);
}

void SendText(const std::string& text, HWND dialogWindow) {
  std::vector<INPUT> inputs = TextInputs(ToWide(text));
  Send(inputs, dialogWindow);
}

}  // namespace quillon

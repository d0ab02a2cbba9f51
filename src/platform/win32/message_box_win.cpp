#include "platform/win32/message_box_win.h"

#include <string_view>

#include "platform/win32/handles_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

// A box that ends itself: the dialog window MessageBoxW made for it, and the
// timer that ends it. A box shown while another one waits (from a message
// handled under it) has its own; the innermost is linked first.
struct TimedBox {
  TimedBox();
  TimedBox(const TimedBox&) = delete;
  TimedBox& operator=(const TimedBox&) = delete;
  ~TimedBox();

  HWND box = nullptr;
  UINT_PTR timer = 0;
  TimedBox* const outer;
};
thread_local TimedBox* innermostTimedBox = nullptr;

TimedBox::TimedBox() : outer(innermostTimedBox) {
  innermostTimedBox = this;
}
TimedBox::~TimedBox() {
  innermostTimedBox = outer;
}

// MessageBoxW makes its dialog window before anything else: the first one
// this thread creates while the hook is in place is the box.
LRESULT CALLBACK NoteTheBox(int code, WPARAM wParam, LPARAM lParam) {
  TimedBox* timed = innermostTimedBox;
  if (code == HCBT_CREATEWND && timed != nullptr && timed->box == nullptr) {
    const auto window = reinterpret_cast<HWND>(wParam);
    wchar_t name[16] = {};
    const int length = ::GetClassNameW(window, name, 16);
    if (std::wstring_view(name, length > 0 ? static_cast<size_t>(length) : 0) == L"#32770")
      timed->box = window;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The box's own time is up: it ends as if its OK button had been pressed.
void CALLBACK EndTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  for (TimedBox* timed = innermostTimedBox; timed != nullptr; timed = timed->outer) {
    if (timed->timer != timer) continue;
    ::KillTimer(nullptr, timer);
    if (timed->box != nullptr && ::IsWindow(timed->box))
      ::SendMessageW(timed->box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(timed->box, IDOK)));
    return;
  }
}

}  // namespace

UINT MessageBoxStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return MB_OK | MB_ICONINFORMATION;
    case MessageIcon::Warning:
      return MB_OK | MB_ICONWARNING;
    case MessageIcon::Error:
      return MB_OK | MB_ICONERROR;
    case MessageIcon::None:
      break;
  }
  return MB_OK;
}

void ShowMessage(HWND owner, const std::string& text, const std::string& title, MessageIcon icon,
                 std::uint32_t closeAfterMs) {
  const std::wstring wideText = ToWide(text);
  const std::wstring wideTitle = ToWide(title);
  if (closeAfterMs == 0) {
    ::MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), MessageBoxStyle(icon));
    return;
  }
  TimedBox timed;
  // Should the system refuse the hook or the timer, the box still shows and
  // waits for its OK: the message itself must not be lost.
  const UniqueHook hook(::SetWindowsHookExW(WH_CBT, NoteTheBox, nullptr, ::GetCurrentThreadId()));
  const UniqueThreadTimer timer(::SetTimer(nullptr, 0, closeAfterMs, EndTheBox));
  timed.timer = timer.Get();
  ::MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), MessageBoxStyle(icon));
}

}  // namespace quillon

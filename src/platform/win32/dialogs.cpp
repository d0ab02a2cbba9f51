// The program's own dialogs, modal to the main window: the OK box, which can
// close itself after a while, and the text-input dialog.

#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/input_box_ids.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {

// A box that ends itself: the dialog window MessageBoxW made for it, and the
// timer that ends it. A box shown while another one waits (from a message
// handled under it) has its own; the innermost is linked first, from its
// platform.
struct TimedBox {
  explicit TimedBox(TimedBox*& innermost);
  TimedBox(const TimedBox&) = delete;
  TimedBox& operator=(const TimedBox&) = delete;
  ~TimedBox();

  HWND box = nullptr;
  UINT_PTR timer = 0;
  TimedBox*& innermost;
  TimedBox* const outer;
  TimedBox** const outerChain;
};

namespace {

// The chain of the boxes that the hook and the timer below serve. Neither
// names a receiver, and both are called only on this thread while a box
// shows: the box points here at its platform's chain for as long as it
// lives.
thread_local TimedBox** timedBoxes = nullptr;

}  // namespace

TimedBox::TimedBox(TimedBox*& innermostBox)
    : innermost(innermostBox),
      outer(innermostBox),
      outerChain(std::exchange(timedBoxes, &innermostBox)) {
  innermost = this;
}
TimedBox::~TimedBox() {
  innermost = outer;
  timedBoxes = outerChain;
}

namespace {

// MessageBoxW makes its dialog window before anything else: the first one
// this thread creates while the hook is in place is the box.
LRESULT CALLBACK NoteTheBox(int code, WPARAM wParam, LPARAM lParam) {
  TimedBox* timed = timedBoxes != nullptr ? *timedBoxes : nullptr;
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
  if (timedBoxes == nullptr) return;
  for (TimedBox* timed = *timedBoxes; timed != nullptr; timed = timed->outer) {
    if (timed->timer != timer) continue;
    ::KillTimer(nullptr, timer);
    if (timed->box != nullptr && ::IsWindow(timed->box))
      ::SendMessageW(timed->box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(timed->box, IDOK)));
    return;
  }
}

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

// Builds a dialog template in memory, so the dialog needs no resource script.
// Layout in dialog units; every record starts on a DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& title, short width, short height, WORD itemCount) {
    AddDword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    AddDword(0);  // extended style
    words_.push_back(itemCount);
    AddRect(0, 0, width, height);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    AddString(title);
    words_.push_back(8);  // point size
    AddString(L"MS Shell Dlg");
  }

  // `windowClass` is one of the predefined class atoms (0x0080 button,
  // 0x0081 edit, 0x0082 static).
  void AddItem(DWORD style, short x, short y, short cx, short cy, int id, WORD windowClass,
               const std::wstring& text) {
    if (words_.size() % 2 != 0) words_.push_back(0);
    AddDword(WS_CHILD | WS_VISIBLE | style);
    AddDword(0);
    AddRect(x, y, cx, cy);
    words_.push_back(static_cast<WORD>(id));
    words_.push_back(0xFFFF);
    words_.push_back(windowClass);
    AddString(text);
    words_.push_back(0);  // no creation data
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void AddDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void AddRect(short x, short y, short cx, short cy) {
    for (short value : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(value));
  }
  void AddString(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  // The allocation is aligned for any scalar, which covers the DWORD
  // alignment the template itself needs.
  std::vector<WORD> words_;
};

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

std::wstring ItemText(HWND dialog, int id) {
  const HWND item = ::GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
      ::SendMessageW(edit, EM_SETSEL, 0, -1);
      ::SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          auto* text = reinterpret_cast<std::wstring*>(::GetWindowLongPtrW(dialog, DWLP_USER));
          *text = ItemText(dialog, kInputBoxEditId);
          ::EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:  // also the close box and Esc
          ::EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void Win32Platform::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon,
                                std::uint32_t closeAfterMs) {
  const std::wstring wideText = ToWide(text);
  const std::wstring wideTitle = ToWide(title);
  if (closeAfterMs == 0) {
    ::MessageBoxW(mainWindow_, wideText.c_str(), wideTitle.c_str(), MessageBoxStyle(icon));
    return;
  }
  TimedBox timed(innermostTimedBox_);
  // Should the system refuse the hook or the timer, the box still shows and
  // waits for its OK: the message itself must not be lost.
  const UniqueHook hook(::SetWindowsHookExW(WH_CBT, NoteTheBox, nullptr, ::GetCurrentThreadId()));
  const UniqueThreadTimer timer(::SetTimer(nullptr, 0, closeAfterMs, EndTheBox));
  timed.timer = timer.Get();
  ::MessageBoxW(mainWindow_, wideText.c_str(), wideTitle.c_str(), MessageBoxStyle(icon));
}

std::optional<std::string> Win32Platform::InputBox(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& defaultText) {
  DialogTemplate dialog(ToWide(title), 240, 82, 4);
  // Creation order is the Tab order: the field first.
  dialog.AddItem(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 7, 62, 226, 13, kInputBoxEditId,
                 kEditClass, ToWide(defaultText));
  dialog.AddItem(WS_TABSTOP | BS_DEFPUSHBUTTON, 183, 7, 50, 14, IDOK, kButtonClass, L"OK");
  dialog.AddItem(WS_TABSTOP | BS_PUSHBUTTON, 183, 24, 50, 14, IDCANCEL, kButtonClass, L"Cancel");
  // No prefix: an "&" in the prompt is shown, not turned into an access key.
  dialog.AddItem(SS_LEFT | SS_NOPREFIX, 7, 7, 170, 50, kInputBoxPromptId, kStaticClass,
                 ToWide(prompt));

  std::wstring text;
  const INT_PTR result =
      ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.Get(), mainWindow_,
                                InputBoxProc, reinterpret_cast<LPARAM>(&text));
  if (result == -1 || result == 0) {
    throw PlatformError("Could not show the dialog " + Quoted(title) + ": " +
                        SystemErrorText(::GetLastError()));
  }
  if (result != IDOK) return std::nullopt;
  return ToUtf8(text);
}

}  // namespace quillon

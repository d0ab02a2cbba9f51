#include "platform/win32/input_box_win.h"

#include <vector>

#include "platform/win32/error_text_win.h"
#include "platform/win32/input_box_ids_win.h"
#include "platform/platform.h"
#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

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

struct InputBoxState {
  std::wstring text;
};

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
          auto* state = reinterpret_cast<InputBoxState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
          state->text = ItemText(dialog, kInputBoxEditId);
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

std::optional<std::string> InputBox(HWND owner, const std::string& prompt, const std::string& title,
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

  InputBoxState state;
  const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog.Get(), owner,
                                                   InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result == -1 || result == 0) {
    throw PlatformError("Could not show the dialog " + Quoted(title) + ": " +
                   SystemErrorText(::GetLastError()));
  }
  if (result != IDOK) return std::nullopt;
  return ToUtf8(state.text);
}

}  // namespace quillon

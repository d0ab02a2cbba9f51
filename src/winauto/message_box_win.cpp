#include "winauto/message_box_win.h"

#include "winauto/utf_win.h"

namespace quillon {

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

void ShowMessage(HWND owner, const std::string& text, const std::string& title, MessageIcon icon) {
  ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(title).c_str(), MessageBoxStyle(icon));
}

}  // namespace quillon

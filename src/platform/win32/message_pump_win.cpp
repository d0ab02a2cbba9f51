#include "platform/win32/message_pump_win.h"

namespace quillon {

MessagePump::~MessagePump() {
  if (quitCode_) ::PostQuitMessage(*quitCode_);
}

bool MessagePump::PumpPending() {
  if (quitCode_) return false;
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitCode_ = static_cast<int>(msg.wParam);
      return false;
    }
    if (dialogWindow_ != nullptr && ::IsDialogMessageW(dialogWindow_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace quillon

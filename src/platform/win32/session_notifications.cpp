#include "platform/win32/session_notifications.h"

#include <wtsapi32.h>

#include "platform/win32/system_library.h"

namespace quillon {

// Loaded rather than imported, as the other libraries the program needs only
// for one call: the program's start stays as light as it is.
SessionNotifications::SessionNotifications(HWND window)
    : library_(LoadFromSystemFolder(L"wtsapi32.dll")) {
  if (!library_ || window == nullptr) return;
  BOOL(WINAPI * registerWindow)(HWND, DWORD) = nullptr;
  Resolve(library_.Get(), "WTSRegisterSessionNotification", registerWindow);
  Resolve(library_.Get(), "WTSUnRegisterSessionNotification", unregister_);
  if (registerWindow == nullptr || unregister_ == nullptr ||
      !registerWindow(window, NOTIFY_FOR_THIS_SESSION))
    return;
  window_ = window;
}

SessionNotifications::~SessionNotifications() {
  if (window_ != nullptr) unregister_(window_);
}

std::optional<bool> SessionLockedBy(WPARAM reason) {
  switch (reason) {
    case WTS_SESSION_LOCK:
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
      return true;
    case WTS_SESSION_UNLOCK:
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      return false;
    default:
      return std::nullopt;
  }
}

}  // namespace quillon

#pragma once
// The system's word when this session is locked, unlocked, or its screen is
// taken away and given back (a remote connection, another user switched to).

#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"

namespace quillon {

// Has the system send `window` WM_WTSSESSION_CHANGE for this session, for as
// long as it lives; should the system refuse, nothing comes, and the desktop
// check alone tells a locked session.
class SessionNotifications {
 public:
  explicit SessionNotifications(HWND window);
  SessionNotifications(const SessionNotifications&) = delete;
  SessionNotifications& operator=(const SessionNotifications&) = delete;
  ~SessionNotifications();

 private:
  using Unregister = BOOL(WINAPI*)(HWND);

  UniqueModule library_;
  HWND window_ = nullptr;
  Unregister unregister_ = nullptr;
};

// Whether a WM_WTSSESSION_CHANGE reason means the session no longer takes
// input (locked, disconnected): true; back (unlocked, connected): false;
// nullopt for the reasons that say neither.
std::optional<bool> SessionLockedBy(WPARAM reason);

}  // namespace quillon

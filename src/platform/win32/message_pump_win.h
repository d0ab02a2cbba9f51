#pragma once
// Dispatches this thread's pending window messages during a wait, so the main
// window repaints, its timers tick and its buttons answer while a job pauses.

#include <windows.h>

#include <optional>

namespace quillon {

class MessagePump {
 public:
  // `dialogWindow` (may be null) gets IsDialogMessage treatment, so Tab and
  // its access keys keep working during the wait.
  explicit MessagePump(HWND dialogWindow) : dialogWindow_(dialogWindow) {}
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;
  // Puts back a WM_QUIT that the pump took, for the outer loop to end the
  // program with.
  ~MessagePump();

  // Dispatches every pending message. False once WM_QUIT has been taken: the
  // program is ending and the wait should stop.
  bool PumpPending();
  bool QuitSeen() const { return quitCode_.has_value(); }

 private:
  HWND dialogWindow_;
  std::optional<int> quitCode_;
};

}  // namespace quillon

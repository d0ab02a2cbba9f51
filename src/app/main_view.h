#pragma once
// How the main window's logic reaches what the user sees. The Win32 view
// mirrors the model into real controls; tests record the calls.

#include "app/control_ids.h"

namespace quillon {

class MainView {
 public:
  virtual ~MainView() = default;
  // The state of one control (enabled, value, caption, text, items) changed.
  virtual void ControlChanged(ControlId id) = 0;
  // The window caption changed.
  virtual void CaptionChanged() = 0;
  virtual void Minimise() = 0;
  // Restores the window from minimised to its normal size and shows it.
  virtual void Restore() = 0;
  virtual void SetTimer(TimerId timer, bool on) = 0;
  // Shows on the window's task-bar button that a job is running (an
  // indeterminate progress), or takes that away again.
  virtual void ShowBusyProgress(bool busy) = 0;
  // Closes the main window; the program ends with it.
  virtual void Close() = 0;
  // True once the user asked to close the window during a job.
  virtual bool CloseRequested() = 0;
};

}  // namespace quillon

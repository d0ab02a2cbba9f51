#pragma once
// The progress state on the main window's task-bar button: while a job runs
// the window is minimised, and the button is what the user sees of it.

#include <windows.h>

#include <shobjidl.h>

#include <optional>

#include "platform/win32/handles.h"

namespace quillon {

class TaskbarProgress {
 public:
  // Busy: the button shows an indeterminate progress; otherwise none. Does
  // nothing where the shell offers no task-bar list.
  void Show(HWND window, bool busy);
  // The shell made the window's button (again, e.g. after it restarted):
  // the state it lost is shown once more.
  void ButtonCreated(HWND window);

 private:
  ITaskbarList3* List();

  // COM on this thread from the first use on, for as long as the list is
  // held: declared first, so it ends after the list is released.
  std::optional<ComScope> com_;
  UniqueCom<ITaskbarList3> list_;
  bool unavailable_ = false;
  bool busy_ = false;
};

}  // namespace quillon

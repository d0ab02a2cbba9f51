#include "app/win32/taskbar_progress.h"

namespace quillon {

// Made on first use: most runs never start a job. A shell without the
// interface (before Windows 7) or one that refuses it leaves the button as
// it is, and the job goes on.
ITaskbarList3* TaskbarProgress::List() {
  if (list_ || unavailable_) return list_.Get();
  if (!com_) com_.emplace();
  if (FAILED(ComCreateInstance(__uuidof(TaskbarList), __uuidof(ITaskbarList3),
                               reinterpret_cast<void**>(list_.Put()))) ||
      !list_) {
    list_.Reset();
    unavailable_ = true;
    return nullptr;
  }
  if (FAILED(list_.Get()->HrInit())) {
    list_.Reset();
    unavailable_ = true;
  }
  return list_.Get();
}

void TaskbarProgress::Show(HWND window, bool busy) {
  busy_ = busy;
  if (window == nullptr) return;
  if (ITaskbarList3* list = List())
    list->SetProgressState(window, busy ? TBPF_INDETERMINATE : TBPF_NOPROGRESS);
}

void TaskbarProgress::ButtonCreated(HWND window) {
  if (busy_) Show(window, true);
}

}  // namespace quillon

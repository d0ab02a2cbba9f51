#pragma once

#include <windows.h>

namespace quillon {

// Restores `window` when minimised and brings it to the foreground with the
// keyboard focus, also while this program is in the background. False when
// the window is gone or the system kept another window in front.
bool ActivateWindow(HWND window);

}  // namespace quillon

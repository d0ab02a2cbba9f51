#pragma once
// Other programs' top-level windows, found by title, and their buttons.

#include <windows.h>

#include <string>

namespace quillon {

// A top-level window whose whole title equals `caption`, ignoring case.
HWND FindCaption(const std::string& caption);
// The first top-level window, in Z order, whose title begins with `prefix`,
// ignoring case.
HWND FindCaptionPrefix(const std::string& prefix);
// Posts a click to the direct child `controlId` of `window` and waits (a
// second at most) until the window's thread has carried it out; nothing
// happens when there is no such control.
void ClickControl(HWND window, int controlId);

}  // namespace quillon

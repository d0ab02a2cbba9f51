#pragma once
// Keystrokes for whichever window has the keyboard focus, whatever program
// owns it.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon {

// Both send their whole input in one SendInput call, so nothing the user
// types can land in between, and return once the foreground window's thread
// has taken it in. Throw PlatformError when the system refuses the input.
// `dialogWindow` serves the case that this thread itself owns the focus.
void SendKeys(const std::vector<KeyStroke>& keys, HWND dialogWindow);
// Every character goes out as itself (Unicode input), so "%+^~{}[]()" and
// letters outside any keyboard layout arrive unchanged.
void SendText(const std::string& text, HWND dialogWindow);

// The INPUT records the two calls send, exposed for tests.
std::vector<INPUT> KeyStrokeInputs(const std::vector<KeyStroke>& keys);
std::vector<INPUT> TextInputs(const std::wstring& text);

}  // namespace quillon

#pragma once

#include <windows.h>

#include <string>

#include "winauto/platform.h"

namespace quillon {

// The MessageBoxW style for an OK box with `icon`.
UINT MessageBoxStyle(MessageIcon icon);
// A message box with an OK button, modal to `owner` (may be null).
void ShowMessage(HWND owner, const std::string& text, const std::string& title, MessageIcon icon);

}  // namespace quillon

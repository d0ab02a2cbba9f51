#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace quillon {

// The MessageBoxW style for an OK box with `icon`.
UINT MessageBoxStyle(MessageIcon icon);
// A message box with an OK button, modal to `owner` (may be null). With
// `closeAfterMs` above 0 it ends itself after that long, as if OK had been
// pressed.
void ShowMessage(HWND owner, const std::string& text, const std::string& title, MessageIcon icon,
                 std::uint32_t closeAfterMs);

}  // namespace quillon

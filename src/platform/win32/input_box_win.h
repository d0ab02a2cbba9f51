#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillon {

// A modal dialog, owned by `owner` (may be null), titled `title`, showing
// `prompt` (line breaks allowed) above a text field that starts with
// `defaultText` selected, and OK and Cancel buttons. The field's text after
// OK; nullopt after Cancel or closing the dialog. Throws PlatformError when the
// dialog cannot be shown.
std::optional<std::string> InputBox(HWND owner, const std::string& prompt, const std::string& title,
                                    const std::string& defaultText);

}  // namespace quillon

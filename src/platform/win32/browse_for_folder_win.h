#pragma once

#include <windows.h>

#include <string>

namespace quillon {

// The shell's folder picker, modal to `owner`, offering only file-system
// folders. The chosen folder's path, or "" when cancelled or when the choice
// has no path.
std::string BrowseForFolder(HWND owner, const std::string& title);

}  // namespace quillon

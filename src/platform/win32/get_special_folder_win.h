#pragma once

#include <string>

namespace quillon {

// The file-system path of a shell special folder (a CSIDL value) without a
// trailing backslash (a drive root keeps its own); "" when the shell does not
// know the folder or it has no path.
std::string GetSpecialFolder(int csidl);

}  // namespace quillon

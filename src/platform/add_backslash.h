#pragma once
#include <string>

namespace quillon {

// The path with "\" appended when its last character is not "\" (an empty
// path gets one too).
std::string AddBackslash(const std::string& path);

}  // namespace quillon

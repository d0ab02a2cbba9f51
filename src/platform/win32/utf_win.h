#pragma once
// The program logic speaks UTF-8; the Win32 calls it reaches are the wide
// ones. These two conversions are the whole boundary.

#include <string>
#include <string_view>

namespace quillon {

// Bytes that are not valid UTF-8 become U+FFFD.
std::wstring ToWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::wstring_view wide);

}  // namespace quillon

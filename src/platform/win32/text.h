#pragma once
// The program logic speaks UTF-8; the Win32 calls it reaches are the wide
// ones. These conversions are the whole boundary, together with the system's
// wording of its errors for the messages built from them.

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Bytes that are not valid UTF-8 become U+FFFD.
std::wstring ToWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::wstring_view wide);
// The text in the system's ANSI code page, or nullopt when a character has
// no exact form there (the outside tools would read or show a silent "?" or
// a look-alike).
std::optional<std::string> ToAnsi(std::wstring_view wide);

// "Access is denied." for ERROR_ACCESS_DENIED; "error 1234" when the system
// has no text for the code.
std::string SystemErrorText(unsigned long error);

// A path in double quotes, as the messages show it.
inline std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace quillon

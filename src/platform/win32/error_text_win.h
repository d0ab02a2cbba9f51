#pragma once
// The system's own wording for a Win32 error code, for messages to the user.

#include <string>

namespace quillon {

// "Access is denied." for ERROR_ACCESS_DENIED; "error 1234" when the system
// has no text for the code.
std::string SystemErrorText(unsigned long error);

// A path in double quotes, as the messages show it.
inline std::string Quoted(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace quillon

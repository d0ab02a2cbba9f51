#include "platform/win32/command_line_win.h"

#include <windows.h>

#include "platform/win32/utf_win.h"

namespace quillon {

std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine) {
  const auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  size_t pos = 0;
  while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
  if (pos < commandLine.size() && commandLine[pos] == L'"') {
    // A quoted name ends at the next quote; there is no escape inside it.
    const size_t close = commandLine.find(L'"', pos + 1);
    pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (pos < commandLine.size() && !isBlank(commandLine[pos])) ++pos;
  }
  while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

std::string ProgramArguments() {
  const wchar_t* raw = ::GetCommandLineW();
  return raw == nullptr ? std::string() : ToUtf8(ArgumentsAfterProgramName(raw));
}

}  // namespace quillon

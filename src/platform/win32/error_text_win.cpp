#include "platform/win32/error_text_win.h"

#include <windows.h>

#include <string_view>

#include "platform/win32/utf_win.h"

namespace quillon {

std::string SystemErrorText(unsigned long error) {
  wchar_t buffer[512] = {};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring_view text(buffer, length);
  // The system's texts end in a line break, which a message box would show.
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.remove_suffix(1);
  }
  if (text.empty()) return "error " + std::to_string(error);
  return ToUtf8(text);
}

}  // namespace quillon

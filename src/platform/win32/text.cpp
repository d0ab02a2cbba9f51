#include "platform/win32/text.h"

#include <windows.h>

namespace quillon {

std::wstring ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int needed = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
  return wide;
}

std::string ToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

std::optional<std::string> ToAnsi(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const UINT codePage = ::GetACP();
  const int length = static_cast<int>(wide.size());
  // With UTF-8 as the system code page every character fits, and the call
  // refuses the flags and the default-character check.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int needed = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0,
                                           nullptr, usedDefaultOut);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string ansi(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), length, ansi.data(), needed, nullptr,
                        usedDefaultOut);
  if (usedDefault) return std::nullopt;
  return ansi;
}

std::string SystemErrorText(unsigned long error) {
  wchar_t buffer[512] = {};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring_view text(buffer, length);
  // The system's texts end in a line break, which a message box would show.
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.remove_suffix(1);
  if (text.empty()) return "error " + std::to_string(error);
  return ToUtf8(text);
}

}  // namespace quillon

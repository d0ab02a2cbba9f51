#include "platform/win32/ansi_text_file_win.h"

#include <windows.h>

#include "platform/win32/error_text_win.h"
#include "platform/win32/handles_win.h"
#include "platform/platform.h"
#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

// The text in the ANSI code page, or nullopt when a character has no exact
// form there (the outside tools would read a silent "?" or a look-alike).
std::optional<std::string> ToAnsi(const std::wstring& wide) {
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

}  // namespace

void WriteAnsiTextFile(const std::string& path, const std::string& text) {
  const std::optional<std::string> ansi = ToAnsi(ToWide(text));
  if (!ansi) {
    throw PlatformError("Could not write " + Quoted(path) + ": it would hold characters that the " +
                   "system's code page (" + std::to_string(::GetACP()) + ") cannot represent.");
  }
  const std::wstring widePath = ToWide(path);
  UniqueHandle file(::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    throw PlatformError("Could not write " + Quoted(path) + ": " + SystemErrorText(::GetLastError()));
  }
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file.Get(), ansi->data(), static_cast<DWORD>(ansi->size()), &written, nullptr);
  const DWORD error = ::GetLastError();
  if (!ok || written != ansi->size()) {
    // A half-written script is worse than none: the tool would run it.
    file.Reset();
    ::DeleteFileW(widePath.c_str());
    throw PlatformError("Could not write " + Quoted(path) + ": " + SystemErrorText(error));
  }
}

}  // namespace quillon

#include "platform/win32/program_paths_win.h"

#include <windows.h>

#include "platform/win32/utf_win.h"

namespace quillon {

std::wstring ExecutablePath() {
  // The call cuts the path silently when the buffer is too short, so grow
  // it until the answer fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOfPath(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring_view::npos) return {};
  // "C:\x" and "\x": the backslash is the root's own and stays.
  const bool isRoot = slash == 0 || (slash == 2 && path[1] == L':');
  return std::wstring(path.substr(0, isRoot ? slash + 1 : slash));
}

std::wstring BaseNameWithoutExtension(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/:");
  std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring_view::npos && dot > 0) name = name.substr(0, dot);
  return std::wstring(name);
}

std::string ExecutableFolder() {
  return ToUtf8(FolderOfPath(ExecutablePath()));
}

std::string WorkingFolder() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring folder(needed, L'\0');
  const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
  folder.resize(length < needed ? length : 0);
  return ToUtf8(folder);
}

}  // namespace quillon

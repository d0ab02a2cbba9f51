#include "platform/win32/get_special_folder_win.h"

#include <string_view>

#include "platform/win32/handles_win.h"
#include "platform/win32/shell_library_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {

std::string GetSpecialFolder(int csidl) {
  const ShellFunctions& shell = Shell();
  if (shell.GetSpecialFolderLocation == nullptr || shell.GetPathFromIDList == nullptr) return {};
  UniquePidl folder;
  if (shell.GetSpecialFolderLocation(nullptr, csidl, folder.Put()) != S_OK || !folder) return {};
  wchar_t buffer[MAX_PATH] = {};
  if (!shell.GetPathFromIDList(folder.Get(), buffer)) return {};
  std::wstring_view path(buffer);
  if (path.size() > 3 && path.back() == L'\\') path.remove_suffix(1);
  return ToUtf8(path);
}

}  // namespace quillon

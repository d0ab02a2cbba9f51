#include "winauto/get_special_folder_win.h"

#include <string_view>

#include "winauto/handles_win.h"
#include "winauto/shell_library_win.h"
#include "winauto/utf_win.h"

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

#include "platform/win32/browse_for_folder_win.h"

#include "platform/win32/handles_win.h"
#include "platform/win32/shell_library_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {

std::string BrowseForFolder(HWND owner, const std::string& title) {
  const ShellFunctions& shell = Shell();
  if (shell.BrowseForFolder == nullptr || shell.GetPathFromIDList == nullptr) return {};
  ComScope com;  // the picker is built from shell (COM) objects
  const std::wstring wideTitle = ToWide(title);
  BROWSEINFOW request = {};
  request.hwndOwner = owner;
  request.lpszTitle = wideTitle.c_str();
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  UniquePidl chosen(shell.BrowseForFolder(&request));
  if (!chosen) return {};
  wchar_t path[MAX_PATH] = {};
  if (!shell.GetPathFromIDList(chosen.Get(), path)) return {};
  return ToUtf8(path);
}

}  // namespace quillon

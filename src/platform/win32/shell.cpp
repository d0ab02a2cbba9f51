// The shell: the folder picker, special folders and the shell's verbs. The
// few shell functions the program calls are taken from the shell library
// when first needed rather than imported. Importing it would load it, and the
// common-controls library it depends on, into every start of the program,
// although most runs never open the folder picker or the shell: that load was
// the larger part of the program's start-up time and private memory.

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "platform/win32/handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

struct LoadedShell {
  UniqueModule library;
  decltype(&::SHBrowseForFolderW) BrowseForFolder = nullptr;
  decltype(&::SHGetPathFromIDListW) GetPathFromIDList = nullptr;
  decltype(&::SHGetPathFromIDListEx) GetLongPathFromIDList = nullptr;
  decltype(&::SHGetSpecialFolderLocation) GetSpecialFolderLocation = nullptr;
  decltype(&::ShellExecuteW) Execute = nullptr;

  LoadedShell() : library(LoadFromSystemFolder(L"shell32.dll")) {
    if (!library) return;
    Resolve(library.Get(), "SHBrowseForFolderW", BrowseForFolder);
    Resolve(library.Get(), "SHGetPathFromIDListW", GetPathFromIDList);
    Resolve(library.Get(), "SHGetPathFromIDListEx", GetLongPathFromIDList);
    Resolve(library.Get(), "SHGetSpecialFolderLocation", GetSpecialFolderLocation);
    Resolve(library.Get(), "ShellExecuteW", Execute);
  }
};

// The longest path the system's file functions take, in UTF-16 units.
constexpr DWORD kLongestPath = 32768;

// The functions, loaded on the first call and kept for the life of the
// process. A function the library does not have stays null, and the caller
// treats it as a failure of that call.
const LoadedShell& Shell() {
  static const LoadedShell shell;
  return shell;
}

}  // namespace

std::string Win32Platform::BrowseForFolder(const std::string& title) {
  const LoadedShell& shell = Shell();
  if (shell.BrowseForFolder == nullptr || shell.GetPathFromIDList == nullptr) return {};
  ComScope com;  // the picker is built from shell (COM) objects
  const std::wstring wideTitle = ToWide(title);
  BROWSEINFOW request = {};
  request.hwndOwner = mainWindow_;
  request.lpszTitle = wideTitle.c_str();
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  UniquePidl chosen(shell.BrowseForFolder(&request));
  if (!chosen) return {};
  // The classic call fails on a path longer than MAX_PATH, which would look
  // like Cancel: the path comes whole, and the caller judges its length.
  if (shell.GetLongPathFromIDList != nullptr) {
    std::wstring path(kLongestPath, L'\0');
    if (!shell.GetLongPathFromIDList(chosen.Get(), path.data(), kLongestPath, GPFIDL_DEFAULT))
      return {};
    path.resize(std::wcslen(path.c_str()));
    return ToUtf8(path);
  }
  wchar_t path[MAX_PATH] = {};
  if (!shell.GetPathFromIDList(chosen.Get(), path)) return {};
  return ToUtf8(path);
}

std::string Win32Platform::GetSpecialFolder(SpecialFolder which) {
  const int csidl = which == SpecialFolder::AppData ? CSIDL_APPDATA : CSIDL_LOCAL_APPDATA;
  const LoadedShell& shell = Shell();
  if (shell.GetSpecialFolderLocation == nullptr || shell.GetPathFromIDList == nullptr) return {};
  UniquePidl folder;
  if (shell.GetSpecialFolderLocation(nullptr, csidl, folder.Put()) != S_OK || !folder) return {};
  wchar_t buffer[MAX_PATH] = {};
  if (!shell.GetPathFromIDList(folder.Get(), buffer)) return {};
  std::wstring_view path(buffer);
  if (path.size() > 3 && path.back() == L'\\') path.remove_suffix(1);
  return ToUtf8(path);
}

void Win32Platform::ShellOpen(const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& folder,
                              int showStyle) {
  const LoadedShell& shell = Shell();
  if (shell.Execute == nullptr) return;
  ComScope com;  // the shell may hand the verb to COM-based handlers
  const std::wstring wideVerb = ToWide(verb);
  const std::wstring wideFile = ToWide(file);
  const std::wstring wideParameters = ToWide(parameters);
  const std::wstring wideFolder = ToWide(folder);
  shell.Execute(nullptr, wideVerb.empty() ? nullptr : wideVerb.c_str(), wideFile.c_str(),
                wideParameters.empty() ? nullptr : wideParameters.c_str(),
                wideFolder.empty() ? nullptr : wideFolder.c_str(), showStyle);
}

}  // namespace quillon

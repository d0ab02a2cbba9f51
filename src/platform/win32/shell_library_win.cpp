#include "platform/win32/shell_library_win.h"

#include <string>

#include "platform/win32/handles_win.h"

namespace quillon {
namespace {

template <typename Function>
void Resolve(HMODULE library, const char* name, Function& function) {
  // A detour through void(*)(), the type that any function pointer may be
  // cast to and from, because GetProcAddress knows no signatures.
  function =
      reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

// By its full path in the system folder, never from the program's or the
// current folder, where a planted copy would otherwise be found. (The search
// flag that says the same needs an update on Windows 7 without which the
// load would fail there.)
UniqueModule LoadFromSystemFolder(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return UniqueModule();
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  return UniqueModule(::LoadLibraryW(path.c_str()));
}

struct LoadedShell {
  UniqueModule library;
  ShellFunctions functions;

  LoadedShell() : library(LoadFromSystemFolder(L"shell32.dll")) {
    if (!library) return;
    Resolve(library.Get(), "SHBrowseForFolderW", functions.BrowseForFolder);
    Resolve(library.Get(), "SHGetPathFromIDListW", functions.GetPathFromIDList);
    Resolve(library.Get(), "SHGetSpecialFolderLocation", functions.GetSpecialFolderLocation);
    Resolve(library.Get(), "ShellExecuteW", functions.Execute);
  }
};

}  // namespace

const ShellFunctions& Shell() {
  static const LoadedShell shell;
  return shell.functions;
}

}  // namespace quillon

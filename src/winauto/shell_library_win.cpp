#include "winauto/shell_library_win.h"

#include "winauto/handles_win.h"

namespace quillon {
namespace {

template <typename Function>
void Resolve(HMODULE library, const char* name, Function& function) {
  // A detour through void(*)(), the type that any function pointer may be
  // cast to and from, because GetProcAddress knows no signatures.
  function =
      reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

struct LoadedShell {
  UniqueModule library;
  ShellFunctions functions;

  LoadedShell()
      // Only from the system folder, never from the program's or the current
      // folder, where a planted copy would otherwise be loaded.
      : library(::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
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

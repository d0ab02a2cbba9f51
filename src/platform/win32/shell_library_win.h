#pragma once
// The few shell functions the program calls, taken from the shell library
// when first needed rather than imported. Importing it would load it, and the
// common-controls library it depends on, into every start of the program,
// although most runs never open the folder picker or the shell: that load was
// the larger part of the program's start-up time and private memory.

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

namespace quillon {

struct ShellFunctions {
  decltype(&::SHBrowseForFolderW) BrowseForFolder = nullptr;
  decltype(&::SHGetPathFromIDListW) GetPathFromIDList = nullptr;
  decltype(&::SHGetSpecialFolderLocation) GetSpecialFolderLocation = nullptr;
  decltype(&::ShellExecuteW) Execute = nullptr;
};

// The functions, loaded on the first call and kept for the life of the
// process. A function the library does not have stays null, and the caller
// treats it as a failure of that call.
const ShellFunctions& Shell();

}  // namespace quillon

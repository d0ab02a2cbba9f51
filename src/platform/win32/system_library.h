#pragma once
// A system library loaded when a function of it is first needed rather than
// imported: an import loads the library, and everything it brings, into
// every start of the program.

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace quillon {

// By its full path in the system folder, never from the program's or the
// current folder, where a planted copy would otherwise be found. (The search
// flag that says the same needs an update on Windows 7 without which the
// load would fail there.)
inline UniqueModule LoadFromSystemFolder(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return UniqueModule();
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  return UniqueModule(::LoadLibraryW(path.c_str()));
}

// `function` from `library`, or null when the library lacks it.
template <typename Function>
void Resolve(HMODULE library, const char* name, Function& function) {
  // A detour through void(*)(), the type that any function pointer may be
  // cast to and from, because GetProcAddress knows no signatures.
  function =
      reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

}  // namespace quillon

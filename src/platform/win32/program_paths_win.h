#pragma once
// Where this program lives and was started from.

#include <string>
#include <string_view>

namespace quillon {

// Full path of this program's executable file.
std::wstring ExecutablePath();
// The folder part of a file path, without the separating backslash; a drive
// root keeps its own ("C:\prog.exe" gives "C:\"). "" when there is none.
std::wstring FolderOfPath(std::wstring_view path);
// "C:\tools\Quillon.exe" gives "Quillon".
std::wstring BaseNameWithoutExtension(std::wstring_view path);

// UTF-8 answers for the platform seam.
std::string ExecutableFolder();
std::string WorkingFolder();

}  // namespace quillon

#pragma once
// Starting other programs.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/handles_win.h"

namespace quillon {

struct StartedProcess {
  UniqueHandle process;
  DWORD id = 0;
};

// Starts `commandLine` (program path first, quoted by the caller when it
// holds blanks) as a new process whose first window uses `showStyle`.
// nullopt when the program cannot be started.
std::optional<StartedProcess> StartProcess(const std::string& commandLine, int showStyle);

// The shell's verb on a file; the outcome is not looked at.
void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& folder, int showStyle);

}  // namespace quillon

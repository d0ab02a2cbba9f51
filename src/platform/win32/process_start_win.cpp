#include "platform/win32/process_start_win.h"

#include "platform/win32/shell_library_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {

std::optional<StartedProcess> StartProcess(const std::string& commandLine, int showStyle) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring writable = ToWide(commandLine);
  // A command line that as a whole names an existing file, quoted or not, is
  // that program, started without arguments: named as the application,
  // "C:\Program Files\x\t.exe" can never start "C:\Program.exe" the way the
  // system's search of a blank-split line would.
  std::wstring application = writable;
  if (application.size() >= 2 && application.front() == L'"' && application.back() == L'"')
    application = application.substr(1, application.size() - 2);
  const DWORD attributes = application.find(L'"') == std::wstring::npos
                               ? ::GetFileAttributesW(application.c_str())
                               : INVALID_FILE_ATTRIBUTES;
  const bool wholeIsProgram =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showStyle);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(wholeIsProgram ? application.c_str() : nullptr, writable.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return std::nullopt;
  }
  UniqueHandle thread(info.hThread);  // not needed: closed at once
  StartedProcess started;
  started.process.Reset(info.hProcess);
  started.id = info.dwProcessId;
  return started;
}

void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& folder, int showStyle) {
  const ShellFunctions& shell = Shell();
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

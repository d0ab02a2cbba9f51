// Other programs started, waited for and ended, and this program's own
// command line.

#include <optional>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

struct StartedProcess {
  UniqueHandle process;
  DWORD id = 0;
};

// Starts `commandLine` (program path first, quoted by the caller when it
// holds blanks) as a new process whose first window uses `showStyle`.
// nullopt when the program cannot be started, and `failure` says why.
std::optional<StartedProcess> StartProcess(Win32Platform& platform, const std::string& commandLine,
                                           int showStyle, std::string* failure = nullptr) {
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
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessW(wholeIsProgram ? application.c_str() : nullptr, writable.data(), nullptr,
                         nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      break;
    // Under Wine a start now and then fails while another program is still
    // ending. A failed start leaves no process behind, so one more try
    // cannot run a tool twice; a program that is missing or is no program
    // fails again, and is not tried again.
    const DWORD error = ::GetLastError();
    if (attempt == 2 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_BAD_EXE_FORMAT || error == ERROR_ACCESS_DENIED) {
      if (failure != nullptr) *failure = SystemErrorText(error);
      return std::nullopt;
    }
    platform.PollUntil(250, [] { return false; });
  }
  UniqueHandle thread(info.hThread);  // not needed: closed at once
  StartedProcess started;
  started.process.Reset(info.hProcess);
  started.id = info.dwProcessId;
  return started;
}

}  // namespace

ProcessOutcome Win32Platform::ShellWait(const std::string& commandLine, int showStyle,
                                        std::uint32_t timeoutMs) {
  ProcessOutcome outcome;
  std::optional<StartedProcess> started =
      StartProcess(*this, commandLine, showStyle, &outcome.startFailure);
  if (!started) return outcome;
  outcome.started = true;

  // Opened while the creation handle still pins the process id, so the id
  // cannot have been handed to another process in between.
  UniqueHandle process(::OpenProcess(
      SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, started->id));
  if (!process) process = std::move(started->process);
  started->process.Reset();

  const DWORD waited = ::WaitForSingleObject(process.Get(), timeoutMs);
  if (waited == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    outcome.finished = true;
    outcome.exitCode = exitCode;
    return outcome;
  }
  if (waited != WAIT_TIMEOUT) {
    outcome.waitFailure = waited == WAIT_FAILED
                              ? SystemErrorText(::GetLastError())
                              : "the wait ended with the value " + std::to_string(waited);
  }
  // The job goes no further with this tool, so it must not go on running.
  if (!::TerminateProcess(process.Get(), 1)) {
    DWORD exitCode = 0;
    // It may have ended on its own in the meantime.
    outcome.stillRunning =
        !::GetExitCodeProcess(process.Get(), &exitCode) || exitCode == STILL_ACTIVE;
    return outcome;
  }
  // Termination is asynchronous; give it a moment so the program's files
  // are closed before the job reports the failure.
  ::WaitForSingleObject(process.Get(), 5000);
  return outcome;
}

bool Win32Platform::StartProgram(const std::string& commandLine, int showStyle) {
  std::optional<StartedProcess> started = StartProcess(*this, commandLine, showStyle);
  if (!started) return false;
  std::erase_if(started_, [](const UniqueHandle& process) {
    return ::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT;
  });
  started_.push_back(std::move(started->process));
  return true;
}

void Win32Platform::EndStartedPrograms() {
  for (const UniqueHandle& process : started_) {
    if (::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT) continue;
    ::TerminateProcess(process.Get(), 1);
    // Ending is asynchronous; the tool's windows and files go with it.
    ::WaitForSingleObject(process.Get(), 5000);
  }
  started_.clear();
}

std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine) {
  const auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  size_t pos = 0;
  while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
  if (pos < commandLine.size() && commandLine[pos] == L'"') {
    // A quoted name ends at the next quote; there is no escape inside it.
    const size_t close = commandLine.find(L'"', pos + 1);
    pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (pos < commandLine.size() && !isBlank(commandLine[pos])) ++pos;
  }
  while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

std::string Win32Platform::CommandLine() {
  const wchar_t* raw = ::GetCommandLineW();
  return raw == nullptr ? std::string() : ToUtf8(ArgumentsAfterProgramName(raw));
}

}  // namespace quillon

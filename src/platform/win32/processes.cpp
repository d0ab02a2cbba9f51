// Other programs started, waited for and ended, and this program's own
// command line.

#include <algorithm>
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
// holds blanks) as a new process whose first window uses `showStyle`, in the
// job object `group` when there is one. nullopt when the program cannot be
// started, and `failure` says why; `groupProblem` says why the process could
// not join the group, which leaves it running outside.
std::optional<StartedProcess> StartProcess(Win32Platform& platform, const std::string& commandLine,
                                           int showStyle, HANDLE group, std::string* failure,
                                           std::string* groupProblem) {
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
  // Suspended until it is in the group, so that nothing it starts in its
  // first moment can escape the group.
  const DWORD flags = group != nullptr ? CREATE_SUSPENDED : 0;
  PROCESS_INFORMATION info = {};
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessW(wholeIsProgram ? application.c_str() : nullptr, writable.data(), nullptr,
                         nullptr, FALSE, flags, nullptr, nullptr, &startup, &info))
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
    platform.PollUntil(platform.Limits().startAgainMs, [] { return false; });
  }
  UniqueHandle thread(info.hThread);
  StartedProcess started{UniqueHandle(info.hProcess), info.dwProcessId};
  if (group != nullptr) {
    // Windows 7 puts a process in one job only: when this program already
    // runs in another program's job, the tool stays outside ours.
    if (!::AssignProcessToJobObject(group, info.hProcess) && groupProblem != nullptr)
      *groupProblem =
          "A tool could not join the group that ends the tools with this program, so "
          "it would outlive a program that is ended from outside: " +
          SystemErrorText(::GetLastError());
    ::ResumeThread(thread.Get());
  }
  return started;
}

// Waits until `process` ends or `deadline` (on the platform's clock) has
// passed, answering meanwhile what other threads and programs send to this
// thread's windows (a broadcast, Windows asking whether it may end) so that
// the window is not taken for hung; posted messages stay queued. The
// deadline is read from the clock on every wake: a time-out of the system's
// wait may count the time the computer slept.
DWORD WaitAnsweringSent(Win32Platform& platform, HANDLE process, std::uint64_t deadline) {
  for (;;) {
    const std::uint64_t now = platform.NowMilliseconds();
    const DWORD left =
        now >= deadline ? 0
                        : static_cast<DWORD>(std::min<std::uint64_t>(deadline - now, 0x7FFFFFFF));
    const DWORD result =
        ::MsgWaitForMultipleObjectsEx(1, &process, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    if (result == WAIT_OBJECT_0 + 1) {
      MSG msg;
      ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    if (result == WAIT_TIMEOUT && platform.NowMilliseconds() < deadline) continue;
    return result;
  }
}

}  // namespace

ProcessOutcome Win32Platform::ShellWait(const std::string& commandLine, int showStyle,
                                        std::uint32_t timeoutMs) {
  return Run(commandLine, showStyle, timeoutMs, true);
}

ProcessOutcome Win32Platform::RunCommand(const std::string& commandLine, int showStyle,
                                         std::uint32_t timeoutMs) {
  return Run(commandLine, showStyle, timeoutMs, false);
}

ProcessOutcome Win32Platform::Run(const std::string& commandLine, int showStyle,
                                  std::uint32_t timeoutMs, bool asTool) {
  ProcessOutcome outcome;
  if (asTool && toolsEnded_) {
    outcome.startFailure = "Windows is ending the session.";
    return outcome;
  }
  std::optional<StartedProcess> started =
      StartProcess(*this, commandLine, showStyle, asTool ? ToolGroup() : nullptr,
                   &outcome.startFailure, &toolGroupProblem_);
  if (!started) return outcome;
  outcome.started = true;

  // Opened while the creation handle still pins the process id, so the id
  // cannot have been handed to another process in between.
  UniqueHandle process(::OpenProcess(
      SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, started->id));
  if (!process) process = std::move(started->process);
  started->process.Reset();

  if (asTool) waitingFor_ = process.Get();
  const DWORD waited = WaitAnsweringSent(*this, process.Get(), NowMilliseconds() + timeoutMs);
  if (asTool) waitingFor_ = nullptr;
  if (waited == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    outcome.finished = true;
    outcome.exitCode = exitCode;
    return outcome;
  }
  if (waited != WAIT_TIMEOUT)
    outcome.waitFailure = waited == WAIT_FAILED
                              ? SystemErrorText(::GetLastError())
                              : "the wait ended with the value " + std::to_string(waited);
  // A command of the program's own goes on by itself (the system's
  // shut-down may take its time).
  if (!asTool) {
    outcome.stillRunning = true;
    return outcome;
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
  WaitAnsweringSent(*this, process.Get(), NowMilliseconds() + limits_.toolEndMs);
  return outcome;
}

bool Win32Platform::StartProgram(const std::string& commandLine, int showStyle) {
  if (toolsEnded_) return false;
  std::optional<StartedProcess> started =
      StartProcess(*this, commandLine, showStyle, ToolGroup(), nullptr, &toolGroupProblem_);
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
    ::WaitForSingleObject(process.Get(), limits_.toolEndMs);
  }
  started_.clear();
}

bool Win32Platform::WaitForStartedPrograms(std::uint32_t limitMs) {
  const auto running = [](const UniqueHandle& process) {
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
  };
  const bool ended = PollUntil(limitMs, [&] { return std::ranges::none_of(started_, running); });
  if (ended) started_.clear();
  return ended;
}

HANDLE Win32Platform::ToolGroup() {
  if (toolGroupTried_) return toolGroup_.Get();
  toolGroupTried_ = true;
  UniqueHandle group(::CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  // The system ends every process of the group when its last handle goes,
  // and that handle is this program's, closed by the system however the
  // program ends.
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!group || !::SetInformationJobObject(group.Get(), JobObjectExtendedLimitInformation, &limits,
                                           sizeof limits)) {
    toolGroupProblem_ =
        "The group that ends the tools with this program could not be made, so "
        "a tool would outlive a program that is ended from outside: " +
        SystemErrorText(::GetLastError());
    return nullptr;
  }
  toolGroup_ = std::move(group);
  return toolGroup_.Get();
}

void Win32Platform::EndAllTools() {
  toolsEnded_ = true;
  // No waiting for them to go: Windows ends this program soon after.
  if (toolGroup_) ::TerminateJobObject(toolGroup_.Get(), 1);
  // Those that could not join the group.
  if (waitingFor_ != nullptr) ::TerminateProcess(waitingFor_, 1);
  for (const UniqueHandle& process : started_) ::TerminateProcess(process.Get(), 1);
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

#include "platform/win32/shell_wait_win.h"

#include "platform/win32/error_text_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/process_start_win.h"

namespace quillon {

ProcessOutcome ShellWait(const std::string& commandLine, int showStyle, std::uint32_t timeoutMs) {
  ProcessOutcome outcome;
  std::optional<StartedProcess> started = StartProcess(commandLine, showStyle);
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

}  // namespace quillon

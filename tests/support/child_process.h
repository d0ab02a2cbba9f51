#pragma once
// Starting another program from a test and owning it until it ends: a test
// that fails half-way leaves no program of its own behind.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"

namespace quillon::test {

// Every field has a default, so that a start names only what it needs:
// {.commandLine = ..., .show = ...}.
struct ProcessStart {
  // The program file. Empty: the command line's first word names it, found
  // the way CreateProcessW finds it.
  std::wstring program{};
  // The whole command line, the program's own name first.
  std::wstring commandLine{};
  // Variables added to (or replacing those of) this process's environment
  // for the program; none: it inherits this process's environment as is.
  std::vector<std::pair<std::wstring, std::wstring>> environment{};
  // Empty: this process's working folder.
  std::wstring workingFolder{};
  DWORD creationFlags = 0;
  // The show style for the program's first window (SW_SHOWNORMAL ...);
  // none: the program's own default.
  std::optional<WORD> show{};
};

// Closing a child process's handle first ends the program if it still runs
// (exit code 99), waiting a bounded time until it is gone.
struct ChildProcessTraits : KernelHandleTraits {
  static void Close(HANDLE process);
};

// One run of a program. A program still running when its owner goes away,
// or is replaced by another, is ended.
class ChildProcess {
 public:
  // Owns nothing.
  ChildProcess() = default;
  explicit ChildProcess(const ProcessStart& start);

  bool Started() const { return process_.Valid(); }
  // Why the program could not be started (a system error code).
  DWORD StartError() const { return startError_; }
  DWORD Id() const { return id_; }
  // For waits of the caller's own; stays owned here.
  HANDLE Handle() const { return process_.Get(); }

  bool Running() const;
  // The exit code once the program has ended, or nothing after `limit`.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit) const;
  // Ends the program at once and waits, bounded, until it is gone.
  void Kill() const;

 private:
  UniqueResource<ChildProcessTraits> process_;
  DWORD id_ = 0;
  DWORD startError_ = 0;
};

struct RunResult {
  bool started = false;
  // Nothing when the program did not start or outlasted the limit.
  std::optional<DWORD> exitCode;
};

// Runs a program to its end within `limit`; one that outlasts it is killed.
RunResult RunToExit(const ProcessStart& start, std::chrono::milliseconds limit);

}  // namespace quillon::test

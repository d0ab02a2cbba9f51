#include "support/child_process.h"

#include <cwchar>
#include <map>
#include <memory>

namespace quillon::test {
namespace {

using namespace std::chrono_literals;

// How long a killed program may take to be gone.
constexpr std::chrono::milliseconds kEndLimit = 20s;

// Environment names compare regardless of case, as Windows compares them;
// this order is also the one the system keeps its blocks in.
struct IgnoringCase {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
  }
};

// This process's environment with `changes` applied, as a block for
// CreateProcessW.
std::vector<wchar_t> EnvironmentWith(
    const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
  std::map<std::wstring, std::wstring, IgnoringCase> variables;
  const std::unique_ptr<wchar_t, decltype(&::FreeEnvironmentStringsW)> block(
      ::GetEnvironmentStringsW(), &::FreeEnvironmentStringsW);
  for (const wchar_t* entry = block.get(); entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    const std::wstring_view text = entry;
    // Names such as "=C:" (a drive's current folder) start with "=".
    const size_t equals = text.find(L'=', 1);
    if (equals == std::wstring_view::npos) continue;
    variables[std::wstring(text.substr(0, equals))] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : changes) {
    variables.erase(name);  // the change's spelling of the name wins
    variables[name] = value;
  }
  std::vector<wchar_t> result;
  for (const auto& [name, value] : variables) {
    const std::wstring entry = name + L"=" + value;
    result.insert(result.end(), entry.begin(), entry.end());
    result.push_back(L'\0');
  }
  result.push_back(L'\0');
  return result;
}

DWORD WaitMs(std::chrono::milliseconds limit) {
  return static_cast<DWORD>(limit.count());
}

// Termination is asynchronous: the program is gone only once its handle is
// signalled.
void End(HANDLE process) {
  ::TerminateProcess(process, 99);
  ::WaitForSingleObject(process, WaitMs(kEndLimit));
}

}  // namespace

ChildProcess::ChildProcess(const ProcessStart& start) {
  // CreateProcessW may write into the command line.
  std::vector<wchar_t> commandLine(start.commandLine.begin(), start.commandLine.end());
  commandLine.push_back(L'\0');
  std::vector<wchar_t> environment;
  DWORD flags = start.creationFlags;
  if (!start.environment.empty()) {
    environment = EnvironmentWith(start.environment);
    flags |= CREATE_UNICODE_ENVIRONMENT;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (start.show) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = *start.show;
  }
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(
          start.program.empty() ? nullptr : start.program.c_str(), commandLine.data(), nullptr,
          nullptr, FALSE, flags, environment.empty() ? nullptr : environment.data(),
          start.workingFolder.empty() ? nullptr : start.workingFolder.c_str(), &startup, &info)) {
    startError_ = ::GetLastError();
    return;
  }
  UniqueHandle thread(info.hThread);
  process_.Reset(info.hProcess);
  id_ = info.dwProcessId;
}

void ChildProcessTraits::Close(HANDLE process) {
  if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) End(process);
  ::CloseHandle(process);
}

bool ChildProcess::Running() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds limit) const {
  if (!process_ || ::WaitForSingleObject(process_.Get(), WaitMs(limit)) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
  return code;
}

void ChildProcess::Kill() const {
  if (process_) End(process_.Get());
}

RunResult RunToExit(const ProcessStart& start, std::chrono::milliseconds limit) {
  const ChildProcess child(start);
  // A program still running is ended as `child` goes.
  return {child.Started(), child.WaitForExit(limit)};
}

}  // namespace quillon::test

#include "support/leftover_processes.h"

#include <windows.h>
// <tlhelp32.h> needs <windows.h> first.
#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <functional>

#include "platform/win32/handles.h"
#include "support/wait.h"

namespace quillon::e2e {
namespace {

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

// Calls `visit` with an open handle and the image path of every process of
// the folder.
void ForEachProcessUnder(const std::wstring& folder,
                         const std::function<void(HANDLE, const std::wstring&)>& visit) {
  const std::wstring prefix = Lower(folder);
  UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
       more = ::Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId()) continue;
    UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                      entry.th32ProcessID));
    if (!process) continue;
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!::QueryFullProcessImageNameW(process.Get(), 0, image, &size)) continue;
    const std::wstring path(image, size);
    if (Lower(path).rfind(prefix, 0) != 0) continue;
    if (::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT) continue;  // already ending
    visit(process.Get(), path);
  }
}

}  // namespace

std::vector<std::wstring> ProcessesUnder(const std::wstring& folder) {
  std::vector<std::wstring> paths;
  ForEachProcessUnder(folder, [&](HANDLE, const std::wstring& path) { paths.push_back(path); });
  return paths;
}

std::vector<std::wstring> EndProcessesUnder(const std::wstring& folder) {
  std::vector<std::wstring> ended;
  ForEachProcessUnder(folder, [&](HANDLE process, const std::wstring& path) {
    if (!::TerminateProcess(process, 99)) return;
    ::WaitForSingleObject(process, 5000);
    ended.push_back(path);
  });
  return ended;
}

std::vector<std::wstring> EndLeftoversAfterJob(const std::wstring& tools,
                                               const std::wstring& folder,
                                               std::chrono::milliseconds grace) {
  test::WaitUntil(grace, [&] { return ProcessesUnder(tools).empty(); });
  return EndProcessesUnder(folder);
}

}  // namespace quillon::e2e

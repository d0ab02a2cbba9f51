#include "support/quillon_run.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <stdexcept>
#include <thread>

#include "e2e_paths.h"
#include "support/source_folder.h"

namespace quillon::e2e {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Quillon\\Options";
constexpr wchar_t kPauseValue[] = L"WaitForKey";

std::runtime_error Failure(const std::string& what) {
  return std::runtime_error(what + " (error " + std::to_string(::GetLastError()) + ")");
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(::towlower(c)); });
  return text;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  ::CreateDirectoryW(to.c_str(), nullptr);
  for (const std::wstring& name : ListFolder(from)) {
    if (IsFolder(from + name))
      CopyTree(from + name + L"\\", to + name + L"\\");
    else if (!::CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE))
      throw Failure("could not copy " + Narrow(from + name));
  }
}

// This process's environment with `changes` applied, as a block for
// CreateProcessW. Names compare case-insensitively, as Windows does.
std::vector<wchar_t> EnvironmentWith(
    const std::vector<std::pair<std::wstring, std::wstring>>& changes) {
  std::map<std::wstring, std::wstring> variables;  // key: lower-case name
  std::map<std::wstring, std::wstring> spelling;
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
      const std::wstring text = entry;
      // Entries such as "=C:=C:\" name per-drive folders; keep them as they are.
      const size_t equals = text.find(L'=', 1);
      if (equals == std::wstring::npos) continue;
      const std::wstring name = text.substr(0, equals);
      variables[Lower(name)] = text.substr(equals + 1);
      spelling[Lower(name)] = name;
    }
    ::FreeEnvironmentStringsW(block);
  }
  for (const auto& [name, value] : changes) {
    variables[Lower(name)] = value;
    spelling[Lower(name)] = name;
  }
  std::vector<wchar_t> result;
  for (const auto& [key, value] : variables) {
    const std::wstring entry = spelling[key] + L"=" + value;
    result.insert(result.end(), entry.begin(), entry.end());
    result.push_back(L'\0');
  }
  result.push_back(L'\0');
  return result;
}

struct WindowSearch {
  DWORD processId;
  std::wstring_view windowClass;
  std::wstring_view title;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
  wchar_t text[256] = {};
  if (!search->windowClass.empty()) {
    ::GetClassNameW(window, text, 256);
    if (search->windowClass != text) return TRUE;
  }
  if (!search->title.empty()) {
    ::GetWindowTextW(window, text, 256);
    if (search->title != text) return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

bool WaitUntil(Ms limit, const std::function<bool()>& ready) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (ready()) return true;
    std::this_thread::sleep_for(25ms);
  }
  return ready();
}

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
  return utf8;
}

std::wstring BuiltQuillonExe() {
  return kBuiltQuillonExe;
}
std::wstring BuiltToolsFolder() {
  return kBuiltToolsFolder;
}

// ---- TestFolder ----

TestFolder::TestFolder(std::wstring_view name) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  if (::GetTempPathW(MAX_PATH + 1, temp) == 0) throw Failure("no temporary folder");
  std::wstring base = temp;
  if (base.back() != L'\\') base += L'\\';
  base += L"quillon-e2e\\";
  ::CreateDirectoryW(base.c_str(), nullptr);
  path_ = base + std::wstring(name) + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter) + L"\\";
  if (IsFolder(path_)) RemoveTree(path_);
  if (!::CreateDirectoryW(path_.c_str(), nullptr)) throw Failure("could not make " + Narrow(path_));
}

TestFolder::~TestFolder() {
  wchar_t keep[8];
  if (::GetEnvironmentVariableW(L"QUILLON_E2E_KEEP", keep, 8) == 0) RemoveTree(path_);
}

std::wstring TestFolder::InstallQuillon(std::wstring_view below) const {
  const std::wstring exe = InstallFolder(below) + L"Quillon.exe";
  if (!::CopyFileW(BuiltQuillonExe().c_str(), exe.c_str(), FALSE))
    throw Failure("could not copy " + Narrow(BuiltQuillonExe()));
  return exe;
}

void TestFolder::InstallTools(std::wstring_view below) const {
  std::wstring from = BuiltToolsFolder();
  if (from.back() != L'\\') from += L'\\';
  if (!IsFolder(from)) throw Failure("the stand-in tools folder is missing: " + Narrow(from));
  CopyTree(from, InstallFolder(below) + L"tools\\");
}

std::wstring TestFolder::InstallFolder(std::wstring_view below) const {
  while (!below.empty() && below.back() == L'\\') below.remove_suffix(1);
  return below.empty() ? path_ : MakeFolder(below);
}

void TestFolder::InstallToolsMarkerOnly() const {
  MakeFolder(L"tools");
  WriteFile(L"tools\\xt.txt", "");
}

std::wstring TestFolder::MakeFolder(std::wstring_view relative) const {
  std::wstring path = path_;
  // Each level in turn, so "a\b\c" works on an empty folder.
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find(L'\\', start);
    if (end == std::wstring_view::npos) end = relative.size();
    path += std::wstring(relative.substr(start, end - start)) + L"\\";
    ::CreateDirectoryW(path.c_str(), nullptr);
    start = end + 1;
  }
  if (!IsFolder(path)) throw Failure("could not make " + Narrow(path));
  return path;
}

void TestFolder::WriteFile(std::wstring_view relative, std::string_view bytes) const {
  WriteBytes(path_ + std::wstring(relative), bytes);
}

std::optional<std::string> TestFolder::ReadFile(std::wstring_view relative) const {
  return ReadBytes(path_ + std::wstring(relative));
}

bool TestFolder::FileExists(std::wstring_view relative) const {
  return IsFile(path_ + std::wstring(relative));
}

bool TestFolder::FolderExists(std::wstring_view relative) const {
  return IsFolder(path_ + std::wstring(relative));
}

std::vector<std::wstring> TestFolder::List(std::wstring_view relative) const {
  return ListFolder(path_ + std::wstring(relative));
}

// ---- QuillonProcess ----

LaunchOptions JobLaunch(std::wstring arguments, std::wstring waitLimits, std::wstring standinLog) {
  return LaunchOptions{std::move(arguments),
                       {{L"QUILLON_WAIT_LIMITS", std::move(waitLimits)},
                        {L"QUILLON_STANDIN_LOG", std::move(standinLog)}}};
}

QuillonProcess::QuillonProcess(const std::wstring& exePath, const LaunchOptions& options) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!options.arguments.empty()) commandLine += L" " + options.arguments;
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');
  std::vector<wchar_t> environment = EnvironmentWith(options.environment);
  const std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\') + 1);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(exePath.c_str(), writable.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.c_str(), &startup,
                        &info))
    throw Failure("could not start " + Narrow(exePath));
  UniqueHandle thread(info.hThread);
  process_.Reset(info.hProcess);
  id_ = info.dwProcessId;
}

QuillonProcess::~QuillonProcess() {
  if (process_ && Running()) {
    Kill();
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

bool QuillonProcess::Running() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> QuillonProcess::WaitForExit(Ms limit) const {
  if (!process_) return std::nullopt;
  if (::WaitForSingleObject(process_.Get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
  return code;
}

void QuillonProcess::Kill() const {
  if (process_) ::TerminateProcess(process_.Get(), 99);
}

HWND QuillonProcess::FindTopLevel(std::wstring_view windowClass, std::wstring_view title) const {
  WindowSearch search{id_, windowClass, title};
  ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND QuillonProcess::WaitForMainWindow(Ms limit) const {
  HWND window = nullptr;
  WaitUntil(limit, [&] {
    window = FindTopLevel(kMainWindowClass, kRestingCaption);
    return window != nullptr || !Running();
  });
  return window;
}

// ---- the settings store ----

std::optional<std::wstring> ReadStoredPause() {
  DWORD bytes = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kPauseValue, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kPauseValue, RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcslen(value.c_str()));
  return value;
}

void WriteStoredPause(const std::optional<std::wstring>& value) {
  if (!value) {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kPauseValue);
    return;
  }
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, kPauseValue, REG_SZ, value->c_str(),
                    static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

std::wstring JobLogFile() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return {};
  return std::wstring(folder) + L"\\Quillon\\last-job.log";
}

}  // namespace quillon::e2e

#include "support/quillon_run.h"

#include <shlobj.h>

#include <stdexcept>

#include "e2e_paths.h"
#include "support/source_folder.h"
#include "support/window_search.h"

namespace quillon::e2e {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Quillon\\Options";
constexpr wchar_t kPauseValue[] = L"WaitForKey";

std::runtime_error Failure(const std::string& what) {
  return std::runtime_error(what + " (error " + std::to_string(::GetLastError()) + ")");
}

}  // namespace

std::wstring BuiltQuillonExe() {
  return kBuiltQuillonExe;
}
std::wstring BuiltToolsFolder() {
  return kBuiltToolsFolder;
}

// ---- TestFolder ----

TestFolder::TestFolder(std::wstring_view name) : folder_(L"e2e-" + std::wstring(name)) {
  if (!folder_.Made()) throw Failure("could not make " + ToUtf8(Path()));
}

TestFolder::~TestFolder() {
  wchar_t keep[8];
  if (::GetEnvironmentVariableW(L"QUILLON_E2E_KEEP", keep, 8) != 0) folder_.Keep();
}

void TestFolder::Keep() {
  folder_.Keep();
}

std::wstring TestFolder::InstallQuillon(std::wstring_view below) const {
  const std::wstring exe = InstallFolder(below) + L"Quillon.exe";
  if (!::CopyFileW(BuiltQuillonExe().c_str(), exe.c_str(), FALSE))
    throw Failure("could not copy " + ToUtf8(BuiltQuillonExe()));
  return exe;
}

void TestFolder::InstallTools(std::wstring_view below) const {
  std::wstring from = BuiltToolsFolder();
  if (from.back() != L'\\') from += L'\\';
  if (!IsFolder(from)) throw Failure("the stand-in tools folder is missing: " + ToUtf8(from));
  if (!test::CopyTree(from, InstallFolder(below) + L"tools\\"))
    throw Failure("could not copy the stand-in tools folder " + ToUtf8(from));
}

std::wstring TestFolder::InstallFolder(std::wstring_view below) const {
  while (!below.empty() && below.back() == L'\\') below.remove_suffix(1);
  return below.empty() ? Path() : MakeFolder(below);
}

void TestFolder::InstallToolsMarkerOnly() const {
  MakeFolder(L"tools");
  WriteFile(L"tools\\xt.txt", "");
}

std::wstring TestFolder::MakeFolder(std::wstring_view relative) const {
  std::wstring path = Path();
  // Each level in turn, so "a\b\c" works on an empty folder.
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find(L'\\', start);
    if (end == std::wstring_view::npos) end = relative.size();
    path += std::wstring(relative.substr(start, end - start)) + L"\\";
    ::CreateDirectoryW(path.c_str(), nullptr);
    start = end + 1;
  }
  if (!IsFolder(path)) throw Failure("could not make " + ToUtf8(path));
  return path;
}

void TestFolder::WriteFile(std::wstring_view relative, std::string_view bytes) const {
  WriteBytes(*this / relative, bytes);
}

std::optional<std::string> TestFolder::ReadFile(std::wstring_view relative) const {
  return ReadBytes(*this / relative);
}

bool TestFolder::FileExists(std::wstring_view relative) const {
  return IsFile(*this / relative);
}

bool TestFolder::FolderExists(std::wstring_view relative) const {
  return IsFolder(*this / relative);
}

std::vector<std::wstring> TestFolder::List(std::wstring_view relative) const {
  return ListFolder(*this / relative);
}

// ---- QuillonProcess ----

LaunchOptions JobLaunch(std::wstring arguments, std::wstring waitLimits, std::wstring standinLog) {
  return LaunchOptions{std::move(arguments),
                       {{L"QUILLON_WAIT_LIMITS", std::move(waitLimits)},
                        {L"QUILLON_STANDIN_LOG", std::move(standinLog)}}};
}

QuillonProcess::QuillonProcess(const std::wstring& exePath, const LaunchOptions& options)
    : process_({.program = exePath,
                .commandLine = L"\"" + exePath + L"\"" +
                               (options.arguments.empty() ? L"" : L" " + options.arguments),
                .environment = options.environment,
                // The program starts in its own folder.
                .workingFolder = exePath.substr(0, exePath.find_last_of(L'\\') + 1)}) {
  if (!process_.Started()) {
    ::SetLastError(process_.StartError());
    throw Failure("could not start " + ToUtf8(exePath));
  }
}

HWND QuillonProcess::FindTopLevel(std::wstring_view windowClass, std::wstring_view title) const {
  return test::FindProcessWindow(Id(), windowClass, title);
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

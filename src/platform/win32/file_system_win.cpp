#include "platform/win32/file_system_win.h"

#include <windows.h>

#include "platform/add_backslash.h"
#include "platform/win32/error_text_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw PlatformError(what + ": " + SystemErrorText(::GetLastError()));
}

DWORD Attributes(const std::string& path) {
  return ::GetFileAttributesW(ToWide(path).c_str());
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(::FindFirstFileW(ToWide(AddBackslash(folder) + "*").c_str(), &found));
  if (!search) return entries;
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    FolderEntry entry;
    entry.name = ToUtf8(name);
    entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(search.Get(), &found));
  return entries;
}

void CopyFileReplacing(const std::string& from, const std::string& to) {
  if (!::CopyFileW(ToWide(from).c_str(), ToWide(to).c_str(), FALSE)) {
    Fail("Could not copy " + Quoted(from) + " to " + Quoted(to));
  }
}

void DeleteOneFile(const std::string& path) {
  if (!::DeleteFileW(ToWide(path).c_str())) Fail("Could not delete " + Quoted(path));
}

void CreateFolder(const std::string& path) {
  if (!::CreateDirectoryW(ToWide(path).c_str(), nullptr)) {
    Fail("Could not create the folder " + Quoted(path));
  }
}

void RemoveFolder(const std::string& path) {
  if (!::RemoveDirectoryW(ToWide(path).c_str())) {
    Fail("Could not remove the folder " + Quoted(path));
  }
}

}  // namespace quillon

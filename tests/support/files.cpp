#include "support/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/handles.h"

namespace quillon::test {
namespace {

std::wstring WithBackslash(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

DWORD AttributesOf(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str());
}

}  // namespace

std::optional<std::string> ReadBytes(const std::wstring& path) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  std::string buffer(64 * 1024, '\0');
  DWORD got = 0;
  while (::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
         got > 0) {
    bytes.append(buffer, 0, got);
  }
  return bytes;
}

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file &&
      ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size()) {
    return true;
  }
  // Closing the file must not cover up why the write failed.
  const DWORD error = ::GetLastError();
  file.Reset();
  ::SetLastError(error);
  return false;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(::FindFirstFileW((WithBackslash(folder) + L"*").c_str(), &found));
  if (!search) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(search.Get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::wstring& folder) {
  const std::wstring base = WithBackslash(folder);
  for (const std::wstring& name : ListFolder(base)) {
    const std::wstring path = base + name;
    const bool isFolder = IsFolder(path);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (isFolder) {
      RemoveTree(path);
    } else {
      ::DeleteFileW(path.c_str());
    }
  }
  ::RemoveDirectoryW(base.c_str());
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
  const std::wstring source = WithBackslash(from);
  const std::wstring target = WithBackslash(to);
  ::CreateDirectoryW(target.c_str(), nullptr);
  for (const std::wstring& name : ListFolder(source)) {
    if (IsFolder(source + name)) {
      if (!CopyTree(source + name, target + name)) return false;
    } else if (!::CopyFileW((source + name).c_str(), (target + name).c_str(), FALSE)) {
      return false;
    }
  }
  return true;
}

}  // namespace quillon::test

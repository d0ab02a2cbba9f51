// Files and folders by UTF-8 Windows paths, the text files the program
// writes, and where the program itself lives. The operations that change
// something throw PlatformError naming the path and the system's reason.

#include <windows.h>

#include <cstdint>

#include "platform/add_backslash.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

// Another program that has the file open makes the system answer with one
// of these; the caller may try again once that program lets go.
bool HeldByAnotherProgram(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

[[noreturn]] void Fail(const std::string& what) {
  const DWORD error = ::GetLastError();
  const std::string message = what + ": " + SystemErrorText(error);
  if (HeldByAnotherProgram(error)) throw FileHeldError(message);
  throw PlatformError(message);
}

[[noreturn]] void FailWriting(const std::string& path, DWORD error = ::GetLastError()) {
  throw PlatformError("Could not write " + Quoted(path) + ": " + SystemErrorText(error));
}

DWORD Attributes(const std::string& path) {
  return ::GetFileAttributesW(ToWide(path).c_str());
}

// Readers (an editor showing the log while the job runs) do not lock the
// file against the next line.
constexpr DWORD kShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;

// With `deleteIfShort`, a file that did not take the whole text is deleted.
void WriteAll(const std::string& path, DWORD access, DWORD share, DWORD disposition,
              const std::string& text, bool deleteIfShort = false) {
  const std::wstring widePath = ToWide(path);
  UniqueHandle file(::CreateFileW(widePath.c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) FailWriting(path);
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  const DWORD error = ::GetLastError();
  if (ok && written == text.size()) return;
  if (deleteIfShort) {
    file.Reset();
    ::DeleteFileW(widePath.c_str());
  }
  FailWriting(path, error);
}

// The name of the mutex that stands for a hold on `path`: the same for every
// spelling of the path in letter case, and short whatever the path's length.
std::wstring HoldName(const std::string& path) {
  std::wstring upper = ToWide(path);
  ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  std::uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
  for (const wchar_t c : upper) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 0x100000001B3u;
  }
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring name = L"Quillon.HeldTextFile.";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xFu];
  return name;
}

class Utf8TextFile : public HeldTextFile {
 public:
  Utf8TextFile(UniqueHandle hold, std::string path)
      : hold_(std::move(hold)), path_(std::move(path)) {}
  void Append(const std::string& utf8Text) override {
    WriteAll(path_, FILE_APPEND_DATA, kShareMode, OPEN_ALWAYS, utf8Text);
  }

 private:
  UniqueHandle hold_;
  std::string path_;
};

}  // namespace

bool Win32Platform::FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::uint64_t> Win32Platform::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool Win32Platform::FolderExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<FolderEntry> Win32Platform::ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(::FindFirstFileW(ToWide(AddBackslash(folder) + "*").c_str(), &found));
  if (!search) return entries;
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    entries.push_back({.name = ToUtf8(name),
                       .isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       .hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                       .system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0});
  } while (::FindNextFileW(search.Get(), &found));
  return entries;
}

void Win32Platform::CopyFile(const std::string& from, const std::string& to) {
  if (!::CopyFileW(ToWide(from).c_str(), ToWide(to).c_str(), FALSE))
    Fail("Could not copy " + Quoted(from) + " to " + Quoted(to));
}

void Win32Platform::DeleteFile(const std::string& path) {
  if (!::DeleteFileW(ToWide(path).c_str())) Fail("Could not delete " + Quoted(path));
}

void Win32Platform::ClearReadOnly(const std::string& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    Fail("Could not read the attributes of " + Quoted(path));
  if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return;
  if (!::SetFileAttributesW(ToWide(path).c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}))
    Fail("Could not make " + Quoted(path) + " writable");
}

void Win32Platform::CreateFolder(const std::string& path) {
  if (!::CreateDirectoryW(ToWide(path).c_str(), nullptr))
    Fail("Could not create the folder " + Quoted(path));
}

void Win32Platform::RemoveFolder(const std::string& path) {
  if (!::RemoveDirectoryW(ToWide(path).c_str()))
    Fail("Could not remove the folder " + Quoted(path));
}

void Win32Platform::WriteAnsiTextFile(const std::string& path, const std::string& text) {
  const std::optional<std::string> ansi = ToAnsi(ToWide(text));
  if (!ansi) {
    throw PlatformError("Could not write " + Quoted(path) + ": it would hold characters that the " +
                        "system's code page (" + std::to_string(::GetACP()) +
                        ") cannot represent.");
  }
  // A half-written script is worse than none: the tool would run it.
  WriteAll(path, GENERIC_WRITE, 0, CREATE_ALWAYS, *ansi, true);
}

// The hold is a named mutex, not an open file: the file is opened and closed
// for every line, so readers that do not share writing still read it, and
// the system lets the mutex go with the process however that ends.
std::unique_ptr<HeldTextFile> Win32Platform::HoldTextFile(const std::string& path) {
  UniqueHandle hold(::CreateMutexW(nullptr, FALSE, HoldName(path).c_str()));
  if (!hold) FailWriting(path);
  if (::GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
  WriteAll(path, GENERIC_WRITE, kShareMode, CREATE_ALWAYS, std::string());
  return std::make_unique<Utf8TextFile>(std::move(hold), path);
}

std::wstring ExecutablePath() {
  // The call cuts the path silently when the buffer is too short, so grow
  // it until the answer fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOfPath(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring_view::npos) return {};
  // "C:\x" and "\x": the backslash is the root's own and stays.
  const bool isRoot = slash == 0 || (slash == 2 && path[1] == L':');
  return std::wstring(path.substr(0, isRoot ? slash + 1 : slash));
}

std::wstring BaseNameWithoutExtension(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/:");
  std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring_view::npos && dot > 0) name = name.substr(0, dot);
  return std::wstring(name);
}

std::string Win32Platform::ExecutableFolder() {
  return ToUtf8(FolderOfPath(ExecutablePath()));
}

std::string Win32Platform::WorkingFolder() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring folder(needed, L'\0');
  const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
  folder.resize(length < needed ? length : 0);
  return ToUtf8(folder);
}

}  // namespace quillon

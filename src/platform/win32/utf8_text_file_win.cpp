#include "platform/win32/utf8_text_file_win.h"

#include <windows.h>

#include <cstdint>

#include "platform/win32/error_text_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

// Readers (an editor showing the log while the job runs) do not lock the
// file against the next line.
constexpr DWORD kShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;

void WriteAll(const std::string& path, DWORD access, DWORD disposition, const std::string& text) {
  UniqueHandle file(::CreateFileW(ToWide(path).c_str(), access, kShareMode, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    throw PlatformError("Could not write " + Quoted(path) + ": " + SystemErrorText(::GetLastError()));
  }
  DWORD written = 0;
  if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size()) {
    throw PlatformError("Could not write " + Quoted(path) + ": " + SystemErrorText(::GetLastError()));
  }
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
    WriteAll(path_, FILE_APPEND_DATA, OPEN_ALWAYS, utf8Text);
  }

 private:
  UniqueHandle hold_;
  std::string path_;
};

}  // namespace

// The hold is a named mutex, not an open file: the file is opened and closed
// for every line, so readers that do not share writing still read it, and
// the system lets the mutex go with the process however that ends.
std::unique_ptr<HeldTextFile> HoldUtf8TextFile(const std::string& path) {
  UniqueHandle hold(::CreateMutexW(nullptr, FALSE, HoldName(path).c_str()));
  if (!hold) {
    throw PlatformError("Could not write " + Quoted(path) + ": " + SystemErrorText(::GetLastError()));
  }
  if (::GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
  WriteAll(path, GENERIC_WRITE, CREATE_ALWAYS, std::string());
  return std::make_unique<Utf8TextFile>(std::move(hold), path);
}

}  // namespace quillon

#include "winauto/utf8_text_file_win.h"

#include <windows.h>

#include "winauto/error_text_win.h"
#include "winauto/handles_win.h"
#include "winauto/platform.h"
#include "winauto/utf_win.h"

namespace quillon {
namespace {

// Readers (an editor showing the log while the job runs) do not lock the
// file against the next line.
constexpr DWORD kShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;

void WriteAll(const std::string& path, DWORD access, DWORD disposition, const std::string& text) {
  UniqueHandle file(::CreateFileW(ToWide(path).c_str(), access, kShareMode, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    throw JobError("Could not write " + Quoted(path) + ": " + SystemErrorText(::GetLastError()));
  }
  DWORD written = 0;
  if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size()) {
    throw JobError("Could not write " + Quoted(path) + ": " + SystemErrorText(::GetLastError()));
  }
}

}  // namespace

void WriteUtf8TextFile(const std::string& path, const std::string& text) {
  WriteAll(path, GENERIC_WRITE, CREATE_ALWAYS, text);
}

// With append access alone, the system puts every write at the end of the
// file, wherever another writer left it.
void AppendUtf8TextFile(const std::string& path, const std::string& text) {
  WriteAll(path, FILE_APPEND_DATA, OPEN_ALWAYS, text);
}

}  // namespace quillon

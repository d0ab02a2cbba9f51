#include "winauto/utf8_text_file_win.h"

#include <windows.h>

#include "winauto/error_text_win.h"
#include "winauto/handles_win.h"
#include "winauto/utf_win.h"

namespace quillon {
namespace {

class Utf8TextFile : public HeldTextFile {
 public:
  Utf8TextFile(UniqueHandle file, std::string path)
      : file_(std::move(file)), path_(std::move(path)) {}

  void Append(const std::string& utf8Text) override {
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), utf8Text.data(), static_cast<DWORD>(utf8Text.size()), &written,
                     nullptr) ||
        written != utf8Text.size()) {
      throw JobError("Could not write " + Quoted(path_) + ": " + SystemErrorText(::GetLastError()));
    }
  }

 private:
  UniqueHandle file_;
  std::string path_;
};

}  // namespace

std::unique_ptr<HeldTextFile> HoldUtf8TextFile(const std::string& path) {
  // Readers (an editor showing the log while the job runs) are welcome;
  // a second writer, such as another copy's job, is not.
  UniqueHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_SHARING_VIOLATION) return nullptr;
    throw JobError("Could not write " + Quoted(path) + ": " + SystemErrorText(error));
  }
  return std::make_unique<Utf8TextFile>(std::move(file), path);
}

}  // namespace quillon

#include "support/scratch_folder.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/text.h"
#include "support/files.h"

namespace quillon::test {
namespace {

std::wstring FileNameOf(std::wstring_view name) {
  std::wstring safe(name);
  for (wchar_t& ch : safe) {
    if (ch < L' ' || std::wstring_view(L"<>:\"/\\|?*").find(ch) != std::wstring_view::npos) {
      ch = L'_';
    }
  }
  return safe;
}

}  // namespace

ScratchFolder::ScratchFolder(std::wstring_view name) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base = temp;
  if (base.empty() || base.back() != L'\\') base += L'\\';
  path_ = base + L"quillon-" + FileNameOf(name) + L"-" + std::to_wstring(::GetCurrentProcessId()) +
          L"-" + std::to_wstring(++counter) + L"\\";
  // A folder of an earlier run that had this process id.
  if (IsFolder(path_)) RemoveTree(path_);
  made_ = ::CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
}

ScratchFolder::~ScratchFolder() {
  if (!keep_) RemoveTree(path_);
}

std::string ScratchFolder::Utf8Path() const {
  return ToUtf8(path_);
}

}  // namespace quillon::test

#include "platform/win32/window_search_win.h"

#include <string_view>

#include "platform/win32/utf_win.h"

namespace quillon {
namespace {

struct PrefixSearch {
  std::wstring_view prefix;
  HWND found = nullptr;
};

BOOL CALLBACK MatchPrefix(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<PrefixSearch*>(param);
  const int prefixLength = static_cast<int>(search.prefix.size());
  // GetWindowTextW reads another program's title without sending it a
  // message, so a hung window cannot stall the search.
  const int length = ::GetWindowTextLengthW(window);
  if (length < prefixLength) return TRUE;
  std::wstring title(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, title.data(), length + 1);
  if (copied < prefixLength) return TRUE;
  if (::CompareStringOrdinal(title.data(), prefixLength, search.prefix.data(), prefixLength,
                             TRUE) == CSTR_EQUAL) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindCaption(const std::string& caption) {
  return ::FindWindowW(nullptr, ToWide(caption).c_str());
}

HWND FindCaptionPrefix(const std::string& prefix) {
  const std::wstring widePrefix = ToWide(prefix);
  PrefixSearch search{widePrefix};
  ::EnumWindows(MatchPrefix, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ClickControl(HWND window, int controlId) {
  if (window == nullptr) return;
  const HWND control = ::GetDlgItem(window, controlId);
  if (control == nullptr) return;
  // Posted, not sent: the tool carries the click out on its own thread and a
  // hung tool cannot stall this one.
  ::PostMessageW(control, BM_CLICK, 0, 0);
  // The macro goes on right after the click, with a keystroke pause of 0 at
  // once, and looks for what the click brings up. A thread answers a sent
  // message only when it reads its queue, so once it has answered twice it
  // has taken the click from its queue and carried it out (or is inside the
  // dialog the click opened). A busy tool gets a second, a hung one nothing.
  const ULONGLONG end = ::GetTickCount64() + 1000;
  for (int answer = 0; answer < 2; ++answer) {
    const ULONGLONG now = ::GetTickCount64();
    DWORD_PTR result = 0;
    if (now >= end || !::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                             static_cast<UINT>(end - now), &result))
      return;
  }
}

}  // namespace quillon

#include "support/window_search.h"

#include <iterator>

namespace quillon::test {
namespace {

struct WindowSearch {
  DWORD processId;
  std::wstring_view windowClass;
  std::wstring_view title;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !::IsWindowVisible(window) ||
      (!search->windowClass.empty() && ClassOf(window) != search->windowClass) ||
      (!search->title.empty() && TextOf(window) != search->title)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, std::wstring_view windowClass, std::wstring_view title) {
  WindowSearch search{processId, windowClass, title};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

HWND FocusOf(DWORD threadId) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

}  // namespace quillon::test

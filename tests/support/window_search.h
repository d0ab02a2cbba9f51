#pragma once
// Finding windows the way a test looks at another program: by process,
// class and title, and what a window shows and where the focus is.

#include <windows.h>

#include <string>
#include <string_view>

namespace quillon::test {

// A visible top-level window of the process of class `windowClass` whose
// title is `title` (either empty: any), or null. Tests run side by side, so
// windows are told apart by process.
HWND FindProcessWindow(DWORD processId, std::wstring_view windowClass, std::wstring_view title);

// The window's title or text (GetWindowTextW) and its class name.
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The window that has the keyboard focus in `threadId`'s input state.
HWND FocusOf(DWORD threadId);

}  // namespace quillon::test

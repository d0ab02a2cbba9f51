#include "test_support.h"

#include <iterator>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace quillon::test {

// ---- WindowThread ----

namespace {
constexpr wchar_t kWindowClass[] = L"QuillonTestWindow";
constexpr UINT kFreezeMessage = WM_APP + 1;

void RegisterWindowClassOnce(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassW(&windowClass) != 0;
  }();
  (void)registered;
}
}  // namespace

void LetFocusNewsArrive() {
  WaitDispatchingUntil(200ms, [] { return false; });
}

WindowThread::WindowThread(const std::wstring& title, Show show) {
  RegisterWindowClassOnce(WindowProc);
  UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const DWORD style = WS_OVERLAPPEDWINDOW | (show == Show::Visible ? WS_VISIBLE : 0);
  thread_ = std::thread([this, title, style, event = ready.Get()] { Run(title, style, event); });
  ::WaitForSingleObject(ready.Get(), 10000);
  if (show == Show::Visible) {
    // A window shown at creation takes the front from the one that had it.
    WaitDispatchingUntil(2000ms, [&] { return ::GetForegroundWindow() == window_; });
    LetFocusNewsArrive();
  }
}

WindowThread::~WindowThread() {
  ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  if (thread_.joinable()) thread_.join();
}

std::wstring WindowThread::EditText() const {
  wchar_t buffer[256] = {};
  ::GetWindowTextW(edit_, buffer, static_cast<int>(std::size(buffer)));
  return buffer;
}

void WindowThread::Freeze(DWORD ms) const {
  ::PostMessageW(window_, kFreezeMessage, ms, 0);
  // Wait until the thread is inside the freeze.
  DWORD_PTR answer = 0;
  WaitDispatchingUntil(2000ms, [&] {
    return !::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 50, &answer);
  });
}

void WindowThread::Run(const std::wstring& title, DWORD style, HANDLE ready) {
  threadId_ = ::GetCurrentThreadId();
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the thread's queue
  UniqueWindow window(::CreateWindowExW(0, kWindowClass, title.c_str(), style, 40, 40, 360, 160,
                                        nullptr, nullptr, ::GetModuleHandleW(nullptr), this));
  window_ = window.Get();
  ::SetEvent(ready);
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (destroyed_) window.Release();
}

LRESULT CALLBACK WindowThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<WindowThread*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      self = static_cast<WindowThread*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      break;
    }
    case WM_CREATE: {
      const HINSTANCE instance = ::GetModuleHandleW(nullptr);
      self->edit_ = ::CreateWindowExW(
          WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10,
          10, 320, 24, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance,
          nullptr);
      ::CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 50, 80, 26,
                        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance,
                        nullptr);
      return 0;
    }
    case WM_SETFOCUS:
      ::SetFocus(self->edit_);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) ++self->clicks_;
      return 0;
    case kFreezeMessage:
      ::Sleep(static_cast<DWORD>(wParam));
      return 0;
    case WM_DESTROY:
      self->destroyed_ = true;
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// ---- programs and windows ----

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring ChildProgramPath() {
  return TestProgramFolder() + L"quillon_test_child.exe";
}

namespace {
BOOL CALLBACK Collect(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}
}  // namespace

std::vector<HWND> ThreadWindows(DWORD threadId) {
  std::vector<HWND> windows;
  ::EnumThreadWindows(threadId, Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  ::EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND WaitForThreadDialog(DWORD threadId, const std::wstring& title, std::uint32_t ms) {
  HWND dialog = nullptr;
  WaitUntil(std::chrono::milliseconds(ms), [&] {
    for (HWND window : ThreadWindows(threadId)) {
      if (ClassOf(window) == L"#32770" && ::IsWindowVisible(window) &&
          (title.empty() || TextOf(window) == title)) {
        dialog = window;
        return true;
      }
    }
    return false;
  });
  return dialog;
}

}  // namespace quillon::test

// Where keystrokes go when the window they reached has just closed: to the
// window that owned it, which the job's next keys are for.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

constexpr UINT kShowBox = WM_APP + 1;
constexpr UINT kShowWindow = WM_APP + 2;
constexpr wchar_t kClass[] = L"QuillonKeyTargetOwner";
constexpr wchar_t kBoxTitle[] = L"Key target box";

// A visible top-level window on a thread of its own that can show a modal
// message box it owns, as the tools do for "conversion finished".
class OwnerWindow {
 public:
  // `shown`: false makes the window as a program does before it shows it.
  explicit OwnerWindow(bool shown = true) {
    UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread([this, shown, event = ready.Get()] { Run(shown, event); });
    ::WaitForSingleObject(ready.Get(), 5000);
  }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  ~OwnerWindow() {
    if (!destroyed_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }

  HWND Window() const { return window_; }
  bool Destroyed() const { return destroyed_; }
  // Opens the owned box (returns at once; the box runs on the window's thread).
  void ShowBox() const { ::PostMessageW(window_, kShowBox, 0, 0); }
  // Shows the window (and makes it active) on its own thread.
  void Show() const { ::PostMessageW(window_, kShowWindow, 0, 0); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<OwnerWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
      self = static_cast<OwnerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else if (message == kShowBox) {
      ::MessageBoxW(window, L"Done.", kBoxTitle, MB_OK);
      return 0;
    } else if (message == kShowWindow) {
      ::ShowWindow(window, SW_SHOWNORMAL);
      return 0;
    } else if (message == WM_DESTROY && self != nullptr) {
      self->destroyed_ = true;
      ::PostQuitMessage(0);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  void Run(bool shown, HANDLE ready) {
    threadId_ = ::GetCurrentThreadId();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &OwnerWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassExW(&wc);
    window_ = ::CreateWindowExW(0, kClass, L"Key target owner",
                                WS_OVERLAPPEDWINDOW | (shown ? WS_VISIBLE : 0), 60, 60, 300, 120,
                                nullptr, nullptr, wc.hInstance, this);
    ::SetEvent(ready);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }

  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<bool> destroyed_{false};
  std::thread thread_;
};

// A tool's window carries its title before the tool shows it. Activated that
// early it could not take the keys that follow; the activation waits for it.
TEST(KeyTarget, AWindowFoundBeforeItShowsIsActivatedOnceShown) {
  Win32Platform platform;
  OwnerWindow tool(false);
  ASSERT_FALSE(::IsWindowVisible(tool.Window()));
  std::thread later([&] {
    ::Sleep(300);
    tool.Show();
  });
  test::Stopwatch clock;
  const bool activated = platform.ActivateWindow(FromHwnd(tool.Window()));
  later.join();
  EXPECT_TRUE(activated);
  EXPECT_TRUE(::IsWindowVisible(tool.Window()));
  EXPECT_EQ(::GetForegroundWindow(), tool.Window());
  EXPECT_GE(clock.ElapsedMs(), 250);
}

// Nor is it waited for beyond the end of the step that wants it.
TEST(KeyTarget, AWindowThatNeverShowsIsNotActivatedOrWaitedForPastTheStep) {
  Win32Platform platform;
  OwnerWindow tool(false);
  platform.BoundWaits(WaitLimits{}, platform.NowMilliseconds() + 300);
  test::Stopwatch clock;
  EXPECT_FALSE(platform.ActivateWindow(FromHwnd(tool.Window())));
  EXPECT_NE(::GetForegroundWindow(), tool.Window());
  EXPECT_LT(clock.ElapsedMs(), WaitLimits{}.showMs);
}

}  // namespace
}  // namespace quillon

// The waits that keep the program's window alive: the shared named timer,
// message dispatch during the wait, WM_QUIT, and the plain pumping delay.

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

using test::Stopwatch;

// A window of the test thread that counts what reaches it.
class SinkWindow {
 public:
  SinkWindow() {
    static const ATOM atom = [] {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = Proc;
      windowClass.hInstance = ::GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"QuillonTestSink";
      return ::RegisterClassW(&windowClass);
    }();
    (void)atom;
    window_.Reset(::CreateWindowExW(0, L"QuillonTestSink", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, ::GetModuleHandleW(nullptr), this));
  }
  HWND Get() const { return window_.Get(); }
  int appMessages = 0;
  int timerTicks = 0;
  Stopwatch clock;
  std::int64_t appMessageAtMs = -1;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      ::SetWindowLongPtrW(
          window, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<SinkWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_APP) {
      ++self->appMessages;
      self->appMessageAtMs = self->clock.ElapsedMs();
      return 0;
    }
    if (self != nullptr && message == WM_TIMER) {
      ++self->timerTicks;
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  UniqueWindow window_;
};

// Takes a WM_QUIT the code under test put back, so it cannot end the test
// program; its exit code, or -1 when there was none.
int TakeQuit() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    return static_cast<int>(msg.wParam);
  }
  return -1;
}

TEST(WaitSeconds, LastsOneSecondAndHandlesMessagesMeanwhile) {
  Win32Platform platform;
  SinkWindow sink;
  ::SetTimer(sink.Get(), 1, 100, nullptr);
  std::thread poster([window = sink.Get()] {
    ::Sleep(300);
    ::PostMessageW(window, WM_APP, 0, 0);
  });
  sink.clock = Stopwatch();
  platform.WaitSeconds(1);
  const std::int64_t elapsed = sink.clock.ElapsedMs();
  poster.join();
  ::KillTimer(sink.Get(), 1);

  EXPECT_GE(elapsed, 1000);
  EXPECT_LT(elapsed, 2000);
  EXPECT_EQ(sink.appMessages, 1);
  // Handled when it came, not after the wait.
  EXPECT_GE(sink.appMessageAtMs, 250);
  EXPECT_LT(sink.appMessageAtMs, 800);
  // The caption animation runs on a timer like this one.
  EXPECT_GE(sink.timerTicks, 5);
}

TEST(WaitSeconds, ZeroAndNegativeReturnAtOnceAfterOnePassOfMessages) {
  Win32Platform platform;
  for (std::int32_t seconds : {0, -1, -2147483647 - 1}) {
    SCOPED_TRACE(seconds);
    SinkWindow sink;
    ::PostMessageW(sink.Get(), WM_APP, 0, 0);
    Stopwatch clock;
    platform.WaitSeconds(seconds);
    EXPECT_LT(clock.ElapsedMs(), 500);
    EXPECT_EQ(sink.appMessages, 1);
  }
}

// Another copy of the program opens the same named timer while this copy
// waits and arms it for its own pause: due almost at once, or due later.
// Either way this wait ends at its own deadline.
TEST(WaitSeconds, SharedTimerArmedByAnotherCopyNeitherCutsShortNorStretchesTheWait) {
  for (const LONGLONG due100ns : {-1LL, -5 * 10'000'000LL}) {
    SCOPED_TRACE(due100ns);
    UniqueHandle shared(::CreateWaitableTimerW(nullptr, TRUE, L"quillon_win32_testsTimer"));
    ASSERT_TRUE(shared);
    std::thread otherCopy([timer = shared.Get(), due100ns] {
      ::Sleep(200);
      LARGE_INTEGER due;
      due.QuadPart = due100ns;
      ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    });
    Win32Platform platform;
    Stopwatch clock;
    platform.WaitSeconds(1);
    const std::int64_t elapsed = clock.ElapsedMs();
    otherCopy.join();
    EXPECT_GE(elapsed, 1000);
    EXPECT_LT(elapsed, 2000);
  }
}

TEST(WaitSeconds, UsesTheTimerNamedAfterTheExecutable) {
  // While the wait runs, a timer of that name exists (and is armed by it).
  bool sawTimer = false;
  std::thread probe([&sawTimer] {
    ::Sleep(300);
    UniqueHandle timer(::OpenWaitableTimerW(SYNCHRONIZE, FALSE, L"quillon_win32_testsTimer"));
    sawTimer = static_cast<bool>(timer) && ::WaitForSingleObject(timer.Get(), 0) == WAIT_TIMEOUT;
  });
  Win32Platform platform;
  platform.WaitSeconds(1);
  probe.join();
  EXPECT_TRUE(sawTimer);
}

TEST(WaitSeconds, QuitMessageEndsTheWaitAndStaysQueuedForTheOuterLoop) {
  Win32Platform platform;
  ::PostQuitMessage(7);
  Stopwatch clock;
  platform.WaitSeconds(3);
  EXPECT_LT(clock.ElapsedMs(), 1000);
  EXPECT_EQ(TakeQuit(), 7);
}

TEST(WaitSeconds, QuitPostedDuringTheWaitEndsIt) {
  Win32Platform platform;
  const DWORD self = ::GetCurrentThreadId();
  std::thread closer([self] {
    ::Sleep(200);
    ::PostThreadMessageW(self, WM_QUIT, 3, 0);
  });
  Stopwatch clock;
  platform.WaitSeconds(5);
  const std::int64_t elapsed = clock.ElapsedMs();
  closer.join();
  EXPECT_GE(elapsed, 150);
  EXPECT_LT(elapsed, 2000);
  EXPECT_EQ(TakeQuit(), 3);
}

TEST(PumpMessagesFor, WaitsTheTimeAndDispatches) {
  Win32Platform platform;
  SinkWindow sink;
  std::thread poster([window = sink.Get()] {
    ::Sleep(100);
    ::PostMessageW(window, WM_APP, 0, 0);
  });
  Stopwatch clock;
  platform.PumpMessagesFor(400);
  const std::int64_t elapsed = clock.ElapsedMs();
  poster.join();
  EXPECT_GE(elapsed, 400);
  EXPECT_LT(elapsed, 1500);
  EXPECT_EQ(sink.appMessages, 1);
}

TEST(PumpMessagesFor, EndsEarlyOnQuit) {
  Win32Platform platform;
  ::PostQuitMessage(9);
  Stopwatch clock;
  platform.PumpMessagesFor(3000);
  EXPECT_LT(clock.ElapsedMs(), 1000);
  EXPECT_EQ(TakeQuit(), 9);
}

TEST(MessagePump, TabMovesTheFocusInTheMainWindowDuringAWait) {
  // Tab and access keys reach the main window's controls only through
  // IsDialogMessage, which the waits must call for it.
  UniqueWindow main(::CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"Main",
                                      WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(main);
  const HWND first = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0,
                                       100, 20, main.Get(), nullptr, nullptr, nullptr);
  const HWND second = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 30,
                                        100, 20, main.Get(), nullptr, nullptr, nullptr);
  ::SetFocus(first);
  ASSERT_EQ(::GetFocus(), first);

  Win32Platform platform;
  platform.SetMainWindow(main.Get());
  ::PostMessageW(first, WM_KEYDOWN, VK_TAB, 0x000F0001);
  ::PostMessageW(first, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001));
  platform.PumpMessagesFor(100);
  EXPECT_EQ(::GetFocus(), second);
}

TEST(NowMilliseconds, MovesWithTheSteadyClock) {
  Win32Platform platform;
  const std::uint64_t before = platform.NowMilliseconds();
  Stopwatch clock;
  ::Sleep(200);
  const std::uint64_t after = platform.NowMilliseconds();
  const auto measured = static_cast<std::uint64_t>(clock.ElapsedMs());
  EXPECT_GE(after - before, 190u);
  EXPECT_LE(after - before, measured + 20);
}

}  // namespace
}  // namespace quillon

#pragma once
// Fixtures for the Win32-level tests: windows on threads of their own (the
// way another program's windows behave towards ours) and a stopwatch. Waits,
// scratch folders and files come from the shared test support.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"
#include "support/scratch_folder.h"
#include "support/wait.h"
#include "support/window_search.h"

namespace quillon {
// Time limits read as 3000ms.
using namespace std::chrono_literals;
}  // namespace quillon

namespace quillon::test {

// Milliseconds since construction, on the steady clock.
class Stopwatch {
 public:
  std::int64_t ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
  }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point start_ = Clock::now();
};

// Under Wine, a window that lost the front hears of it from the X server a
// moment later; brought back to the front before that, it hands the front to
// the desktop. Waits that moment out (the job's readiness checks bring such
// a window back; a test that moves the front around would not).
void LetFocusNewsArrive();

// A top-level window with a single-line edit field that has the focus and a
// push button, created and served by a thread of its own. Hidden unless a
// test needs it on screen: under Wine without a window manager, taking a
// shown window down stalls for two seconds.
class WindowThread {
 public:
  static constexpr int kButtonId = 1053;
  static constexpr int kEditId = 1002;

  enum class Show { Hidden, Visible };
  explicit WindowThread(const std::wstring& title, Show show = Show::Hidden);
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;
  ~WindowThread();

  HWND Window() const { return window_; }
  HWND Edit() const { return edit_; }
  DWORD ThreadId() const { return threadId_; }
  int Clicks() const { return clicks_.load(); }
  bool Destroyed() const { return destroyed_.load(); }
  // The edit field's text (asked across threads, answered by the window's
  // own thread).
  std::wstring EditText() const;
  // Makes the window's thread stop answering for `ms`, like a hung program.
  void Freeze(DWORD ms) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run(const std::wstring& title, DWORD style, HANDLE ready);

  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  DWORD threadId_ = 0;
  std::atomic<int> clicks_{0};
  std::atomic<bool> destroyed_{false};
  std::thread thread_;
};

// This test program's folder, with a trailing backslash.
std::wstring TestProgramFolder();
// The helper child program built beside the tests.
std::wstring ChildProgramPath();

// Windows of a thread (top level) and of a parent (children, all levels).
std::vector<HWND> ThreadWindows(DWORD threadId);
std::vector<HWND> ChildWindows(HWND parent);

// Finds a top-level window of `threadId` of the dialog class whose title is
// `title` (any title when empty); polls up to `ms`.
HWND WaitForThreadDialog(DWORD threadId, const std::wstring& title, std::uint32_t ms);

}  // namespace quillon::test

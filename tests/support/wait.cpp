#include "support/wait.h"

#include <windows.h>

namespace quillon::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kStepMs = 20;

bool Wait(std::chrono::milliseconds limit, const std::function<bool()>& condition,
          const std::function<void()>& pause) {
  const Clock::time_point end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (condition()) return true;
    pause();
  }
  return condition();
}

}  // namespace

bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
  return Wait(limit, condition, [] { ::Sleep(kStepMs); });
}

bool WaitDispatchingUntil(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
  return Wait(limit, condition, [] {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    // Wakes early for a message that arrives meanwhile.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kStepMs, QS_ALLINPUT);
  });
}

}  // namespace quillon::test

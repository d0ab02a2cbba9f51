// Waits that keep this program's windows alive, and the clock they measure
// by. Every wait of the Win32 side that can last longer than a moment
// dispatches this thread's messages, so the main window repaints, its timers
// tick and its buttons answer while a job waits.

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

// Dispatches this thread's pending window messages. The dialog window (may
// be null) gets IsDialogMessage treatment, so Tab and its access keys keep
// working during the wait.
class MessagePump {
 public:
  explicit MessagePump(HWND dialogWindow) : dialogWindow_(dialogWindow) {}
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;
  // Puts back a WM_QUIT that the pump took, for the outer loop to end the
  // program with.
  ~MessagePump() {
    if (quitCode_) ::PostQuitMessage(*quitCode_);
  }

  // Dispatches every pending message. False once WM_QUIT has been taken: the
  // program is ending and the wait should stop.
  bool PumpPending() {
    if (quitCode_) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quitCode_ = static_cast<int>(msg.wParam);
        return false;
      }
      if (dialogWindow_ != nullptr && ::IsDialogMessageW(dialogWindow_, &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    return true;
  }

 private:
  HWND dialogWindow_;
  std::optional<int> quitCode_;
};

// Waitable timers count in units of 100 ns; the deadlines here do the same.
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerMs = 10'000;

std::int64_t NowTicks() {
  static const std::int64_t frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  // Split so the multiplication cannot overflow after long uptimes.
  return counter.QuadPart / frequency * kTicksPerSecond +
         counter.QuadPart % frequency * kTicksPerSecond / frequency;
}

// The named timer is shared by every copy started from an executable of the
// same name.
std::wstring TimerName() {
  return BaseNameWithoutExtension(ExecutablePath()) + L"Timer";
}

// Makes the timer due `ticks` from now (at once when zero or less).
bool Arm(HANDLE timer, std::int64_t ticks) {
  LARGE_INTEGER due;
  // Negative means relative to now; a positive value would be a date.
  due.QuadPart = -std::max<std::int64_t>(ticks, 1);
  return ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

// Whole milliseconds from now to `deadline`, rounded up; 0 once it has passed.
DWORD MsUntil(std::int64_t deadline) {
  const std::int64_t remaining = deadline - NowTicks();
  if (remaining <= 0) return 0;
  return static_cast<DWORD>(
      std::min<std::int64_t>((remaining + kTicksPerMs - 1) / kTicksPerMs, 0x7FFFFFFF));
}

// The flag of the wait that a change to another program's window is to end.
// The system's window events name no receiver, and they come only while this
// thread reads its messages: inside that wait, which points here at its own
// platform's flag for as long as it lasts.
thread_local bool* windowsChangedFlag = nullptr;

void CALLBACK NoteWindowChange(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  if (windowsChangedFlag != nullptr) *windowsChangedFlag = true;
}

// Points the window events at `flag` for as long as it lives.
class WindowChangeWatch {
 public:
  explicit WindowChangeWatch(bool& flag) : outer_(std::exchange(windowsChangedFlag, &flag)) {
    flag = false;
  }
  WindowChangeWatch(const WindowChangeWatch&) = delete;
  WindowChangeWatch& operator=(const WindowChangeWatch&) = delete;
  ~WindowChangeWatch() { windowsChangedFlag = outer_; }

 private:
  bool* outer_;
};

// The wait for when the shared timer cannot serve: sleeps on the message
// queue alone, so it never spins. A `windowsChanged` flag ends it early once
// it is set.
void PumpUntil(std::int64_t deadline, MessagePump& pump, const bool* windowsChanged = nullptr) {
  for (;;) {
    if (!pump.PumpPending()) return;
    if (windowsChanged != nullptr && *windowsChanged) return;
    const DWORD ms = MsUntil(deadline);
    if (ms == 0) return;
    // MWMO_INPUTAVAILABLE: also wake for messages that were already queued
    // but not yet read, which the plain call would sleep through.
    if (::MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
        WAIT_FAILED)
      ::Sleep(std::min<DWORD>(ms, 10));
  }
}

}  // namespace

void Win32Platform::WaitSeconds(std::int32_t seconds) {
  const std::int64_t duration = seconds > 0 ? std::int64_t{seconds} * kTicksPerSecond : 0;
  const std::int64_t deadline = NowTicks() + duration;
  MessagePump pump(mainWindow_);

  UniqueHandle timer(::CreateWaitableTimerW(nullptr, TRUE, TimerName().c_str()));
  const DWORD createError = ::GetLastError();
  if (!timer) return PumpUntil(deadline, pump);
  // A timer this copy brought into being is first made due at once; the
  // arming below replaces that.
  if (createError != ERROR_ALREADY_EXISTS) Arm(timer.Get(), 1);
  if (!Arm(timer.Get(), duration)) return PumpUntil(deadline, pump);

  HANDLE handle = timer.Get();
  for (;;) {
    // Another copy (or a wait nested in a message handler) may arm the
    // shared timer for later than this wait's own end: the wait never
    // sleeps past that end, whatever the timer says.
    const DWORD result = ::MsgWaitForMultipleObjectsEx(1, &handle, MsUntil(deadline), QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
    if (result == WAIT_FAILED) return PumpUntil(deadline, pump);
    if (!pump.PumpPending()) return;
    const std::int64_t remaining = deadline - NowTicks();
    if (remaining <= 0) return;
    // Or it made the timer due sooner: this wait's own end is armed again.
    if (result == WAIT_OBJECT_0 && !Arm(handle, remaining)) return PumpUntil(deadline, pump);
  }
}

void Win32Platform::WatchOtherWindows() {
  if (!windowEvents_.empty()) return;
  // Out of context: the system posts each event to this thread's queue, so
  // watching costs nothing while no window changes. Should it refuse, the
  // waits still poll.
  constexpr DWORD kOutOfContext = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  for (const auto& [first, last] :
       {std::pair<DWORD, DWORD>{EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_MENUPOPUPEND},
        {EVENT_OBJECT_CREATE, EVENT_OBJECT_FOCUS},
        {EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE}}) {
    windowEvents_.emplace_back(
        ::SetWinEventHook(first, last, nullptr, NoteWindowChange, 0, 0, kOutOfContext));
  }
}

// Returns early when another program's window changes: the callers wait for
// just that, and look again at once.
void Win32Platform::PumpMessagesFor(std::uint32_t ms) {
  WatchOtherWindows();
  MessagePump pump(mainWindow_);
  const WindowChangeWatch watch(windowsChanged_);
  PumpUntil(NowTicks() + std::int64_t{ms} * kTicksPerMs, pump, &windowsChanged_);
}

std::uint64_t Win32Platform::NowMilliseconds() {
  return static_cast<std::uint64_t>(NowTicks() / kTicksPerMs);
}

bool Win32Platform::PollUntil(std::uint32_t limitMs, const std::function<bool()>& condition) {
  WatchOtherWindows();
  MessagePump pump(mainWindow_);
  const std::uint64_t end = NowMilliseconds() + limitMs;
  for (;;) {
    if (condition()) return true;
    const std::uint64_t now = NowMilliseconds();
    if (now >= end) return false;
    // Short slices: the conditions watch other programs' windows, which send
    // this thread nothing when they change.
    const DWORD slice = static_cast<DWORD>(std::min<std::uint64_t>(end - now, 10));
    if (pump.PumpPending()) {
      // What was just handled (the answer to a round trip) may have met the
      // condition: sleeping a slice first would add it to every round trip.
      if (condition()) return true;
      ::MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } else {
      // The program is ending: posted messages stay for the outer loop, but
      // answers to messages this thread sent still arrive.
      ::MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_SENDMESSAGE, 0);
      MSG msg;
      ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
}

std::uint32_t Win32Platform::WithinStep(std::uint32_t ms) {
  if (stepEndMs_ == 0) return ms;
  const std::uint64_t now = NowMilliseconds();
  return now >= stepEndMs_
             ? 0
             : static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, stepEndMs_ - now));
}

bool Win32Platform::WaitInStep(std::uint32_t limitMs, const std::function<bool()>& condition) {
  return PollUntil(WithinStep(limitMs), condition);
}

}  // namespace quillon

#pragma once
// Waits that keep this program's windows alive, and the clock they measure by.

#include <windows.h>

#include <cstdint>

namespace quillon {

// Waits `seconds` whole seconds (none when zero or less) on the named timer
// that all copies of this program share, dispatching this thread's messages
// all along. Returns early, leaving WM_QUIT queued, when the program is told
// to quit.
void WaitSeconds(std::int32_t seconds, HWND dialogWindow);
// Waits up to `ms` while dispatching messages; returns early on WM_QUIT.
void PumpMessagesFor(std::uint32_t ms, HWND dialogWindow);
// A monotonic clock.
std::uint64_t NowMilliseconds();

}  // namespace quillon

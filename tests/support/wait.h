#pragma once
// Bounded waiting for something another thread or program does: every wait
// of the tests has a limit, and none sleeps longer than it must.

#include <chrono>
#include <functional>

namespace quillon::test {

// Checks `condition`, sleeps briefly, checks again, until it holds or
// `limit` has passed; checks once more at the end. True when it held.
bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& condition);

// The same, dispatching this thread's messages between the checks: for a
// thread that owns windows, which must keep answering while it waits.
bool WaitDispatchingUntil(std::chrono::milliseconds limit, const std::function<bool()>& condition);

}  // namespace quillon::test

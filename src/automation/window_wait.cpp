#include "automation/window_wait.h"

#include <algorithm>

namespace quillon {

WaitOutcome WaitUntil(Platform& platform, std::uint32_t limitMs, const WaitLimits& pace,
                      const std::function<bool()>& condition,
                      const std::function<bool()>& cancelled) {
  const std::uint64_t start = platform.NowMilliseconds();
  for (;;) {
    if (condition()) return WaitOutcome::Met;
    const std::uint64_t now = platform.NowMilliseconds();
    const std::uint64_t elapsed = now >= start ? now - start : 0;
    if (elapsed >= limitMs) return WaitOutcome::TimedOut;
    // A poll interval of 0 would spin without ever yielding.
    const std::uint32_t step =
        std::max<std::uint32_t>(elapsed < pace.slowPollAfterMs ? pace.pollMs : pace.slowPollMs, 1);
    platform.PumpMessagesFor(
        static_cast<std::uint32_t>(std::min<std::uint64_t>(step, limitMs - elapsed)));
    if (cancelled()) return WaitOutcome::Cancelled;
  }
}

WindowHandle FindWindowFor(Platform& platform, const CaptionPattern& caption) {
  return caption.isPrefix ? platform.FindCaptionPrefix(caption.text)
                          : platform.FindCaption(caption.text);
}

std::string DescribeWindow(const CaptionPattern& caption) {
  if (caption.isPrefix) return "the window whose title begins with \"" + caption.text + "\"";
  return "the window \"" + caption.text + "\"";
}

std::string DurationText(std::uint32_t ms) {
  const auto plural = [](std::uint32_t n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
  };
  if (ms >= 3600000 && ms % 3600000 == 0) return plural(ms / 3600000, "hour");
  if (ms >= 60000 && ms % 60000 == 0) return plural(ms / 60000, "minute");
  if (ms >= 1000 && ms % 1000 == 0) return plural(ms / 1000, "second");
  return plural(ms, "millisecond");
}

void AwaitCaption(Platform& platform, MainView& view, JobLog& log, const CaptionPattern& caption,
                  bool present, std::uint32_t limitMs, const WaitLimits& pace) {
  std::string what = DescribeWindow(caption);
  log.Line("Wait: " + what + (present ? " to appear" : " to go") + " (at most " +
           DurationText(limitMs) + ")");
  what[0] = 'T';
  const std::uint64_t start = platform.NowMilliseconds();
  const WaitOutcome outcome = WaitUntil(
      platform, limitMs, pace, [&] { return (FindWindowFor(platform, caption) != 0) == present; },
      [&] { return view.CloseRequested(); });
  const std::string waited = std::to_string(platform.NowMilliseconds() - start) + " ms";
  switch (outcome) {
    case WaitOutcome::Met:
      log.Line(what + (present ? " appeared after " : " was gone after ") + waited);
      return;
    case WaitOutcome::Cancelled:
      throw JobCancelled();
    case WaitOutcome::TimedOut: {
      log.Line(what + (present ? " did not appear" : " did not go") + ": gave up after " + waited);
      throw JobError(what + (present ? " did not appear within " : " was still open after ") +
                     DurationText(limitMs) + ".");
    }
  }
}

}  // namespace quillon

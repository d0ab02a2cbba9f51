#include "automation/window_automation.h"

#include <algorithm>

#include "automation/key_notation.h"

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

WindowAutomation::WindowAutomation(Platform& platform, const WaitLimits& limits, LogSink log,
                                   CancelTest cancelled)
    : platform_(platform),
      limits_(limits),
      log_(std::move(log)),
      cancelled_(std::move(cancelled)) {}

WindowHandle WindowAutomation::Find(const CaptionPattern& caption) const {
  return caption.isPrefix ? platform_.FindCaptionPrefix(caption.text)
                          : platform_.FindCaption(caption.text);
}

WaitOutcome WindowAutomation::Await(const CaptionPattern& caption, bool present,
                                    std::uint32_t limitMs) {
  std::string what = DescribeWindow(caption);
  log_("Wait: " + what + (present ? " to appear" : " to go") + " (at most " +
       DurationText(limitMs) + ")");
  what[0] = 'T';
  const std::uint64_t start = platform_.NowMilliseconds();
  const WaitOutcome outcome = WaitUntil(
      platform_, limitMs, limits_, [&] { return (Find(caption) != 0) == present; }, cancelled_);
  const std::string waited = std::to_string(platform_.NowMilliseconds() - start) + " ms";
  if (outcome == WaitOutcome::Met)
    log_(what + (present ? " appeared after " : " was gone after ") + waited);
  else if (outcome == WaitOutcome::TimedOut)
    log_(what + (present ? " did not appear" : " did not go") + ": gave up after " + waited);
  return outcome;
}

WindowAutomation::Activation WindowAutomation::Activate(const CaptionPattern& caption,
                                                        WindowHandle& window) {
  window = Find(caption);
  if (window == 0) return Activation::NotFound;
  return platform_.ActivateWindow(window) ? Activation::Done : Activation::Refused;
}

void WindowAutomation::Click(WindowHandle window, const CaptionPattern& caption, int control) {
  log_("Click: button " + std::to_string(control) + " of " + DescribeWindow(caption));
  platform_.ClickControl(window, control);
}

void WindowAutomation::Keys(const std::string& notation) {
  log_("Keys: " + notation);
  platform_.SendKeys(ParseKeyNotation(notation));
}

void WindowAutomation::Text(const std::string& text) {
  log_("Text: " + text);
  platform_.SendText(text);
}

}  // namespace quillon

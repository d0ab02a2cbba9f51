#include "automation/window_automation.h"

#include <algorithm>
#include <vector>

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
  WindowHandle found = 0;
  const WaitOutcome outcome = WaitUntil(
      platform_, limitMs, limits_,
      [&] {
        found = Find(caption);
        return (found != 0) == present;
      },
      cancelled_);
  // A window that came up by itself (a message box, a second dialog) is the
  // one the next keys are for, once it is in front.
  if (outcome == WaitOutcome::Met && present) KeysNowFor(found);
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
  if (!platform_.ActivateWindow(window)) return Activation::Refused;
  keysFor_.assign(1, window);
  return Activation::Done;
}

KeysOutcome WindowAutomation::Click(WindowHandle window, const CaptionPattern& caption, int control,
                                    KeyEffect effect, std::uint32_t limitMs) {
  log_("Click: button " + std::to_string(control) + " of " + DescribeWindow(caption));
  platform_.ClickControl(window, control);
  return Confirm(window, effect, limitMs);
}

KeysOutcome WindowAutomation::Keys(const std::string& notation, KeyEffect effect,
                                   std::uint32_t limitMs) {
  log_("Keys: " + notation);
  const std::vector<KeyStroke> keys = ParseKeyNotation(notation);
  return Deliver([&] { platform_.SendKeys(keys); }, effect, limitMs);
}

KeysOutcome WindowAutomation::Text(const std::string& text, std::uint32_t limitMs) {
  log_("Text: " + text);
  return Deliver([&] { platform_.SendText(text); }, KeyEffect::None, limitMs);
}

void WindowAutomation::KeysNowFor(WindowHandle window) {
  if (keysFor_.empty() || keysFor_.back() != window) keysFor_.push_back(window);
}

WindowHandle WindowAutomation::KeysAreFor() {
  while (!keysFor_.empty() && !platform_.WindowExists(keysFor_.back())) keysFor_.pop_back();
  return keysFor_.empty() ? 0 : keysFor_.back();
}

// Keys sent to a window that is not yet in front, or whose thread has not
// caught up with what came before, are lost or reach the wrong window: a
// tool that is slow to show a dialog, or to bring back the window the
// dialog belonged to, makes the macro wait.
KeysOutcome WindowAutomation::Deliver(const std::function<void()>& send, KeyEffect effect,
                                      std::uint32_t limitMs) {
  WindowHandle target = 0;
  std::uint64_t broughtBack = platform_.NowMilliseconds();
  bool broughtBackBefore = false;
  const WaitOutcome ready = WaitUntil(
      platform_, limitMs, limits_,
      [&] {
        const WindowHandle expected = KeysAreFor();
        target = platform_.ForegroundWindow();
        if (target != 0 && (expected == 0 || target == expected) && platform_.ReadyForKeys(target))
          return true;
        // Under Wine a window now and then comes back from a dialog that
        // closed without the focus, or not to the front: a window that stays
        // unready that long is brought to the front again.
        const std::uint64_t now = platform_.NowMilliseconds();
        if (expected != 0 && now - broughtBack >= limits_.bringBackMs) {
          if (!broughtBackBefore)
            log_("Not ready for keys: the window they are for brought to the front again");
          broughtBackBefore = true;
          broughtBack = now;
          if (platform_.ActivateWindow(expected)) {
            target = platform_.ForegroundWindow();
            return target == expected && platform_.ReadyForKeys(target);
          }
        }
        return false;
      },
      cancelled_);
  if (ready == WaitOutcome::Cancelled) return KeysOutcome::Cancelled;
  if (ready == WaitOutcome::TimedOut) return KeysOutcome::NoWindowReady;
  send();
  if (effect == KeyEffect::OpensMenu || effect == KeyEffect::ClosesWindow)
    return ConfirmOrSendAgain(target, effect, send, limitMs);
  return Confirm(target, effect, limitMs);
}

// Under Wine a key now and then does nothing in a window that has only just
// come to the front: Alt+F opens no menu (or the menu closes again at once),
// Alt+F4 leaves a dialog open. Sent again to the same window, still in front
// and ready, and only once it has read the first keys and is still without
// their effect, they take effect; nothing else can have taken them. Keys
// still queued behind a busy moment of the tool are not sent twice.
KeysOutcome WindowAutomation::ConfirmOrSendAgain(WindowHandle target, KeyEffect effect,
                                                 const std::function<void()>& send,
                                                 std::uint32_t limitMs) {
  const auto seen = [&] {
    return effect == KeyEffect::OpensMenu ? platform_.MenuOpen(target)
                                          : !platform_.WindowExists(target);
  };
  const std::uint64_t start = platform_.NowMilliseconds();
  for (;;) {
    const std::uint64_t elapsed = platform_.NowMilliseconds() - start;
    if (elapsed >= limitMs)
      return effect == KeyEffect::OpensMenu ? KeysOutcome::NoMenuOpened : KeysOutcome::WindowStayed;
    const auto slice =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(limits_.keysAgainMs, limitMs - elapsed));
    const WaitOutcome outcome = WaitUntil(platform_, slice, limits_, seen, cancelled_);
    if (outcome == WaitOutcome::Cancelled) return KeysOutcome::Cancelled;
    if (outcome == WaitOutcome::Met) {
      std::erase(keysFor_, target);
      return KeysOutcome::Landed;
    }
    if (platform_.ForegroundWindow() == target && platform_.TookInKeys(target) &&
        platform_.ReadyForKeys(target) && !seen()) {
      log_("Nothing happened: the keys again");
      send();
    }
  }
}

KeysOutcome WindowAutomation::Confirm(WindowHandle target, KeyEffect effect,
                                      std::uint32_t limitMs) {
  if (effect == KeyEffect::None) return KeysOutcome::Landed;
  const bool opens = effect == KeyEffect::OpensWindow;
  WindowHandle front = 0;
  const WaitOutcome outcome = WaitUntil(
      platform_, limitMs, limits_,
      [&] {
        if (!opens) return !platform_.WindowExists(target);
        front = platform_.ForegroundWindow();
        return front != 0 && front != target && platform_.ReadyForKeys(front);
      },
      cancelled_);
  if (outcome == WaitOutcome::Met) {
    // The window that opened takes the next keys; once a window has closed,
    // the one it came up over does.
    if (opens) KeysNowFor(front);
    if (effect == KeyEffect::ClosesWindow) std::erase(keysFor_, target);
    return KeysOutcome::Landed;
  }
  if (outcome == WaitOutcome::Cancelled) return KeysOutcome::Cancelled;
  return opens ? KeysOutcome::NoWindowOpened : KeysOutcome::WindowStayed;
}

}  // namespace quillon

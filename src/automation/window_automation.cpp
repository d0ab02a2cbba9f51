#include "automation/window_automation.h"

#include <algorithm>
#include <vector>

#include "automation/key_notation.h"

namespace quillon {

WaitOutcome WaitUntil(Platform& platform, std::uint32_t limitMs, const WaitLimits& pace,
                      const std::function<bool()>& condition,
                      const std::function<bool()>& cancelled,
                      const std::function<bool()>& clockStopped) {
  std::uint64_t last = platform.NowMilliseconds();
  std::uint64_t waited = 0;   // all of the wait, for its pace
  std::uint64_t counted = 0;  // what counts towards the limit
  for (;;) {
    if (condition()) return WaitOutcome::Met;
    const bool stopped = clockStopped && clockStopped();
    if (!stopped && counted >= limitMs) return WaitOutcome::TimedOut;
    // A poll interval of 0 would spin without ever yielding.
    const std::uint64_t step =
        std::max<std::uint32_t>(waited < pace.slowPollAfterMs ? pace.pollMs : pace.slowPollMs, 1);
    platform.PumpMessagesFor(
        static_cast<std::uint32_t>(stopped ? step : std::min(step, limitMs - counted)));
    const std::uint64_t now = platform.NowMilliseconds();
    const std::uint64_t passed = now >= last ? now - last : 0;
    last = now;
    waited += passed;
    if (!stopped) counted += passed;
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

void WindowAutomation::StepStarts(std::uint32_t limitMs) {
  platform_.BoundWaits(limits_, platform_.NowMilliseconds() + limitMs);
}

WaitOutcome WindowAutomation::WaitToSend(std::uint32_t limitMs,
                                         const std::function<bool()>& condition) {
  const std::uint64_t start = platform_.NowMilliseconds();
  // The platform's own waits end with the step; a stopped clock moves the
  // step's end on by as long as it stood still.
  std::uint64_t stepEnd = start + limitMs;
  std::uint64_t last = start;
  bool stopped = false;
  return WaitUntil(
      platform_, limitMs, limits_,
      [&] {
        const std::uint64_t now = platform_.NowMilliseconds();
        if (stopped) stepEnd += now - last;
        last = now;
        if (!platform_.DesktopTakesInput()) {
          if (!lockedSince_) {
            lockedSince_ = now;
            log_(
                "Paused: the session is locked or a secure desktop shows; no key, click or "
                "activation goes out until it is back");
          }
          return false;
        }
        if (lockedSince_) {
          log_("Went on after " + std::to_string(now - *lockedSince_) +
               " ms: the desktop takes input again");
          lockedSince_.reset();
        }
        platform_.BoundWaits(limits_, stepEnd);
        return condition();
      },
      cancelled_,
      [&] {
        // Kept from the front, a step may wait as long as a tool may run.
        stopped =
            lockedSince_.has_value() ||
            (refused_ != 0 && platform_.NowMilliseconds() - start + limitMs < limits_.toolRunMs);
        return stopped;
      });
}

bool WindowAutomation::BringToFront(WindowHandle window, const std::string& what) {
  if (platform_.ActivateWindow(window)) {
    if (refused_ != 0) {
      log_("In front after " + std::to_string(platform_.NowMilliseconds() - refusedSince_) +
           " ms: " + what);
      refused_ = 0;
    }
    return true;
  }
  if (refused_ != window && platform_.WindowExists(window)) {
    // Not forced: the user may be typing into that program. The flashing
    // button tells them the job waits for the front.
    if (refused_ == 0) refusedSince_ = platform_.NowMilliseconds();
    refused_ = window;
    platform_.FlashWindow(window);
    log_("Waiting for the front: Windows keeps " + what +
         " behind the program in use (last input " + std::to_string(platform_.MsSinceUserInput()) +
         " ms ago); its taskbar button flashes, and the job tries again every " +
         DurationText(limits_.frontAgainMs));
  }
  return false;
}

WindowAutomation::Activation WindowAutomation::Activate(const CaptionPattern& caption,
                                                        WindowHandle& window) {
  window = Find(caption);
  if (window == 0) return Activation::NotFound;
  StepStarts(limits_.toolRunMs);
  const std::string what = DescribeWindow(caption);
  std::optional<std::uint64_t> triedAt;
  const WaitOutcome outcome = WaitToSend(limits_.toolRunMs, [&] {
    if (!platform_.WindowExists(window)) return true;
    const std::uint64_t now = platform_.NowMilliseconds();
    if (triedAt && now - *triedAt < limits_.frontAgainMs) return false;
    triedAt = now;
    return BringToFront(window, what);
  });
  refused_ = 0;
  if (outcome == WaitOutcome::Cancelled) return Activation::Cancelled;
  if (!platform_.WindowExists(window)) return Activation::NotFound;
  if (outcome == WaitOutcome::TimedOut) return Activation::Refused;
  keysFor_.assign(1, window);
  toolProcess_ = platform_.WindowProcess(window);
  return Activation::Done;
}

KeysOutcome WindowAutomation::Click(WindowHandle window, const CaptionPattern& caption, int control,
                                    KeyEffect effect, std::uint32_t limitMs) {
  StepStarts(limitMs);
  if (WaitToSend(limitMs, [] { return true; }) == WaitOutcome::Cancelled)
    return KeysOutcome::Cancelled;
  log_("Click: button " + std::to_string(control) + " of " + DescribeWindow(caption));
  platform_.ClickControl(window, control);
  return Confirm(window, effect, limitMs);
}

KeysOutcome WindowAutomation::ClickToStart(WindowHandle window, const CaptionPattern& caption,
                                           int control, const CaptionPattern& work,
                                           std::uint32_t limitMs) {
  const KeysOutcome clicked = Click(window, caption, control, KeyEffect::None, limitMs);
  if (clicked != KeysOutcome::Landed) return clicked;
  // A busy tool carries the click out late, never not at all: the job waits
  // for it rather than go on as if the work had run.
  const WaitOutcome started = WaitUntil(
      platform_, limitMs, limits_, [&] { return Find(work) != 0 || platform_.ClicksDone(window); },
      cancelled_);
  if (started == WaitOutcome::Cancelled) return KeysOutcome::Cancelled;
  if (started == WaitOutcome::TimedOut) {
    log_("No sign of " + DescribeWindow(work) + " after the click");
    return KeysOutcome::WorkNotStarted;
  }
  return KeysOutcome::Landed;
}

KeysOutcome WindowAutomation::Keys(const std::string& notation, KeyEffect effect,
                                   std::uint32_t limitMs) {
  log_("Keys: " + notation);
  const std::vector<KeyStroke> keys = ParseKeyNotation(notation);
  return Deliver([&](WindowHandle window) { return platform_.SendKeys(window, keys); }, effect,
                 limitMs);
}

KeysOutcome WindowAutomation::Text(const std::string& text, std::uint32_t limitMs) {
  log_("Text: " + text);
  return Deliver([&](WindowHandle window) { return platform_.SendText(window, text); },
                 KeyEffect::None, limitMs);
}

void WindowAutomation::KeysNowFor(WindowHandle window) {
  // A window of another program with the same title is not the tool's.
  const std::uint32_t process = platform_.WindowProcess(window);
  if (toolProcess_ == 0) toolProcess_ = process;
  if (process != toolProcess_) return;
  if (keysFor_.empty() || keysFor_.back() != window) keysFor_.push_back(window);
}

// A window the macro did not close itself may not hand its keys down to the
// one it came up over: they were meant for it alone.
WindowHandle WindowAutomation::KeysAreFor() {
  if (keysFor_.empty() || !platform_.WindowExists(keysFor_.back())) return 0;
  return keysFor_.back();
}

// Keys sent to a window that is not yet in front, or whose thread has not
// caught up with what came before, are lost or reach the wrong window: a
// tool that is slow to show a dialog, or to bring back the window the
// dialog belonged to, makes the macro wait. Whatever else is in front (the
// user's program, a reminder, the desktop) gets nothing: the platform sends
// only while the window they are for is in front.
KeysOutcome WindowAutomation::Deliver(const std::function<bool(WindowHandle)>& send,
                                      KeyEffect effect, std::uint32_t limitMs) {
  StepStarts(limitMs);
  WindowHandle target = 0;
  bool gone = false;
  std::uint64_t broughtBack = platform_.NowMilliseconds();
  bool broughtBackBefore = false;
  const WaitOutcome sent = WaitToSend(limitMs, [&] {
    target = KeysAreFor();
    if (target == 0) return gone = true;
    if (platform_.ForegroundWindow() == target && platform_.ReadyForKeys(target) && send(target))
      return true;
    // Under Wine a window now and then comes back from a dialog that
    // closed without the focus, or not to the front; on Windows another
    // program may have come in front of it: a window that stays unready
    // that long is brought to the front again.
    const std::uint64_t now = platform_.NowMilliseconds();
    if (now - broughtBack < limits_.bringBackMs) return false;
    if (!broughtBackBefore)
      log_("Not ready for keys: the window they are for brought to the front again");
    broughtBackBefore = true;
    broughtBack = now;
    return BringToFront(target, "the window the keys are for") &&
           platform_.ForegroundWindow() == target && platform_.ReadyForKeys(target) && send(target);
  });
  refused_ = 0;
  if (gone) return KeysOutcome::WindowGone;
  if (sent == WaitOutcome::Cancelled) return KeysOutcome::Cancelled;
  if (sent == WaitOutcome::TimedOut) return KeysOutcome::NoWindowReady;
  if (effect == KeyEffect::OpensMenu || effect == KeyEffect::ClosesWindow)
    return ConfirmOrSendAgain(target, effect, send, limitMs);
  return Confirm(target, effect, limitMs);
}

// Under Wine a key now and then does nothing in a window that has only just
// come to the front: Alt+F opens no menu (or the menu closes again at once),
// Alt+F4 leaves a dialog open. Sent again to the same window, still in front
// and ready, and only once it has read the first keys and is still without
// their effect, they take effect; nothing else can have taken them. Keys
// still queued behind a busy tool are not sent twice, and a window that came
// after the one they were for never gets them.
KeysOutcome WindowAutomation::ConfirmOrSendAgain(WindowHandle target, KeyEffect effect,
                                                 const std::function<bool(WindowHandle)>& send,
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
      // A menu's keys are for the window whose menu it is; once a window
      // has closed, the one it came up over takes the next keys.
      if (effect == KeyEffect::ClosesWindow) std::erase(keysFor_, target);
      return KeysOutcome::Landed;
    }
    if (platform_.DesktopTakesInput() && platform_.ForegroundWindow() == target &&
        platform_.TookInKeys(target) && platform_.ReadyForKeys(target) && !seen() && send(target))
      log_("Nothing happened: the keys again");
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
        // Only the tool's own window: the user's program, or this one,
        // coming to the front meanwhile is not what the keys opened.
        front = platform_.ForegroundWindow();
        return front != 0 && front != target && platform_.WindowProcess(front) == toolProcess_ &&
               platform_.ReadyForKeys(front);
      },
      cancelled_);
  if (outcome == WaitOutcome::Met) {
    if (opens) KeysNowFor(front);
    if (effect == KeyEffect::ClosesWindow) std::erase(keysFor_, target);
    return KeysOutcome::Landed;
  }
  if (outcome == WaitOutcome::Cancelled) return KeysOutcome::Cancelled;
  return opens ? KeysOutcome::NoWindowOpened : KeysOutcome::WindowStayed;
}

}  // namespace quillon

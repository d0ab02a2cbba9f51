#pragma once
// Driving another program's windows through the platform: finding them by
// caption, waiting for them to come or go, bringing them to the front,
// clicking their buttons, and sending them keys and text. Every wait keeps
// the program's messages flowing, so the window stays alive and a close is
// seen. What it finds, it reports; what a failure means for the job is for
// the job to say.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/wait_limits.h"

namespace quillon {

// A window caption to look for: the whole title, or for the two captions
// that end in a person's name, only their fixed beginning.
struct CaptionPattern {
  std::string text;
  bool isPrefix = false;
  CaptionPattern(std::string t, bool prefix = false) : text(std::move(t)), isPrefix(prefix) {}
  CaptionPattern(const char* t) : text(t) {}
};

enum class WaitOutcome { Met, TimedOut, Cancelled };

// What a click or keys do to the windows: the macro goes on only once that
// has happened, however short the keystroke pause.
enum class KeyEffect { None, OpensMenu, OpensWindow, ClosesWindow };

enum class KeysOutcome {
  Landed,
  NoWindowReady,   // the window they are for was never in front and ready
  NoWindowOpened,  // sent, but no new window of the tool came to the front ready for keys
  NoMenuOpened,    // sent, but the window in front opened no menu
  WindowStayed,    // sent, but the window they were for did not close
  WindowGone,      // every window they could be for has gone
  WorkNotStarted,  // a click that starts the tool's work showed no sign of it
  Cancelled,
};

// Checks `condition` first and then after every pause of `pace.pollMs`
// (`pace.slowPollMs` once `pace.slowPollAfterMs` have passed), during which
// the program keeps processing its messages; a pause ends early when another
// program's window changes. Gives up once `limitMs` have passed, not
// counting pauses that began while `clockStopped` held, or when `cancelled`
// holds after a pause.
WaitOutcome WaitUntil(Platform& platform, std::uint32_t limitMs, const WaitLimits& pace,
                      const std::function<bool()>& condition,
                      const std::function<bool()>& cancelled,
                      const std::function<bool()>& clockStopped = nullptr);

// How the pattern reads in a message: "the window \"SubToSup\"", or for a
// beginning "the window whose title begins with \"Running OCR...\"".
std::string DescribeWindow(const CaptionPattern& caption);

// "2 minutes", "1 hour", "90 seconds".
std::string DurationText(std::uint32_t ms);

class WindowAutomation {
 public:
  using LogSink = std::function<void(const std::string&)>;
  using CancelTest = std::function<bool()>;

  // The waits read `limits` when they start; `log` gets a line for every
  // wait, click, key sequence and text; `cancelled` ends a wait early.
  WindowAutomation(Platform& platform, const WaitLimits& limits, LogSink log, CancelTest cancelled);

  // The first top-level window that the caption pattern matches, or 0.
  WindowHandle Find(const CaptionPattern& caption) const;
  // Waits until a window matching `caption` exists (`present`) or until none
  // does, for at most `limitMs`. The log gets a line before the wait (what a
  // hung job waits for) and one after it (how long it took).
  WaitOutcome Await(const CaptionPattern& caption, bool present, std::uint32_t limitMs);

  enum class Activation { Done, NotFound, Refused, Cancelled };
  // Brings the window to the front with the keyboard focus; `window` is the
  // one found, or 0. While Windows keeps the front for the program the user
  // works in, the window's taskbar button flashes and the activation is
  // tried again every `frontAgainMs`, for as long as a tool may run.
  Activation Activate(const CaptionPattern& caption, WindowHandle& window);
  // A click on the direct child `control` of `window`, and its effect
  // confirmed within `limitMs`.
  KeysOutcome Click(WindowHandle window, const CaptionPattern& caption, int control,
                    KeyEffect effect, std::uint32_t limitMs);
  // A click that starts the tool's long work, which shows the window `work`
  // while it lasts: confirmed once that window is there, or once the tool
  // has carried the click out (a short piece of work may have come and gone
  // between two looks).
  KeysOutcome ClickToStart(WindowHandle window, const CaptionPattern& caption, int control,
                           const CaptionPattern& work, std::uint32_t limitMs);
  // Keys in the macro notation, and literal text, for the window the macro
  // works in: sent once that window is in front and ready for them, and
  // their effect confirmed, each within `limitMs`. Keys outside the notation
  // throw std::invalid_argument naming them.
  KeysOutcome Keys(const std::string& notation, KeyEffect effect, std::uint32_t limitMs);
  KeysOutcome Text(const std::string& text, std::uint32_t limitMs);

 private:
  // A wait of a step that sends input. While the session is locked or a
  // secure desktop shows, `condition` is not asked (nothing may go out) and
  // the clock stops. While Windows keeps the front for the user, the wait
  // may last up to `toolRunMs`. The log says when the job paused and went on.
  WaitOutcome WaitToSend(std::uint32_t limitMs, const std::function<bool()>& condition);
  // Tries to bring `window` to the front; a refusal flashes its taskbar
  // button and is logged once, until the window comes to the front.
  bool BringToFront(WindowHandle window, const std::string& what);
  // Bounds the platform's own waits by the end of the step now starting.
  void StepStarts(std::uint32_t limitMs);
  KeysOutcome Deliver(const std::function<bool(WindowHandle)>& send, KeyEffect effect,
                      std::uint32_t limitMs);
  KeysOutcome Confirm(WindowHandle target, KeyEffect effect, std::uint32_t limitMs);
  // Arrows sent before the menu loop runs reach the window, not the menu;
  // keys sent before a dialog has gone reach the dialog.
  KeysOutcome ConfirmOrSendAgain(WindowHandle target, KeyEffect effect,
                                 const std::function<bool(WindowHandle)>& send,
                                 std::uint32_t limitMs);
  // A window the macro's keys are for from now on: one of the tool's own.
  void KeysNowFor(WindowHandle window);
  // The newest window in `keysFor_`, or 0 when it has gone.
  WindowHandle KeysAreFor();

  Platform& platform_;
  const WaitLimits& limits_;
  LogSink log_;
  CancelTest cancelled_;
  // The windows the macro's keys are for, the newest last: the window it
  // brought to the front, then each one of the same tool that came up over
  // it (a dialog its keys opened, a window it waited for). Keys wait until
  // the newest one that still exists is in front.
  std::vector<WindowHandle> keysFor_;
  // The program whose windows the macro works in (the one it brought to the
  // front last): a window of any other program never takes its keys.
  std::uint32_t toolProcess_ = 0;
  // The window Windows keeps from the front, since `refusedSince_`.
  WindowHandle refused_ = 0;
  std::uint64_t refusedSince_ = 0;
  // When the desktop stopped taking input, while it does not.
  std::optional<std::uint64_t> lockedSince_;
};

}  // namespace quillon

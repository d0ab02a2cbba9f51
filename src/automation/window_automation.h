#pragma once
// Driving another program's windows through the platform: finding them by
// caption, waiting for them to come or go, bringing them to the front,
// clicking their buttons, and sending them keys and text. Every wait keeps
// the program's messages flowing, so the window stays alive and a close is
// seen. What it finds, it reports; what a failure means for the job is for
// the job to say.

#include <cstdint>
#include <functional>
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
  NoWindowReady,   // no window in front was ready to take them
  NoWindowOpened,  // sent, but no new window came to the front ready for keys
  NoMenuOpened,    // sent, but the window in front opened no menu
  WindowStayed,    // sent, but the window they were for did not close
  Cancelled,
};

// Checks `condition` first and then after every pause of `pace.pollMs`
// (`pace.slowPollMs` once `pace.slowPollAfterMs` have passed), during which
// the program keeps processing its messages; a pause ends early when another
// program's window changes. Gives up once `limitMs` have
// passed, or when `cancelled` holds after a pause.
WaitOutcome WaitUntil(Platform& platform, std::uint32_t limitMs, const WaitLimits& pace,
                      const std::function<bool()>& condition,
                      const std::function<bool()>& cancelled);

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

  enum class Activation { Done, NotFound, Refused };
  // Brings the window to the front with the keyboard focus; `window` is the
  // one found, or 0.
  Activation Activate(const CaptionPattern& caption, WindowHandle& window);
  // A click on the direct child `control` of `window`, and its effect
  // confirmed within `limitMs`.
  KeysOutcome Click(WindowHandle window, const CaptionPattern& caption, int control,
                    KeyEffect effect, std::uint32_t limitMs);
  // Keys in the macro notation, and literal text, into the window in front:
  // sent once that window is ready for them, and their effect confirmed,
  // each within `limitMs`. Keys outside the notation throw
  // std::invalid_argument naming them.
  KeysOutcome Keys(const std::string& notation, KeyEffect effect, std::uint32_t limitMs);
  KeysOutcome Text(const std::string& text, std::uint32_t limitMs);

 private:
  KeysOutcome Deliver(const std::function<void()>& send, KeyEffect effect, std::uint32_t limitMs);
  KeysOutcome Confirm(WindowHandle target, KeyEffect effect, std::uint32_t limitMs);
  // Arrows sent before the menu loop runs reach the window, not the menu;
  // keys sent before a dialog has gone reach the dialog.
  KeysOutcome ConfirmOrSendAgain(WindowHandle target, KeyEffect effect,
                                 const std::function<void()>& send, std::uint32_t limitMs);
  void KeysNowFor(WindowHandle window);
  // The newest window in `keysFor_` that still exists, or 0 for any.
  WindowHandle KeysAreFor();

  Platform& platform_;
  const WaitLimits& limits_;
  LogSink log_;
  CancelTest cancelled_;
  // The windows the macro's keys are for, the newest last: the window it
  // brought to the front, then each one that came up over it (a dialog its
  // keys opened, a window it waited for). Keys wait until the newest one
  // that still exists is in front.
  std::vector<WindowHandle> keysFor_;
};

}  // namespace quillon

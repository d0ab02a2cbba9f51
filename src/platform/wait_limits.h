#pragma once
// How long the job waits for an outside tool before it gives up, and how
// often it looks meanwhile: often at first, since a window mostly comes or
// goes a moment after the step that causes it; less often once the wait is
// long (a conversion, a recognition), since every look reads the title of
// every top-level window and a long wait should cost next to no processor.
// The second group bounds the short waits inside one step, for the system
// or another program's thread to answer; none of them may outlast the step.

#include <cstdint>

namespace quillon {

struct WaitLimits {
  // ---- the job's steps ----
  std::uint32_t windowAppearMs = 2 * 60 * 1000;  // a tool window to appear
  std::uint32_t toolRunMs = 60 * 60 * 1000;      // a conversion or recognition to end
  std::uint32_t pollMs = 10;                     // between two looks at the windows
  std::uint32_t slowPollMs = 50;                 // the same, once a wait is long
  std::uint32_t slowPollAfterMs = 1000;          // when a wait counts as long
  std::uint32_t unattendedBoxMs = 60 * 1000;     // a batch run's message box to close itself
  std::uint32_t keysAgainMs = 250;    // keys that should open a menu or close a window go again
  std::uint32_t bringBackMs = 1000;   // a window not ready for its keys is brought to the front
  std::uint32_t frontAgainMs = 1000;  // a refused activation is tried again

  // ---- inside one step ----
  std::uint32_t answerMs = 1000;       // another program's thread to answer one sent message
  std::uint32_t focusAnswerMs = 500;   // the same, before this thread joins its input to set focus
  std::uint32_t showMs = 2000;         // a window found while still being built, to show
  std::uint32_t restoreMs = 1000;      // a minimised window to come back
  std::uint32_t frontMs = 1000;        // an accepted activation to take effect
  std::uint32_t closeMs = 250;         // a window reached by a closing key, to go
  std::uint32_t keysTakenInMs = 5000;  // a thread to read every key sent to it
  std::uint32_t heldKeysMs = 1000;     // the user's Shift, Ctrl, Alt or Win to be let go
  std::uint32_t toolEndMs = 5000;      // a tool that was ended, to be gone
  std::uint32_t startAgainMs = 250;    // a tool start that failed under Wine, to be tried again
};

}  // namespace quillon

#pragma once
// Looking for another program's window by its caption, and the one wait
// loop behind every wait for such a window.

#include <cstdint>
#include <functional>
#include <string>

#include "app/frm_main.h"
#include "app/main_view.h"
#include "job/job_error.h"
#include "platform/platform.h"

namespace quillon {

enum class WaitOutcome { Met, TimedOut, Cancelled };

// Checks `condition` first and then after every pause of `pace.pollMs`
// (`pace.slowPollMs` once `pace.slowPollAfterMs` have passed), during which
// the program keeps processing its messages (the caption moves, a click on
// Close is seen). Gives up once `limitMs` have passed, or when `cancelled`
// holds after a pause.
WaitOutcome WaitUntil(Platform& platform, std::uint32_t limitMs, const WaitLimits& pace,
                      const std::function<bool()>& condition,
                      const std::function<bool()>& cancelled);

// The first top-level window that the caption pattern matches, or 0.
WindowHandle FindWindowFor(Platform& platform, const CaptionPattern& caption);

// How the pattern reads in a message: "the window \"SubToSup\"", or for a
// beginning "the window whose title begins with \"Running OCR...\"".
std::string DescribeWindow(const CaptionPattern& caption);

// "2 minutes", "1 hour", "90 seconds".
std::string DurationText(std::uint32_t ms);

// Waits until a window matching `caption` exists (`present`) or until none
// does. Throws JobError naming the window when `limitMs` pass first, and
// JobCancelled when the user closes the main window meanwhile. The job log
// gets a line before the wait (what a hung job waits for) and one after it
// (how long it took).
void AwaitCaption(Platform& platform, MainView& view, JobLog& log, const CaptionPattern& caption,
                  bool present, std::uint32_t limitMs, const WaitLimits& pace);

}  // namespace quillon

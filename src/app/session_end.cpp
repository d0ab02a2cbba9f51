// Windows ending the session (an update's restart at night, a shut-down, a
// sign-out) while a job runs. Windows first asks every program whether it
// may end, then says whether it does. Between the two the macro must not
// type into whatever comes to the front, and once it does end, the job's
// log says so and its tools go with it.

#include "app/frm_main.h"

namespace quillon {

bool FrmMain::QueryEndSession() {
  // The job's own shut-down: nothing is left to hold.
  if (!jobRunning_ || shuttingDown_ || sessionEnd_ != SessionEnd::No) return true;
  sessionEnd_ = SessionEnd::Asked;
  sessionAskedAtMs_ = platform_.NowMilliseconds();
  job_.Log().Line(
      "Windows asks to end the session: the job holds before its next key, click or tool start "
      "until Windows says whether it ends, at most " +
      DurationText(job_.Limits().toolRunMs) + ".");
  return true;
}

void FrmMain::EndSession(bool ending) {
  if (!jobRunning_) return;
  if (!ending) {
    if (sessionEnd_ != SessionEnd::Asked) return;
    sessionEnd_ = SessionEnd::No;
    job_.Log().Line("Windows does not end the session after all: the job goes on.");
    return;
  }
  if (shuttingDown_) {
    job_.Log().Line("Windows is shutting down, as the job asked.");
    job_.Log().End();
    return;
  }
  sessionEnd_ = SessionEnd::Ending;
  // Windows may end this program as soon as this message is answered: the
  // tools and the log's last line cannot wait for the job to unwind.
  platform_.EndAllTools();
  job_.Log().Line("Stopped: Windows is shutting down.");
  job_.Log().End();
}

// Windows answers the question within moments, or once the user has chosen
// on its "apps are preventing shut-down" screen; should the answer never
// come, the job goes on after the longest wait it knows.
void FrmMain::HoldWhileWindowsDecides() const {
  constexpr std::uint32_t kLookEveryMs = 100;
  while (sessionEnd_ == SessionEnd::Asked && !view_.CloseRequested() &&
         platform_.NowMilliseconds() - sessionAskedAtMs_ < job_.Limits().toolRunMs)
    platform_.PumpMessagesFor(kLookEveryMs);
}

// The job's waits ask this after every look, so no key or click goes out
// while Windows decides.
bool FrmMain::CloseRequested() const {
  HoldWhileWindowsDecides();
  return view_.CloseRequested() || sessionEnd_ == SessionEnd::Ending;
}

bool FrmMain::SessionEnding() const {
  HoldWhileWindowsDecides();
  return sessionEnd_ == SessionEnd::Ending;
}

}  // namespace quillon

#pragma once
// The account of the last job: what it started, waited for and typed, and
// how it ended, in "<local application-data folder>\Quillon\last-job.log".
// Each job replaces the file, and every line goes to disk as it happens, so
// a job that hangs or is ended from outside still leaves its account. The
// job holds its log while it runs: a copy of the program that finds the log
// held by another copy's job writes "last-job-2.log" (and so on) instead of
// destroying that account. The log is a help, never a condition: when it
// cannot be written the job goes on without it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon {

class JobLog {
 public:
  explicit JobLog(Platform& platform) : platform_(platform) {}

  // Replaces the last job's log with `heading`, one line each, and starts the
  // job's clock. Without a local application-data folder, or when the file
  // cannot be made, the job keeps no log.
  void Begin(const std::vector<std::string>& heading) noexcept;
  // One line, stamped with the time since Begin. Line breaks inside `text`
  // start indented continuation lines.
  void Line(const std::string& text) noexcept;
  // The job is over: no more lines, and the file is free for the next job
  // of any copy, but Path() still names it.
  void End() noexcept {
    writing_ = false;
    file_.reset();
  }
  // A job that does not start has no log of its own to point to.
  void Forget() noexcept;

  // The file of the current or last job; "" when it has none.
  const std::string& Path() const { return path_; }

 private:
  Platform& platform_;
  std::unique_ptr<HeldTextFile> file_;
  std::string path_;
  bool writing_ = false;
  std::uint64_t startMs_ = 0;
};

// "[m:ss.mmm]": the stamp of a line written `ms` after the job started.
std::string LogStamp(std::uint64_t ms);

// The file name of the program a command line starts ("BeSweet.exe" for
// "\"C:\...\BeSweet.exe\" -core( ...", "shutdown" for "shutdown -s").
std::string ProgramName(const std::string& commandLine);

}  // namespace quillon

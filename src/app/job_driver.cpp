#include <exception>
#include <memory>
#include <vector>

#include "app/frm_main.h"

namespace quillon {

namespace {

std::string YesNo(bool on, const char* yes, const char* no) {
  return on ? yes : no;
}

// The log's first lines: which program, which folder, and the options as the
// job starts (a stage reads its options again when it runs).
std::vector<std::string> LogHeading(const FrmMain& frm, const Job& job, bool batchMode) {
  const auto on = [&](ControlId id) { return frm.Control(id).value == 1; };
  std::string options = "Options: audio ";
  options += on(ControlId::optAudMP3)
                 ? "MP3 at " + frm.Control(ControlId::cmbAudQual).text + " kbit/s"
                 : std::string("original");
  options += ", subtitles ";
  options += on(ControlId::optSubSRT) ? YesNo(on(ControlId::chkSubMux), "SRT muxed into the AVI",
                                              "SRT not muxed into the AVI")
                                      : std::string("original");
  options += ", " + YesNo(on(ControlId::chkMux), "mux all", "no muxing");
  options +=
      ", " + YesNo(on(ControlId::chkDelTemp), "delete temporary files", "keep temporary files");
  options += ", " + YesNo(on(ControlId::chkShutDown), "shut down at the end", "no shut-down");
  options += ", keystroke pause " + std::to_string(job.KeyPause()) + " s";
  options += batchMode ? ", batch mode" : ", interactive";
  return {std::string(kRestingCaption) + " job on " + job.Files().Source(), options};
}

// The longest path the outside tools can open (MAX_PATH without its NUL).
constexpr std::size_t kMaxToolPath = 259;

// The length of a UTF-8 text in UTF-16 units, the platform's measure of a
// path: one per character, two for a character beyond the 16-bit range.
std::size_t Utf16Length(const std::string& utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;
    if (byte >= 0xF0) ++units;
  }
  return units;
}

}  // namespace

// The longest paths a job hands to a tool: the subtitle archive it unpacks
// and the SUP files made from its index (the longest of the mux folder's
// names), or else the mux script.
bool FrmMain::PathsFitTools(const JobFiles& files, bool srt) {
  std::vector<std::string> paths = {files.Script()};
  if (files.HasSubtitles()) paths.push_back(files.Archive());
  if (files.HasSubtitles() && srt) paths.push_back(files.FirstSup());
  for (const auto& path : paths)
    if (Utf16Length(path) > kMaxToolPath) return false;
  return true;
}

std::string FrmMain::TooLongText(const JobFiles& files) {
  return "the path of its mux folder is too long:\r\n" + files.Mux() +
         "\r\nThe tools cannot open files whose paths are longer than " +
         std::to_string(kMaxToolPath) +
         " characters. Move the source folder closer to the root of its drive, or give it a "
         "shorter name.";
}

void FrmMain::StartJob() {
  if (jobRunning_ || closed_) return;
  // Until this job has a log, its messages point to none.
  JobLog& log = job_.Log();
  log.Forget();
  stagesRun_.clear();
  sessionEnd_ = SessionEnd::No;
  shuttingDown_ = false;
  toolGroupNoted_ = false;
  if (const std::string refusal = CreateMuxFolder(); !refusal.empty()) {
    FailJob("The job was not started, because " + refusal);
    return;
  }
  job_.Restart();
  log.Begin(LogHeading(*this, job_, batchMode_));
  jobRunning_ = true;
  if (!ShowWorking()) {
    log.End();
    return;
  }
  // An idle sleep would stall the job until morning.
  const std::unique_ptr<AwakeScope> awake = platform_.KeepAwake();
  RunJobToItsEnd();
  jobRunning_ = false;
  log.End();
  // The user closed the window during the job's last steps, which hold no
  // pause: the window goes now.
  if (view_.CloseRequested()) CloseWindow();
}

std::string FrmMain::CreateMuxFolder() {
  JobFiles& files = job_.Files();
  const std::string& muxDir = files.Mux();
  // The folder may have gone since it was chosen, or a command line may name
  // one that never was (a typing error, quotes that belong to no path).
  if (!platform_.FolderExists(files.Source()))
    return "its source folder does not exist:\r\n" + files.Source();
  files.FindSubtitles(platform_);
  // The tools open the job's files through the classic 260-character paths:
  // a job that would hand them a longer one cannot work, however far it got
  // before a tool failed on it.
  if (!PathsFitTools(files, SubtitlesToSrt())) return TooLongText(files);
  // An existing mux folder holds an earlier job's results; this job must not
  // mix its files into them or delete them.
  if (platform_.FolderExists(muxDir))
    return "its mux folder already exists:\r\n" + muxDir +
           "\r\nMove or rename that folder, then start again.";
  try {
    platform_.CreateFolder(muxDir);
  } catch (const std::exception& error) {
    return "its mux folder could not be created:\r\n" + muxDir + "\r\n" + error.what();
  }
  return {};
}

// The window may be unable to show that it works (a timer the system
// refuses). The job has then not started, and must leave neither a window
// that refuses to close nor a mux folder that blocks the next Start.
bool FrmMain::ShowWorking() {
  try {
    EnterBusyState();
    return true;
  } catch (const std::exception& error) {
    jobRunning_ = false;
    EnterIdleState();
    std::string message =
        "The job was not started, because the window could not switch to its working state:\r\n" +
        std::string(error.what());
    try {
      platform_.RemoveFolder(job_.Files().Mux());
    } catch (const std::exception& removal) {
      message += "\r\nIts empty mux folder could not be removed:\r\n" + std::string(removal.what());
    }
    FailJob(message);
    return false;
  }
}

// Nothing may escape to the window: every way out of the job ends here. A
// job that stops takes the tools it was driving with it.
void FrmMain::RunJobToItsEnd() {
  const std::string stoppedWhile = "The job stopped while ";
  try {
    RunJob();
  } catch (const JobCancelled&) {
    job_.Log().Line("Cancelled: the main window was closed during the job.");
    platform_.EndStartedPrograms();
    jobRunning_ = false;
    exitCode_ = kExitCancelled;
    CloseWindow();
  } catch (const JobError& error) {
    StopJob(error);
  } catch (const PlatformError& error) {
    StopJob(error);
  } catch (const std::exception& error) {
    StopJob(stoppedWhile + job_.Step() + " on an unexpected error:\r\n" + error.what());
  } catch (...) {
    StopJob(stoppedWhile + job_.Step() + " on an unexpected error.");
  }
}

// Each condition is read when its step is reached, so a change the user makes
// during an earlier step still counts.
void FrmMain::RunJob() {
  for (const Stage& stage : stages::JobStages()) {
    if (!stage.runs(job_)) continue;
    // Windows' end is at once; the user's close is for the job's next pause.
    if (SessionEnding()) throw JobCancelled();
    stagesRun_.push_back(stage.name);
    job_.BeginStep(stage.step);
    stage.run(job_);
    NoteToolGroupProblem();
  }
  if (SessionEnding()) throw JobCancelled();
  job_.BeginStep("ending the job");
  EndJob();
}

void FrmMain::NoteToolGroupProblem() {
  if (toolGroupNoted_) return;
  const std::string problem = platform_.ToolGroupProblem();
  if (problem.empty()) return;
  toolGroupNoted_ = true;
  job_.Log().Line(problem);
}

void FrmMain::StopJob(const std::exception& error) {
  // Windows is ending the session: the log has said so, and no one is there
  // to read a message.
  if (sessionEnd_ != SessionEnd::Ending) {
    StopJob("The job stopped while " + job_.Step() + ":\r\n" + error.what());
    return;
  }
  jobRunning_ = false;
  exitCode_ = kExitCancelled;
  CloseWindow();
}

void FrmMain::StopJob(const std::string& message) {
  platform_.EndStartedPrograms();
  jobRunning_ = false;
  EnterIdleState();
  FailJob(message);
}

void FrmMain::EndJob() {
  const JobReport& report = job_.Report();
  JobLog& log = job_.Log();
  if (report.Empty()) {
    log.Line("Done!");
  } else {
    std::string problems = "Finished with problems:";
    for (const auto& problem : report.Problems()) problems += "\r\n" + problem;
    for (const auto& note : report.Notes()) problems += "\r\n" + note;
    log.Line(problems);
  }
  std::string shutDownFailure;
  if (batchMode_) {
    if (IsChecked(ControlId::chkShutDown)) shutDownFailure = ShutDown();
    jobRunning_ = false;
    // A computer left on all night is a problem of the run like any other.
    exitCode_ = report.Empty() && shutDownFailure.empty() ? kExitOk : kExitProblems;
    log.Line("Batch mode: the program ends with exit code " + std::to_string(exitCode_) + ".");
    CloseWindow();
    return;
  }
  if (view_.CloseRequested()) return;  // the window closes once the job is over
  if (IsChecked(ControlId::chkShutDown)) {
    shutDownFailure = ShutDown();
    // The system closes the window; until then it stays busy.
    if (shutDownFailure.empty()) return;
  }
  jobRunning_ = false;
  EnterIdleState();
  if (report.Empty() && shutDownFailure.empty()) {
    ShowBox("Done!", MessageIcon::Information);
    return;
  }
  std::string text = report.Empty() ? "The job finished." : "The job finished with problems:";
  for (const auto& problem : report.Problems()) text += "\r\n" + problem;
  for (const auto& note : report.Notes()) text += "\r\n" + note;
  if (!shutDownFailure.empty()) text += "\r\n" + shutDownFailure;
  ShowBox(WithLogPlace(text), MessageIcon::Warning);
}

std::string FrmMain::ShutDown() {
  job_.BeginStep("shutting down the computer");
  shuttingDown_ = true;
  // The command only hands the order to Windows and ends at once; it
  // refuses, for example, while another user is signed in or by policy.
  constexpr char kCommand[] = "shutdown -s";
  constexpr std::uint32_t kAnswerMs = 30 * 1000;
  JobLog& log = job_.Log();
  log.Line(std::string("Run: ") + kCommand);
  const ProcessOutcome outcome = platform_.RunCommand(kCommand, kShowMinimized, kAnswerMs);
  if (!outcome.started) {
    log.Line("shutdown: could not be started" +
             (outcome.startFailure.empty() ? "" : ": " + outcome.startFailure));
    throw JobError("The command \"shutdown -s\" could not be started.");
  }
  std::string failure;
  if (!outcome.finished)
    failure = "did not answer within " + DurationText(kAnswerMs);
  else if (outcome.exitCode != 0)
    failure = "ended with exit code " + std::to_string(outcome.exitCode);
  log.Line("shutdown: " + (failure.empty() ? std::string("exit code 0") : failure));
  if (failure.empty()) return failure;
  failure = "The computer was not shut down: \"shutdown -s\" " + failure + ".";
  log.Line(failure);
  return failure;
}

void FrmMain::FailJob(const std::string& message) {
  job_.Log().Line(message);
  if (batchMode_)
    job_.Log().Line("Batch mode: the program ends with exit code " +
                    std::to_string(kExitJobFailed) + ".");
  ShowBox(WithLogPlace(message), MessageIcon::Error);
  if (batchMode_) {
    exitCode_ = kExitJobFailed;
    CloseWindow();
  }
}

void FrmMain::CloseWindow() {
  if (closed_) return;
  closed_ = true;
  view_.Close();
}

std::string FrmMain::WithLogPlace(const std::string& message) const {
  const std::string& log = job_.Log().Path();
  if (log.empty()) return message;
  return message + "\r\nThe job log is in " + log + ".";
}

}  // namespace quillon

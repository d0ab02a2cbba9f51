#include <exception>
#include <vector>

#include "app/frm_main.h"

namespace quillon {

namespace {

std::string Duration(std::uint32_t ms) {
  const std::uint32_t minutes = ms / 60000;
  if (minutes >= 1 && ms % 60000 == 0)
    return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
  const std::uint32_t seconds = (ms + 999) / 1000;
  return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

std::string YesNo(bool on, const char* yes, const char* no) {
  return on ? yes : no;
}

// The log's first lines: which program, which folder, and the options as the
// job starts (a stage reads its options again when it runs).
std::vector<std::string> LogHeading(const FrmMain& frm, bool batchMode) {
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
  options += ", keystroke pause " + std::to_string(frm.PauseSeconds) + " s";
  options += batchMode ? ", batch mode" : ", interactive";
  return {std::string(kRestingCaption) + " job on " + frm.SourceDir, options};
}

// "0xC0000005": how the system writes its status values.
std::string StatusText(std::uint32_t code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(code >> shift) & 0xFu];
  return hex;
}

std::string ExitCodeText(std::uint32_t code) {
  std::string text = "exit code " + std::to_string(code);
  // Codes this large are the system's status values (0xC0000005: a crash).
  if (code >= 0x80000000u) text += " (" + StatusText(code) + ")";
  return text;
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

void FrmMain::StartJob() {
  if (jobRunning_ || closed_) return;
  // Until this job has a log, its messages point to none.
  log_.Forget();
  MuxDir = SourceDir + "mux\\";
  // The folder may have gone since it was chosen, or a command line may name
  // one that never was (a typing error, quotes that belong to no path).
  if (!platform_.FolderExists(SourceDir)) {
    FailJob("The job was not started, because its source folder does not exist:\r\n" + SourceDir);
    return;
  }
  // The tools open the job's files through the classic 260-character paths:
  // a mux folder whose own files would be longer cannot work, however far a
  // job got before a tool failed on it.
  if (Utf16Length(MuxDir + "movie.amg") > kMaxToolPath) {
    FailJob("The job was not started, because the path of its mux folder is too long:\r\n" +
            MuxDir + "\r\nThe tools cannot open files whose paths are longer than " +
            std::to_string(kMaxToolPath) +
            " characters. Move the source folder closer to the root of its drive, or give it a "
            "shorter name.");
    return;
  }
  // An existing mux folder holds an earlier job's results; this job must not
  // mix its files into them or delete them.
  if (platform_.FolderExists(MuxDir)) {
    FailJob("The job was not started, because its mux folder already exists:\r\n" + MuxDir +
            "\r\nMove or rename that folder, then start again.");
    return;
  }
  try {
    platform_.CreateFolder(MuxDir);
  } catch (const std::exception& error) {
    FailJob("The job was not started, because its mux folder could not be created:\r\n" + MuxDir +
            "\r\n" + error.what());
    return;
  }

  report_.Clear();
  ocrRan_ = false;
  srtSaved_.clear();
  stagesRun_.clear();
  currentStep_.clear();
  log_.Begin(LogHeading(*this, batchMode_));
  jobRunning_ = true;
  // The window may be unable to show that it works (a timer the system
  // refuses). The job has then not started, and must leave neither a window
  // that refuses to close nor a mux folder that blocks the next Start.
  try {
    EnterBusyState();
  } catch (const std::exception& error) {
    jobRunning_ = false;
    EnterIdleState();
    std::string message =
        "The job was not started, because the window could not switch to its working state:\r\n" +
        std::string(error.what());
    try {
      platform_.RemoveFolder(MuxDir);
    } catch (const std::exception& removal) {
      message += "\r\nIts empty mux folder could not be removed:\r\n" + std::string(removal.what());
    }
    FailJob(message);
    log_.End();
    return;
  }
  // Nothing may escape to the window: every way out of the job ends here. A
  // job that stops takes the tools it was driving with it.
  try {
    RunJob();
  } catch (const JobCancelled&) {
    log_.Line("Cancelled: the main window was closed during the job.");
    platform_.EndStartedPrograms();
    jobRunning_ = false;
    exitCode_ = kExitCancelled;
    CloseWindow();
  } catch (const JobError& error) {
    StopJob(error);
  } catch (const PlatformError& error) {
    StopJob(error);
  } catch (const std::exception& error) {
    platform_.EndStartedPrograms();
    jobRunning_ = false;
    EnterIdleState();
    FailJob("The job stopped while " + currentStep_ + " on an unexpected error:\r\n" +
            error.what());
  } catch (...) {
    platform_.EndStartedPrograms();
    jobRunning_ = false;
    EnterIdleState();
    FailJob("The job stopped while " + currentStep_ + " on an unexpected error.");
  }
  jobRunning_ = false;
  log_.End();
  // The user closed the window during the job's last steps, which hold no
  // pause: the window goes now.
  if (view_.CloseRequested()) CloseWindow();
}

// Each condition is read when its step is reached, so a change the user makes
// during an earlier step still counts.
void FrmMain::RunJob() {
  if (platform_.FileExists(SourceDir + "subtitles\\movie.idx") ||
      platform_.FileExists(SourceDir + "movie.idx"))
    RunStage("ExtractSubtitles", "extracting the subtitles", &FrmMain::ExtractSubtitles);
  if (IsSelected(ControlId::optAudMP3))
    RunStage("ConvertAudio", "converting the audio", &FrmMain::ConvertAudio);
  if (IsChecked(ControlId::chkMux))
    RunStage("MuxMovie", "muxing the movie", &FrmMain::MuxMovie);
  else
    RunStage("CopySubtitleResults", "copying the subtitle files", &FrmMain::CopySubtitleResults);
  stagesRun_.push_back("Pause");
  BeginStep("waiting before the clean-up");
  Pause(1);
  if (IsChecked(ControlId::chkDelTemp))
    RunStage("DeleteTempFiles", "deleting the temporary files", &FrmMain::DeleteTempFiles);
  BeginStep("ending the job");
  EndJob();
}

void FrmMain::RunStage(const char* procedure, const char* step, void (FrmMain::*stage)()) {
  stagesRun_.push_back(procedure);
  BeginStep(step);
  (this->*stage)();
}

void FrmMain::StopJob(const std::exception& error) {
  platform_.EndStartedPrograms();
  jobRunning_ = false;
  EnterIdleState();
  FailJob("The job stopped while " + currentStep_ + ":\r\n" + error.what());
}

void FrmMain::EndJob() {
  if (report_.Empty()) {
    log_.Line("Done!");
  } else {
    std::string problems = "Finished with problems:";
    for (const auto& problem : report_.Problems()) problems += "\r\n" + problem;
    log_.Line(problems);
  }
  if (batchMode_) {
    if (IsChecked(ControlId::chkShutDown)) StartShutDown();
    jobRunning_ = false;
    exitCode_ = report_.Empty() ? kExitOk : kExitProblems;
    log_.Line("Batch mode: the program ends with exit code " + std::to_string(exitCode_) + ".");
    CloseWindow();
    return;
  }
  if (view_.CloseRequested()) return;  // the window closes once the job is over
  if (IsChecked(ControlId::chkShutDown)) {
    // The system closes the window; until then it stays busy.
    StartShutDown();
    return;
  }
  jobRunning_ = false;
  EnterIdleState();
  if (report_.Empty()) {
    ShowBox("Done!", MessageIcon::Information);
    return;
  }
  std::string text = "The job finished with problems:";
  for (const auto& problem : report_.Problems()) text += LineBreak + problem;
  ShowBox(WithLogPlace(text), MessageIcon::Warning);
}

void FrmMain::StartShutDown() {
  BeginStep("shutting down the computer");
  if (!StartLogged("shutdown -s", kShowMinimized))
    throw JobError("The command \"shutdown -s\" could not be started.");
}

void FrmMain::FailJob(const std::string& message) {
  log_.Line(message);
  if (batchMode_)
    log_.Line("Batch mode: the program ends with exit code " + std::to_string(kExitJobFailed) +
              ".");
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
  if (log_.Path().empty()) return message;
  return message + "\r\nThe job log is in " + log_.Path() + ".";
}

void FrmMain::BeginStep(const std::string& name) {
  currentStep_ = name;
  log_.Line("Step: " + name);
}

void FrmMain::Pause(std::int32_t seconds) {
  log_.Line("Pause " + std::to_string(seconds) + " s");
  platform_.WaitSeconds(seconds);
  if (view_.CloseRequested()) throw JobCancelled();
}

bool FrmMain::StartLogged(const std::string& commandLine, int showStyle) {
  log_.Line("Start: " + commandLine);
  if (platform_.StartProgram(commandLine, showStyle)) return true;
  log_.Line(ProgramName(commandLine) + ": could not be started");
  return false;
}

ProcessOutcome FrmMain::RunTool(const std::string& commandLine, const std::string& toolPath) {
  log_.Line("Run: " + commandLine);
  const std::uint64_t start = platform_.NowMilliseconds();
  const ProcessOutcome outcome = platform_.ShellWait(commandLine, kShowNormal, Limits.toolRunMs);
  const std::string ran = std::to_string(platform_.NowMilliseconds() - start) + " ms";
  const std::string tool = ProgramName(commandLine) + ": ";
  if (!outcome.started) {
    log_.Line(tool + "could not be started");
    report_.ToolNotStarted(toolPath);
    return outcome;
  }
  if (!outcome.waitFailure.empty()) {
    log_.Line(tool + "the wait for its end failed after " + ran + ": " + outcome.waitFailure);
    throw JobError("The wait for " + toolPath + " to finish failed" +
                   (outcome.stillRunning
                        ? " and it could not be stopped, so it may still be running"
                        : ", so it was stopped") +
                   ": " + outcome.waitFailure);
  }
  if (!outcome.finished) {
    log_.Line(tool + "stopped after the time limit of " + Duration(Limits.toolRunMs) + ", after " +
              ran);
    throw JobError(toolPath + " did not finish within the time limit of " +
                   Duration(Limits.toolRunMs) +
                   (outcome.stillRunning ? " and could not be stopped." : " and was stopped."));
  }
  log_.Line(tool + ExitCodeText(outcome.exitCode) + " after " + ran);
  // Whatever a crashed tool left behind is unfinished, even where the file
  // is there; a tool's own exit codes are for its stage to judge.
  if (outcome.Crashed()) report_.ToolCrashed(toolPath, StatusText(outcome.exitCode));
  return outcome;
}

void FrmMain::ExpectResult(const std::string& path) {
  if (!platform_.FileExists(path)) report_.MissingResult(path);
}

}  // namespace quillon

#include <exception>

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

}  // namespace

void FrmMain::StartJob() {
  if (jobRunning_ || closed_) return;
  MuxDir = SourceDir + "mux\\";
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
  stagesRun_.clear();
  currentStep_.clear();
  jobRunning_ = true;
  EnterBusyState();
  // Nothing may escape to the window: every way out of the job ends here.
  try {
    RunJob();
  } catch (const JobCancelled&) {
    jobRunning_ = false;
    exitCode_ = kExitCancelled;
    CloseWindow();
  } catch (const JobError& error) {
    jobRunning_ = false;
    EnterIdleState();
    FailJob("The job stopped while " + currentStep_ + ":\r\n" + error.what());
  } catch (const std::exception& error) {
    jobRunning_ = false;
    EnterIdleState();
    FailJob("The job stopped while " + currentStep_ + " on an unexpected error:\r\n" +
            error.what());
  } catch (...) {
    jobRunning_ = false;
    EnterIdleState();
    FailJob("The job stopped while " + currentStep_ + " on an unexpected error.");
  }
  jobRunning_ = false;
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

void FrmMain::EndJob() {
  if (batchMode_) {
    if (IsChecked(ControlId::chkShutDown)) StartShutDown();
    jobRunning_ = false;
    exitCode_ = report_.Empty() ? kExitOk : kExitProblems;
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
    platform_.ShowMessage("Done!", kAppName, MessageIcon::Information);
    return;
  }
  std::string text = "The job finished with problems:";
  for (const auto& problem : report_.Problems()) text += LineBreak + problem;
  platform_.ShowMessage(text, kAppName, MessageIcon::Warning);
}

void FrmMain::StartShutDown() {
  BeginStep("shutting down the computer");
  if (!platform_.StartProgram("shutdown -s", kShowMinimized))
    throw JobError("The command \"shutdown -s\" could not be started.");
}

void FrmMain::FailJob(const std::string& message) {
  platform_.ShowMessage(message, kAppName, MessageIcon::Error);
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

void FrmMain::BeginStep(const std::string& name) {
  currentStep_ = name;
}

void FrmMain::Pause(std::int32_t seconds) {
  platform_.WaitSeconds(seconds);
  if (view_.CloseRequested()) throw JobCancelled();
}

void FrmMain::RunTool(const std::string& commandLine, const std::string& toolPath) {
  const ProcessOutcome outcome = platform_.ShellWait(commandLine, kShowNormal, Limits.toolRunMs);
  if (!outcome.started) {
    report_.ToolNotStarted(toolPath);
    return;
  }
  if (!outcome.finished)
    throw JobError(toolPath + " did not finish within the time limit of " +
                   Duration(Limits.toolRunMs) + " and was stopped.");
}

void FrmMain::ExpectResult(const std::string& path) {
  if (!platform_.FileExists(path)) report_.MissingResult(path);
}

}  // namespace quillon

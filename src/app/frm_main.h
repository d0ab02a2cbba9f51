#pragma once
// The main window's logic: the controls as a small model, start-up, the
// reactions to the user, the job driver and the batch mode. It owns the job,
// and answers the job's questions about the options from its controls at
// the moment a step asks. Nothing here includes <windows.h>: the world is
// reached through Platform, the screen through MainView.

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_view.h"
#include "job/job.h"
#include "platform/platform.h"
#include "stages/stages.h"

namespace quillon {

inline constexpr char kAppName[] = "Quillon";
inline constexpr char kRestingCaption[] = "Quillon v1.0";

// The program's exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1;        // a batch job ended with missing results
inline constexpr int kExitBadCommandLine = 2;  // the command line was refused
// A batch job did not start or stopped on an error, or the program itself
// could not start.
inline constexpr int kExitJobFailed = 3;
inline constexpr int kExitCancelled = 4;  // the window was closed during a job

struct ControlState {
  bool enabled = true;
  int value = 0;                   // check box: 1 checked, 0 not; option button: 1 selected
  std::string caption;             // label of buttons, frames, check boxes
  std::string text;                // the bit-rate box's text
  std::vector<std::string> items;  // the bit-rate box's list
};

class FrmMain : private JobSettings {
 public:
  FrmMain(Platform& platform, MainView& view);

  // ---- start-up, in this order (Load calls the rest) ----
  void Load();
  void FillQualityList();
  void SetToolPaths();
  void RunFirstTimeSetup();

  // ---- reactions to the user ----
  void ClickOpen();
  void ClickAbout();
  void ClickWaitForKey();
  void ClickStart() { StartJob(); }
  // Selects an option button as a click does: its rule runs when the button
  // becomes selected.
  void SelectOption(ControlId option);
  // Sets a check box as a click would; chkMux shows its notice on a change.
  void SetCheck(ControlId box, int value);
  // The user typed into, or chose from, the bit-rate box.
  void SetQualityText(const std::string& text);
  void TickCommandTimer();
  void TickWorkingTimer();
  // The user closes the window. False: a job is running, so the window
  // stays until that job stops at its next wait. True: the window goes, and
  // no job starts any more; a batch run then ends as cancelled.
  bool QueryClose();
  // Windows asks whether the session may end. It may; a running job holds
  // before its next key, click or tool start until Windows says whether it
  // does (EndSession).
  bool QueryEndSession();
  // `ending`: the job's tools are ended and its log closes with why; the
  // program is ended by Windows soon after. Otherwise the job goes on.
  void EndSession(bool ending);

  // ---- appearances ----
  void EnterBusyState();
  void EnterIdleState();

  // ---- job driver and batch mode ----
  void StartJob();
  void RunJob();
  void RunCommandLine();

  // The folder scan: sets the option groups from what the chosen folder holds.
  void ScanSourceFolder();

  // ---- read access for the view and the tests ----
  const ControlState& Control(ControlId id) const { return controls_[Index(id)]; }
  const std::string& Caption() const { return caption_; }
  bool JobRunning() const { return jobRunning_; }
  // The program's exit code: 0, or non-zero after a batch job that failed or
  // had missing results, or a refused command line.
  int ExitCode() const { return exitCode_; }
  const JobReport& Report() const { return job_.Report(); }
  // The names of the stages the last job began, in order.
  const std::vector<std::string>& StagesRun() const { return stagesRun_; }
  // The limits of the job's waits, which a test run may shorten.
  WaitLimits& Limits() { return job_.Limits(); }
  // The job, for the tests that read what the window set in it.
  const Job& job() const { return job_; }

 private:
  ControlState& Mutable(ControlId id) { return controls_[Index(id)]; }
  // Changes one part of a control's state; the view hears only of a change.
  template <typename T>
  void Change(ControlId id, T ControlState::*part, const T& value) {
    T& current = Mutable(id).*part;
    if (current == value) return;
    current = value;
    view_.ControlChanged(id);
  }
  void SetEnabled(ControlId id, bool enabled) { Change(id, &ControlState::enabled, enabled); }
  void SetValue(ControlId id, int value) { Change(id, &ControlState::value, value); }
  void SetControlCaption(ControlId id, const std::string& caption) {
    Change(id, &ControlState::caption, caption);
  }
  void SetWindowCaption(const std::string& caption);
  bool IsChecked(ControlId id) const { return Control(id).value == 1; }
  bool IsSelected(ControlId id) const { return Control(id).value == 1; }
  // Selects an option button and runs its rule, selected before or not.
  void ApplyOptionRule(ControlId option);

  // The options as the job reads them.
  bool AudioToMp3() const override { return IsSelected(ControlId::optAudMP3); }
  std::string AudioBitRate() const override { return Control(ControlId::cmbAudQual).text; }
  bool SubtitlesToSrt() const override { return IsSelected(ControlId::optSubSRT); }
  bool SubtitlesIntoAvi() const override { return IsChecked(ControlId::chkSubMux); }
  bool MuxAll() const override { return IsChecked(ControlId::chkMux); }
  bool DeleteTemporaryFiles() const override { return IsChecked(ControlId::chkDelTemp); }
  // Also holds while Windows decides whether the session ends, and answers
  // true once it does.
  bool CloseRequested() const override;
  bool SessionEnding() const override;

  // Creates the job's mux folder; why the job cannot start (after
  // "because "), or "" when it can.
  std::string CreateMuxFolder();
  // The window switches to its working state; false when it cannot, and the
  // job has not started.
  bool ShowWorking();
  // Runs the job and turns every way it can stop into the window's answer.
  void RunJobToItsEnd();
  // A job stopped by a failure of its own or of the system: say why. Its
  // tools go, and the window returns to idle with `message`.
  void StopJob(const std::exception& error);
  void StopJob(const std::string& message);
  // Ends a job: batch close, shut-down, or idle and the end message.
  void EndJob();
  // Runs the system's shut-down and waits a while for its answer: "" when
  // it took the order, otherwise why not.
  std::string ShutDown();
  // Holds while Windows decides whether the session ends.
  void HoldWhileWindowsDecides() const;
  // What the job should know about its tools' group, once per job.
  void NoteToolGroupProblem();
  // A job that did not start or stopped on an error: say why, and in batch
  // mode end the program.
  void FailJob(const std::string& message);
  // The message followed by the line that says where the job's log is, when
  // the job has one.
  std::string WithLogPlace(const std::string& message) const;
  void CloseWindow();
  // A message box titled with the program's name. In a batch run no one may
  // be there to answer it: it closes itself after a while and the run goes
  // on as if OK had been pressed (a job's own messages are in its log too).
  void ShowBox(const std::string& text, MessageIcon icon);
  bool CommandLineGiven();
  void RefuseCommandLine(const std::string& commandLine);
  // Whether every path a job on `files` hands to a tool fits the classic
  // path length that the tools are limited to; `srt` when the subtitles are
  // to be converted.
  static bool PathsFitTools(const JobFiles& files, bool srt);
  // Why a folder whose paths do not fit cannot be used, after "because ".
  static std::string TooLongText(const JobFiles& files);

  Platform& platform_;
  MainView& view_;
  std::array<ControlState, kControlCount> controls_;
  std::string caption_;
  bool jobRunning_ = false;
  // Set when the command line started the job: the job then ends the program.
  bool batchMode_ = false;
  bool closed_ = false;
  int exitCode_ = 0;
  // Where Windows stands on ending the session during a job.
  enum class SessionEnd { No, Asked, Ending };
  SessionEnd sessionEnd_ = SessionEnd::No;
  std::uint64_t sessionAskedAtMs_ = 0;
  // The job has reached its own shut-down: the session's end is its doing.
  bool shuttingDown_ = false;
  bool toolGroupNoted_ = false;
  std::vector<std::string> stagesRun_;
  Job job_;
};

}  // namespace quillon

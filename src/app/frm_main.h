#pragma once
// The main window's logic: the controls as a small model, the job state that
// every stage reads, start-up, the reactions to the user, the job driver and
// the batch mode. The stages are procedures of this class, each defined in
// its own file under stages/ or folder/. Nothing here includes <windows.h>:
// the world is reached through Platform, the screen through MainView.

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/main_view.h"
#include "job/file_list.h"
#include "job/job_error.h"
#include "job/job_log.h"
#include "job/job_report.h"
#include "platform/platform.h"

namespace quillon {

inline constexpr char kAppName[] = "Quillon";
inline constexpr char kRestingCaption[] = "Quillon v1.0";

// The program's exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1;        // a batch job ended with missing results
inline constexpr int kExitBadCommandLine = 2;  // the command line was refused
inline constexpr int kExitJobFailed = 3;       // a batch job did not start or stopped on an error
inline constexpr int kExitCancelled = 4;       // the window was closed during a job

struct ControlState {
  bool enabled = true;
  int value = 0;                   // check box: 1 checked, 0 not; option button: 1 selected
  std::string caption;             // label of buttons, frames, check boxes
  std::string text;                // the bit-rate box's text
  std::vector<std::string> items;  // the bit-rate box's list
};

// How long the job waits for an outside tool before it gives up, and how
// often it looks meanwhile: often at first, since a window mostly comes or
// goes a moment after the step that causes it; less often once the wait is
// long (a conversion, a recognition), since every look reads the title of
// every top-level window and a long wait should cost next to no processor.
struct WaitLimits {
  std::uint32_t windowAppearMs = 2 * 60 * 1000;  // a tool window to appear
  std::uint32_t toolRunMs = 60 * 60 * 1000;      // a conversion or recognition to end
  std::uint32_t pollMs = 10;                     // between two looks at the windows
  std::uint32_t slowPollMs = 50;                 // the same, once a wait is long
  std::uint32_t slowPollAfterMs = 1000;          // when a wait counts as long
  std::uint32_t unattendedBoxMs = 60 * 1000;     // a batch run's message box to close itself
};

// A window caption to look for: the whole title, or for the two captions
// that end in a person's name, only their fixed beginning.
struct CaptionPattern {
  std::string text;
  bool isPrefix = false;
  CaptionPattern(std::string t, bool prefix = false) : text(std::move(t)), isPrefix(prefix) {}
  CaptionPattern(const char* t) : text(t) {}
};

class FrmMain {
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

  // ---- appearances ----
  void EnterBusyState();
  void EnterIdleState();

  // ---- job driver and batch mode ----
  void StartJob();
  void RunJob();
  void RunCommandLine();

  // ---- stages ----
  void ScanSourceFolder();
  void ExtractSubtitles();
  void ConvertSubtitlesToSrt();
  void DeleteSubEditIni();
  void ConvertAudio();
  void MuxMovie();
  void CopySubtitleResults();
  void DeleteTempFiles();

  // ---- window automation ----
  WindowHandle FindCaption(const CaptionPattern& caption);
  void WaitForCaption(const CaptionPattern& curCaption);
  void WaitForNotCaption(const CaptionPattern& curCaption);
  void ClickThing(const CaptionPattern& curCaption, int curChild);
  void RunActive(const std::string& ShellCmd, const CaptionPattern& AppTit, int WindowStyle);
  void PressKeys(const std::string& keys);
  void TypeText(const std::string& text);

  // ---- read access for the view and the tests ----
  const ControlState& Control(ControlId id) const { return controls_[Index(id)]; }
  const std::string& Caption() const { return caption_; }
  bool JobRunning() const { return jobRunning_; }
  // The program's exit code: 0, or non-zero after a batch job that failed or
  // had missing results, or a refused command line.
  int ExitCode() const { return exitCode_; }
  const JobReport& Report() const { return report_; }
  // The procedures the last job ran, in order ("ExtractSubtitles", ...,
  // "Pause", "DeleteTempFiles"): what happened, for the tests to read.
  const std::vector<std::string>& StagesRun() const { return stagesRun_; }

  // ---- job state, read by every stage ----
  std::string SourceDir;
  std::string MuxDir;
  std::string ToolsDir;
  std::string AviMuxPath;
  std::string BeSweetPath;
  std::string SubEditPath;
  std::string SubToSupPath;
  std::string UnRarPath;
  std::int32_t PauseSeconds = 1;
  std::string LineBreak;
  FileList fileAud;
  FileList fileSub;
  WaitLimits Limits;

 private:
  // Lets the tests reach the helpers the stages use.
  friend struct FrmMainTestAccess;

  ControlState& Mutable(ControlId id) { return controls_[Index(id)]; }
  void SetEnabled(ControlId id, bool enabled);
  void SetValue(ControlId id, int value);
  void SetControlCaption(ControlId id, const std::string& caption);
  void SetWindowCaption(const std::string& caption);
  bool IsChecked(ControlId id) const { return Control(id).value == 1; }
  bool IsSelected(ControlId id) const { return Control(id).value == 1; }
  // Selects an option button and runs its rule, selected before or not.
  void ApplyOptionRule(ControlId option);

  // A pause of the job: WaitSeconds, then stop if the user closed the window.
  void Pause(std::int32_t seconds);
  // Runs an outside tool and waits for it; records a tool that could not be
  // started, ends the job when it outlives its time limit. The outcome is
  // for a stage whose tool speaks through its exit code.
  ProcessOutcome RunTool(const std::string& commandLine, const std::string& toolPath);
  // Starts a program without waiting for it, and logs it.
  bool StartLogged(const std::string& commandLine, int showStyle);
  // Notes a result the job should have produced; a missing one turns "Done!"
  // into a warning.
  void ExpectResult(const std::string& path);
  // Names what the job is doing, for the message of an error that stops it
  // ("converting the audio"). The driver names each stage; a stage may name
  // its own steps more closely.
  void BeginStep(const std::string& name);
  // A job stopped by a failure of its own or of the system: say why.
  void StopJob(const std::exception& error);
  // Ends a job: batch close, shut-down, or idle and the end message.
  void EndJob();
  void StartShutDown();
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
  void RunStage(const char* procedure, const char* step, void (FrmMain::*stage)());

  Platform& platform_;
  MainView& view_;
  std::array<ControlState, kControlCount> controls_;
  std::string caption_;
  bool jobRunning_ = false;
  // Set when the command line started the job: the job then ends the program.
  bool batchMode_ = false;
  bool closed_ = false;
  std::string currentStep_;
  std::vector<std::string> stagesRun_;
  // Whether the subtitle recognition ran in this job: only then are SRT
  // files loaded, copied or deleted.
  bool ocrRan_ = false;
  // The SRT files of this job whose text is safe elsewhere: copied beside
  // the movie, or muxed into the AVI this job made. Only these may go.
  std::vector<std::string> srtSaved_;
  int exitCode_ = 0;
  JobReport report_;
  JobLog log_;
};

}  // namespace quillon

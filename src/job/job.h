#pragma once
// One job: the folders and tools it works with, the lists of files it walks,
// and what every stage uses to do its work: running a tool and hearing how
// it ended, pausing, driving a tool's windows, naming the step, noting a
// missing result. Its log and its report go with it. It lives as long as
// the window, so what one job leaves (the subtitle list) is there for the
// next; Restart clears what belongs to one job only.

#include <cstdint>
#include <string>
#include <vector>

#include "automation/window_automation.h"
#include "job/file_list.h"
#include "job/job_error.h"
#include "job/job_log.h"
#include "job/job_report.h"
#include "platform/platform.h"

namespace quillon {

// The options a step reads at the moment it needs them: the user may change
// them while a job pauses.
class JobSettings {
 public:
  virtual bool AudioToMp3() const = 0;
  virtual std::string AudioBitRate() const = 0;
  virtual bool SubtitlesToSrt() const = 0;
  virtual bool SubtitlesIntoAvi() const = 0;
  virtual bool MuxAll() const = 0;
  // The user closed the main window: the job stops at its next wait.
  virtual bool CloseRequested() const = 0;
  // Windows is ending the session: no tool may start. While Windows still
  // decides, the call holds the job until it has.
  virtual bool SessionEnding() const = 0;

 protected:
  ~JobSettings() = default;
};

class Job {
 public:
  Job(Platform& platform, const JobSettings& settings);
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  Platform& System() { return platform_; }
  const JobSettings& Settings() const { return settings_; }
  JobLog& Log() { return log_; }
  const JobLog& Log() const { return log_; }
  JobReport& Report() { return report_; }
  const JobReport& Report() const { return report_; }

  // A new job begins: no problems, no recognition, no saved SRT files.
  void Restart();

  // Names what the job is doing, for the message of an error that stops it
  // ("converting the audio"). The driver names each stage; a stage may name
  // its own steps more closely.
  void BeginStep(const std::string& name);
  const std::string& Step() const { return step_; }
  // A pause of the job: WaitSeconds, then stop if the user closed the window.
  void Pause(std::int32_t seconds);
  // Runs an outside tool and waits for it; records a tool that could not be
  // started or that crashed, and ends the job when it outlives its time
  // limit or the wait fails. The outcome is for a stage whose tool speaks
  // through its exit code.
  ProcessOutcome RunTool(const std::string& commandLine, const std::string& toolPath);
  // Starts a program without waiting for it, and logs it. Neither starts a
  // tool while Windows ends the session.
  bool StartLogged(const std::string& commandLine, int showStyle);
  // Notes a result the job should have produced; a missing or empty one
  // turns "Done!" into a warning. True when it is there and not empty.
  bool ExpectResult(const std::string& path);

  // ---- the keyboard macro: each step ends the job when it cannot land ----
  // A tool's window shows up within a couple of minutes or not at all.
  void WaitForCaption(const CaptionPattern& curCaption);
  // Waiting for a window to go away is waiting for the tool's work to end.
  void WaitForNotCaption(const CaptionPattern& curCaption);
  void AwaitCaption(const CaptionPattern& caption, bool present, std::uint32_t limitMs);
  // A click, or keys, that open or close a window are confirmed to have done
  // so before the macro goes on; keys and text wait for a window in front
  // that is ready for them. Each within the time a tool window may take.
  void ClickThing(const CaptionPattern& curCaption, int curChild,
                  KeyEffect effect = KeyEffect::None);
  // A click that starts the tool's long work, confirmed by the window `work`
  // that shows it, or by the tool having carried the click out.
  void ClickToStart(const CaptionPattern& caption, int control, const CaptionPattern& work);
  void RunActive(const std::string& ShellCmd, const CaptionPattern& AppTit, int WindowStyle);
  void PressKeys(const std::string& keys, KeyEffect effect = KeyEffect::None);
  void TypeText(const std::string& text);

  // ---- the job's state, read by every stage ----
  std::string SourceDir;
  std::string MuxDir;
  std::string ToolsDir;
  std::string AviMuxPath;
  std::string BeSweetPath;
  std::string SubEditPath;
  std::string SubToSupPath;
  std::string UnRarPath;
  std::int32_t PauseSeconds = 1;
  FileList fileAud;
  FileList fileSub;
  WaitLimits Limits;
  // Whether the subtitle recognition ran in this job: only then are SRT
  // files loaded, copied or deleted.
  bool ocrRan = false;
  // The SRT files of this job whose text is safe elsewhere: copied beside
  // the movie, or muxed into the AVI this job made. Only these may go.
  std::vector<std::string> srtSaved;
  // Whether the muxer ran in this job, and whether it made a whole movie.avi.
  // Without one, the files it was given stay for muxing by hand.
  bool muxRan = false;
  bool aviMade = false;

 private:
  // The window must be in front before a click or keys reach it; a refused
  // activation would send the macro's keys to whichever window is in front.
  WindowHandle ActivateOrFail(const CaptionPattern& caption, const std::string& purpose);
  // Ends the job when keys, text or a click (`what`) did not land.
  void CheckLanded(KeysOutcome outcome, const std::string& what);

  Platform& platform_;
  const JobSettings& settings_;
  JobLog log_;
  JobReport report_;
  WindowAutomation windows_;
  std::string step_;
};

}  // namespace quillon

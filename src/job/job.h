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
#include "job/job_files.h"
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
  virtual bool DeleteTemporaryFiles() const = 0;
  // The user closed the main window: the job stops at its next wait.
  virtual bool CloseRequested() const = 0;
  // Windows is ending the session: no tool may start. While Windows still
  // decides, the call holds the job until it has.
  virtual bool SessionEnding() const = 0;

 protected:
  ~JobSettings() = default;
};

// What this job has done that a later stage must know.
struct JobResults {
  // Whether the subtitle recognition ran in this job: only then are SRT
  // files loaded, copied or deleted.
  bool recognitionRan = false;
  // The SRT files of this job whose text is safe elsewhere: copied beside
  // the movie, or muxed into the AVI this job made. Only these may go.
  std::vector<std::string> srtSaved;
  // Whether the muxer ran in this job, and whether it made a whole movie.avi.
  // Without one, the files it was given stay for muxing by hand.
  bool muxerRan = false;
  bool aviMade = false;
};

// Whether a wait is for a window to be there or to be gone.
enum class WindowIs { Present, Gone };

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
  JobFiles& Files() { return files_; }
  const JobFiles& Files() const { return files_; }
  // The source folder's audio tracks, and the SUP files of the mux folder.
  FileList& AudioTracks() { return audioTracks_; }
  const FileList& AudioTracks() const { return audioTracks_; }
  FileList& SubtitleFiles() { return subtitleFiles_; }
  const FileList& SubtitleFiles() const { return subtitleFiles_; }
  JobResults& Results() { return results_; }
  WaitLimits& Limits() { return limits_; }
  const WaitLimits& Limits() const { return limits_; }
  // The pause after each key of the macro, in seconds.
  std::int32_t KeyPause() const { return keyPause_; }
  void SetKeyPause(std::int32_t seconds) { keyPause_ = seconds; }

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
  // A tool's window shows up within a couple of minutes or not at all;
  // waiting for one to go away is waiting for the tool's work to end.
  void WaitUntil(const CaptionPattern& caption, WindowIs state, std::uint32_t limitMs);
  // A click, or keys, that open or close a window are confirmed to have done
  // so before the macro goes on; keys and text wait for a window in front
  // that is ready for them. Each within the time a tool window may take.
  void ClickThing(const CaptionPattern& caption, int control, KeyEffect effect = KeyEffect::None);
  // A click that starts the tool's long work, confirmed by the window `work`
  // that shows it, or by the tool having carried the click out.
  void ClickToStart(const CaptionPattern& caption, int control, const CaptionPattern& work);
  // Starts a tool and brings its window `caption` to the front.
  void RunActive(const std::string& program, const CaptionPattern& caption, int showStyle);
  void PressKeys(const std::string& keys, KeyEffect effect = KeyEffect::None);
  void TypeText(const std::string& text);

 private:
  // The window must be in front before a click or keys reach it; a refused
  // activation would send the macro's keys to whichever window is in front.
  WindowHandle ActivateOrFail(const CaptionPattern& caption, const std::string& purpose);
  // Ends the job when keys, text or a click (`what`) did not land.
  void CheckLanded(KeysOutcome outcome, const std::string& what);

  Platform& platform_;
  const JobSettings& settings_;
  JobFiles files_;
  FileList audioTracks_;
  FileList subtitleFiles_;
  JobResults results_;
  WaitLimits limits_;
  std::int32_t keyPause_ = 1;
  JobLog log_;
  JobReport report_;
  WindowAutomation windows_;
  std::string step_;
};

}  // namespace quillon

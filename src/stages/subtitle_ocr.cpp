#include "platform/add_backslash.h"
#include "stages/stages.h"
#include "stages/tool_windows.h"

namespace quillon::stages {

// Neither tool has a command line: the macro starts them, waits for their
// windows and types into them, pausing after nearly every step so that the
// tool can catch up. Every pause reads the keystroke pause afresh.
void ConvertSubtitlesToSrt(Job& job) {
  using namespace tools;
  const JobFiles& files = job.Files();
  const std::string& muxDir = files.Mux();
  const CaptionPattern converter(kSubToSupCaption);

  // The tools' windows show only the characters of the system's code page:
  // a path typed with any other would reach them as "?" and open nothing.
  job.BeginStep("checking the path " + muxDir + " for the subtitle tools");
  if (!job.System().AnsiCanHold(muxDir))
    throw JobError("The subtitle tools cannot be given the folder " + muxDir +
                   ", because its path has characters that the system's code page cannot "
                   "represent. Move the movie folder to a path without them.");

  // VobSub to SUP, once.
  job.BeginStep("starting SubToSup");
  job.RunActive(files.SubToSup(), converter, kShowNormal);
  job.BeginStep("opening " + files.IndexCopy() + " in SubToSup");
  job.ClickThing(converter, kSubToSupOpenButton, KeyEffect::OpensWindow);
  job.Pause(job.KeyPause());
  job.TypeText(files.IndexCopy());
  job.Pause(job.KeyPause());
  job.PressKeys("{ENTER}", KeyEffect::ClosesWindow);
  // The converter retitles itself when it is done, which can take as long as
  // any conversion.
  job.BeginStep("waiting for SubToSup to convert the subtitles");
  job.WaitUntil(CaptionPattern(kSubToSupDoneCaption), WindowIs::Present, job.Limits().toolRunMs);
  job.Pause(job.KeyPause());
  job.BeginStep("closing SubToSup");
  job.PressKeys("{ENTER}", KeyEffect::ClosesWindow);
  job.Pause(job.KeyPause());
  job.PressKeys("%{F4}", KeyEffect::ClosesWindow);
  job.Pause(job.KeyPause());

  job.SubtitleFiles().SetFolder(muxDir);
  job.Results().recognitionRan = true;
  const std::vector<std::string> supFiles = job.SubtitleFiles().Entries();
  // SRT was asked for: a converter that wrote nothing leaves the job without
  // any subtitles, which the user must hear of.
  if (supFiles.empty())
    job.Report().MissingResult(muxDir + "*.sup", "no subtitle stream was converted");

  // SUP to SRT, one fresh editor per file.
  const CaptionPattern editor(kSubEditCaptionPrefix, true);
  const CaptionPattern progress(kOcrProgressCaptionPrefix, true);
  for (const auto& entry : supFiles) {
    const std::string supPath = files.Sup(entry);
    const CaptionPattern loaded(supPath);  // the editor's caption once the file is open
    const std::string srtName = files.SrtStem(entry);

    job.BeginStep("starting DVDSubEdit for " + supPath);
    DeleteSubEditIni(job);
    job.RunActive(files.SubEdit(), editor, kShowNormal);
    job.BeginStep("opening " + supPath + " in DVDSubEdit");
    job.PressKeys("%F", KeyEffect::OpensMenu);
    job.Pause(job.KeyPause());
    job.PressKeys("{DOWN 3}");
    job.Pause(job.KeyPause());
    job.PressKeys("{ENTER}", KeyEffect::OpensWindow);
    job.Pause(job.KeyPause());
    job.TypeText(supPath);
    job.Pause(job.KeyPause());
    job.PressKeys("{ENTER}", KeyEffect::ClosesWindow);
    job.WaitUntil(kLoadIfoCaption, WindowIs::Present, job.Limits().windowAppearMs);
    job.Pause(job.KeyPause());
    job.PressKeys("%{F4}", KeyEffect::ClosesWindow);
    job.Pause(job.KeyPause());
    job.BeginStep("recognising the text of " + supPath + " in DVDSubEdit");
    job.ClickToStart(loaded, kSubEditRecognizeButton, progress);
    job.Pause(job.KeyPause());
    job.WaitUntil(progress, WindowIs::Gone, job.Limits().toolRunMs);
    job.Pause(job.KeyPause());
    job.BeginStep("saving " + srtName + ".srt in DVDSubEdit");
    job.ClickThing(loaded, kSubEditSaveButton, KeyEffect::OpensWindow);
    job.Pause(job.KeyPause());
    job.TypeText(srtName);  // the save dialog adds ".srt"
    job.Pause(job.KeyPause());
    job.PressKeys("{ENTER}", KeyEffect::ClosesWindow);
    job.Pause(job.KeyPause());
    job.BeginStep("closing DVDSubEdit");
    job.PressKeys("%{F4}", KeyEffect::ClosesWindow);
    job.Pause(job.KeyPause());
    job.ExpectResult(files.Srt(entry));
  }
}

// The macro's keys assume the editor as it comes up without its settings
// file, so every start begins from that state. The second after deleting it
// is fixed, whatever the keystroke pause. An editor whose window has closed
// may still be on its way out and write the file again, so the tools the
// macro started must have ended first.
void DeleteSubEditIni(Job& job) {
  const std::uint32_t limit = job.Limits().windowAppearMs;
  if (!job.System().WaitForStartedPrograms(limit))
    throw JobError("The last DVDSubEdit or SubToSup was still running " + DurationText(limit) +
                   " after its window closed, so the editor's settings file could not be reset "
                   "for the next start.");
  const std::string folder = job.System().GetSpecialFolder(SpecialFolder::AppData);
  if (folder.empty()) return;  // nowhere to look: nothing is deleted
  const std::string path = AddBackslash(folder) + tools::kSubEditSettingsFile;
  if (!job.System().FileExists(path)) return;
  job.Log().Line("Delete: " + path);
  job.System().DeleteFile(path);
  job.Pause(1);
}

}  // namespace quillon::stages

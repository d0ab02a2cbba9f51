#include "app/frm_main.h"
#include "stages/tool_windows.h"
#include "platform/add_backslash.h"
#include "automation/window_wait.h"

namespace quillon {

namespace {

// The application-data folder (CSIDL_APPDATA).
constexpr int kAppDataFolder = 26;

}  // namespace

// Neither tool has a command line: the macro starts them, waits for their
// windows and types into them, pausing after nearly every step so that the
// tool can catch up. Every pause reads PauseSeconds afresh.
void FrmMain::ConvertSubtitlesToSrt() {
  using namespace tools;
  const CaptionPattern converter(kSubToSupCaption);

  // VobSub to SUP, once.
  BeginStep("starting SubToSup");
  RunActive(SubToSupPath, converter, kShowNormal);
  BeginStep("opening " + MuxDir + "movie.idx in SubToSup");
  ClickThing(converter, kSubToSupOpenButton);
  Pause(PauseSeconds);
  TypeText(MuxDir + "movie.idx");
  Pause(PauseSeconds);
  PressKeys("{ENTER}");
  // The converter retitles itself when it is done, which can take as long as
  // any conversion.
  BeginStep("waiting for SubToSup to convert the subtitles");
  AwaitCaption(platform_, view_, log_, CaptionPattern(kSubToSupDoneCaption), true, Limits.toolRunMs,
               Limits);
  Pause(PauseSeconds);
  BeginStep("closing SubToSup");
  PressKeys("{ENTER}");
  Pause(PauseSeconds);
  PressKeys("%{F4}");
  Pause(PauseSeconds);

  fileSub.SetFolder(MuxDir);
  ocrRan_ = true;
  const std::vector<std::string> supFiles = fileSub.Entries();
  // SRT was asked for: a converter that wrote nothing leaves the job without
  // any subtitles, which the user must hear of.
  if (supFiles.empty()) report_.MissingResult(MuxDir + "*.sup", "no subtitle stream was converted");

  // SUP to SRT, one fresh editor per file.
  const CaptionPattern editor(kSubEditCaptionPrefix, true);
  const CaptionPattern progress(kOcrProgressCaptionPrefix, true);
  for (const auto& entry : supFiles) {
    const std::string supPath = MuxDir + entry;
    const CaptionPattern loaded(supPath);  // the editor's caption once the file is open
    const std::string srtName = MuxDir + SubtitleKey(entry);

    BeginStep("starting DVDSubEdit for " + supPath);
    DeleteSubEditIni();
    RunActive(SubEditPath, editor, kShowNormal);
    BeginStep("opening " + supPath + " in DVDSubEdit");
    PressKeys("%F");
    Pause(PauseSeconds);
    PressKeys("{DOWN 3}");
    Pause(PauseSeconds);
    PressKeys("{ENTER}");
    Pause(PauseSeconds);
    TypeText(supPath);
    Pause(PauseSeconds);
    PressKeys("{ENTER}");
    WaitForCaption(kLoadIfoCaption);
    Pause(PauseSeconds);
    PressKeys("%{F4}");
    Pause(PauseSeconds);
    BeginStep("recognising the text of " + supPath + " in DVDSubEdit");
    ClickThing(loaded, kSubEditRecognizeButton);
    Pause(PauseSeconds);
    WaitForNotCaption(progress);
    Pause(PauseSeconds);
    BeginStep("saving " + srtName + ".srt in DVDSubEdit");
    ClickThing(loaded, kSubEditSaveButton);
    Pause(PauseSeconds);
    TypeText(srtName);  // the save dialog adds ".srt"
    Pause(PauseSeconds);
    PressKeys("{ENTER}");
    Pause(PauseSeconds);
    BeginStep("closing DVDSubEdit");
    PressKeys("%{F4}");
    Pause(PauseSeconds);
    ExpectResult(srtName + ".srt");
  }
}

// The macro's keys assume the editor as it comes up without its settings
// file, so every start begins from that state. The second after deleting it
// is fixed, whatever the keystroke pause.
void FrmMain::DeleteSubEditIni() {
  const std::string folder = platform_.GetSpecialFolder(kAppDataFolder);
  if (folder.empty()) return;  // nowhere to look: nothing is deleted
  const std::string path = AddBackslash(folder) + tools::kSubEditSettingsFile;
  if (!platform_.FileExists(path)) return;
  log_.Line("Delete: " + path);
  platform_.DeleteFile(path);
  Pause(1);
}

}  // namespace quillon

#include <exception>

#include "app/about_text.h"
#include "app/batch_command.h"
#include "app/frm_main.h"
#include "app/pause_value.h"
#include "platform/add_backslash.h"

namespace quillon {

void FrmMain::ClickOpen() {
  if (jobRunning_) return;
  const std::string folder = platform_.BrowseForFolder("Select source movie folder");
  if (folder.empty()) return;
  // A folder the tools could not work in is not taken: the one chosen before
  // stays, as Start would refuse this one anyway. The scan would select
  // "Convert to SRT".
  JobFiles chosen = job_.Files();
  chosen.SetSource(AddBackslash(folder));
  chosen.FindSubtitles(platform_);
  if (!PathsFitTools(chosen, /*srt=*/true)) {
    ShowBox("The folder cannot be used, because " + TooLongText(chosen), MessageIcon::Error);
    return;
  }
  job_.Files() = chosen;
  try {
    ScanSourceFolder();
  } catch (const std::exception& error) {
    ShowBox("The folder could not be read:\r\n" + chosen.Source() + "\r\n" + error.what(),
            MessageIcon::Error);
  }
}

void FrmMain::ClickAbout() {
  if (jobRunning_) return;
  ShowBox(AboutText(), MessageIcon::Information);
}

void FrmMain::ClickWaitForKey() {
  const auto answer = platform_.InputBox("Pause between keystrokes (in seconds)\r\n", "WaitForKey",
                                         std::to_string(job_.KeyPause()));
  if (!answer || answer->find_first_not_of(" \t") == std::string::npos) return;
  const auto seconds = ParsePauseSeconds(*answer);
  if (!seconds) {
    ShowBox("\"" + *answer +
                "\" is not a number of seconds.\r\n"
                "Please enter a whole number of seconds between -2147483648 and "
                "2147483647.",
            MessageIcon::Warning);
    return;
  }
  job_.SetKeyPause(*seconds);
  platform_.WriteSetting(kAppName, "Options", "WaitForKey", std::to_string(*seconds));
}

// A click on the button that is already selected changes nothing, so its
// rule does not run again: it would undo what the user set since (a "Mux
// into AVI" unchecked under "Convert to SRT").
void FrmMain::SelectOption(ControlId option) {
  if (IsSelected(option)) return;
  ApplyOptionRule(option);
}

// The folder scan runs the rule even for the button that is already
// selected: a new folder starts from the group's own settings.
void FrmMain::ApplyOptionRule(ControlId option) {
  switch (option) {
    case ControlId::optAudMP3:
    case ControlId::optAudOrig: {
      const bool mp3 = option == ControlId::optAudMP3;
      SetValue(ControlId::optAudMP3, mp3 ? 1 : 0);
      SetValue(ControlId::optAudOrig, mp3 ? 0 : 1);
      SetEnabled(ControlId::lblAudQual, mp3);
      SetEnabled(ControlId::cmbAudQual, mp3);
      break;
    }
    case ControlId::optSubSRT:
    case ControlId::optSubOrig: {
      const bool srt = option == ControlId::optSubSRT;
      SetValue(ControlId::optSubSRT, srt ? 1 : 0);
      SetValue(ControlId::optSubOrig, srt ? 0 : 1);
      SetEnabled(ControlId::chkSubMux, srt);
      SetValue(ControlId::chkSubMux, srt ? 1 : 0);
      break;
    }
    default:
      break;
  }
}

// A new folder sets the groups from what it holds, and Start can be pressed.
void FrmMain::ScanSourceFolder() {
  ApplyOptionRule(stages::ScanSourceFolder(job_) ? ControlId::optAudMP3 : ControlId::optAudOrig);
  ApplyOptionRule(ControlId::optSubSRT);
  SetEnabled(ControlId::cmdStart, true);
}

void FrmMain::SetCheck(ControlId box, int value) {
  switch (box) {
    case ControlId::chkSubMux:
    case ControlId::chkDelTemp:
    case ControlId::chkShutDown:
    case ControlId::chkMux:
      break;
    default:
      return;
  }
  const int newValue = value != 0 ? 1 : 0;
  if (Control(box).value == newValue) return;
  SetValue(box, newValue);
  if (box == ControlId::chkMux) ShowBox("Mux All " + std::to_string(newValue), MessageIcon::None);
}

void FrmMain::SetQualityText(const std::string& text) {
  Change(ControlId::cmbAudQual, &ControlState::text, text);
}

bool FrmMain::QueryClose() {
  if (jobRunning_) return false;
  // The window goes at once, even under a message box of a batch run that
  // has not started its job yet ("Mux All 0"): that job must then never
  // start, since without its window nothing could stop or see it.
  closed_ = true;
  if (batchMode_ || SplitBatchFields(platform_.CommandLine())) exitCode_ = kExitCancelled;
  return true;
}

}  // namespace quillon

#include "app/frm_main.h"
#include "app/pause_value.h"
#include "platform/add_backslash.h"

namespace quillon {

void FrmMain::Load() {
  FillQualityList();
  SetToolPaths();
  RunFirstTimeSetup();
  job_.AudioTracks().SetPattern("*.wav;*.ac3;*.mp3;*.ogg");
  job_.SubtitleFiles().SetPattern("*.sup");
  // Until the recognition first points it at a mux folder, the subtitle list
  // shows the folder the program was started in.
  job_.SubtitleFiles().SetFolder(platform_.WorkingFolder());
  job_.SetKeyPause(StoredPauseSeconds(platform_.ReadSetting(kAppName, "Options", "WaitForKey")));
  view_.SetTimer(TimerId::TimerCMD, true);
}

void FrmMain::FillQualityList() {
  ControlState& box = Mutable(ControlId::cmbAudQual);
  box.items = {"320", "256", "192", "128", "112", "96", "80", "64"};
  box.text = "128";
  view_.ControlChanged(ControlId::cmbAudQual);
}

void FrmMain::SetToolPaths() {
  job_.Files().SetToolsFolder(AddBackslash(platform_.ExecutableFolder()) + "tools\\");
}

// The tools folder's own set-up leaves "xt.txt" behind once it has run; until
// then every start tries it again, without waiting for it.
void FrmMain::RunFirstTimeSetup() {
  if (platform_.FileExists(job_.Files().ToolsFolder() + "xt.txt")) return;
  platform_.ShellOpen("OPEN", "xt.bat", "0", job_.Files().ToolsFolder(), kShowNormal);
}

}  // namespace quillon

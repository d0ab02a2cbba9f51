#include "app/frm_main.h"
#include "app/pause_value.h"
#include "platform/add_backslash.h"

namespace quillon {

void FrmMain::Load() {
  LineBreak = "\r\n";
  job_.ToolsDir = AddBackslash(platform_.ExecutableFolder()) + "tools\\";
  FillQualityList();
  SetToolPaths();
  RunFirstTimeSetup();
  job_.fileAud.SetPattern("*.wav;*.ac3;*.mp3;*.ogg");
  job_.fileSub.SetPattern("*.sup");
  // Until the recognition first points it at a mux folder, the subtitle list
  // shows the folder the program was started in.
  job_.fileSub.SetFolder(platform_.WorkingFolder());
  job_.PauseSeconds = StoredPauseSeconds(platform_.ReadSetting(kAppName, "Options", "WaitForKey"));
  view_.SetTimer(TimerId::TimerCMD, true);
}

void FrmMain::FillQualityList() {
  ControlState& box = Mutable(ControlId::cmbAudQual);
  box.items = {"320", "256", "192", "128", "112", "96", "80", "64"};
  box.text = "128";
  view_.ControlChanged(ControlId::cmbAudQual);
}

void FrmMain::SetToolPaths() {
  Job& job = job_;
  job.AviMuxPath = job.ToolsDir + "AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe";
  job.BeSweetPath = job.ToolsDir + "BeSweetv1.5b31\\BeSweet.exe";
  job.SubEditPath = job.ToolsDir + "DVDSubEdit1.34\\DVDSubEdit.exe";
  job.SubToSupPath = job.ToolsDir + "SubToSup\\SubToSup.exe";
  job.UnRarPath = job.ToolsDir + "UnRAR.exe";
}

// The tools folder's own set-up leaves "xt.txt" behind once it has run; until
// then every start tries it again, without waiting for it.
void FrmMain::RunFirstTimeSetup() {
  if (platform_.FileExists(job_.ToolsDir + "xt.txt")) return;
  platform_.ShellOpen("OPEN", "xt.bat", "0", job_.ToolsDir, kShowNormal);
}

}  // namespace quillon

#include "app/frm_main.h"
#include "stages/mux_script.h"

namespace quillon {

void FrmMain::MuxMovie() {
  MuxScriptInput script;
  script.sourceDir = SourceDir;
  script.muxDir = MuxDir;
  script.audioMode = IsSelected(ControlId::optAudMP3) ? AudioMode::Mp3 : AudioMode::Original;
  script.audioEntries = fileAud.Entries();
  // A subtitle list left from an earlier job names files this job never made.
  if (IsChecked(ControlId::chkSubMux) && ocrRan_) script.subtitleEntries = fileSub.Entries();

  BeginStep("writing the mux script " + MuxDir + "movie.amg");
  // Refuses a path the system code page cannot hold, before the muxer runs.
  platform_.WriteAnsiTextFile(MuxDir + "movie.amg", MuxScript(script));

  BeginStep("muxing the movie");
  const ProcessOutcome muxer = RunTool(AviMuxCommandLine(AviMuxPath, MuxDir), AviMuxPath);
  ExpectResult(MuxDir + "movie.avi");
  // An AVI from a muxer that crashed may hold only part of the text.
  if (muxer.finished && !muxer.Crashed() && platform_.FileExists(MuxDir + "movie.avi"))
    for (const auto& entry : script.subtitleEntries)
      srtSaved_.push_back(MuxDir + SubtitleKey(entry) + ".srt");
}

}  // namespace quillon

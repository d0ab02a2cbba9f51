#include "app/frm_main.h"
#include "stages/audio_command.h"

namespace quillon {

// One BeSweet run per track, strictly one after the other. The bit rate is
// read for every track: the box stays usable while the job pauses.
void FrmMain::ConvertAudio() {
  const std::vector<std::string> tracks = fileAud.Entries();
  for (const auto& track : tracks) {
    BeginStep("converting the audio track " + SourceDir + track);
    const std::string bitRate = Control(ControlId::cmbAudQual).text;
    RunTool(BeSweetCommandLine(BeSweetPath, SourceDir, track, MuxDir, bitRate), BeSweetPath);
  }
  // BeSweet can report success without writing anything: only the files tell.
  for (const auto& track : tracks) ExpectResult(MuxDir + TrackKey(track) + ".mp3");
}

}  // namespace quillon

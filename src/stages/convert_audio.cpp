#include "stages/audio_command.h"
#include "stages/stages.h"

namespace quillon::stages {

// One BeSweet run per track, strictly one after the other. The bit rate is
// read for every track: the box stays usable while the job pauses.
void ConvertAudio(Job& job) {
  const std::vector<std::string> tracks = job.fileAud.Entries();
  for (const auto& track : tracks) {
    job.BeginStep("converting the audio track " + job.SourceDir + track);
    const std::string bitRate = job.Settings().AudioBitRate();
    job.RunTool(BeSweetCommandLine(job.BeSweetPath, job.SourceDir, track, job.MuxDir, bitRate),
                job.BeSweetPath);
  }
  // BeSweet can report success without writing anything: only the files tell.
  for (const auto& track : tracks) job.ExpectResult(job.MuxDir + TrackKey(track) + ".mp3");
}

}  // namespace quillon::stages

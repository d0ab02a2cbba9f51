#include "stages/stages.h"
#include "stages/tool_commands.h"

namespace quillon::stages {

// One BeSweet run per track, strictly one after the other. The bit rate is
// read for every track: the box stays usable while the job pauses.
void ConvertAudio(Job& job) {
  const JobFiles& files = job.Files();
  const std::vector<std::string> tracks = job.AudioTracks().Entries();
  for (const auto& track : tracks) {
    job.BeginStep("converting the audio track " + files.SourceTrack(track));
    const std::string bitRate = job.Settings().AudioBitRate();
    job.RunTool(
        BeSweetCommandLine(files.BeSweet(), files.SourceTrack(track), files.Mp3(track), bitRate),
        files.BeSweet());
  }
  // BeSweet can report success without writing anything: only the files tell.
  for (const auto& track : tracks) job.ExpectResult(files.Mp3(track));
}

}  // namespace quillon::stages

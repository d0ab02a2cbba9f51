#include "stages/mux_script.h"
#include "stages/stages.h"

namespace quillon::stages {

void MuxMovie(Job& job) {
  MuxScriptInput script;
  script.sourceDir = job.SourceDir;
  script.muxDir = job.MuxDir;
  script.audioMode = job.Settings().AudioToMp3() ? AudioMode::Mp3 : AudioMode::Original;
  script.audioEntries = job.fileAud.Entries();
  // A subtitle list left from an earlier job names files this job never made.
  if (job.Settings().SubtitlesIntoAvi() && job.ocrRan)
    script.subtitleEntries = job.fileSub.Entries();

  job.BeginStep("writing the mux script " + job.MuxDir + "movie.amg");
  // Refuses a path the system code page cannot hold, before the muxer runs.
  job.System().WriteAnsiTextFile(job.MuxDir + "movie.amg", MuxScript(script));

  job.BeginStep("muxing the movie");
  job.muxRan = true;
  const ProcessOutcome muxer =
      job.RunTool(AviMuxCommandLine(job.AviMuxPath, job.MuxDir), job.AviMuxPath);
  const bool aviThere = job.ExpectResult(job.MuxDir + "movie.avi");
  // An AVI from a muxer that crashed may hold only part of what it was given.
  job.aviMade = aviThere && muxer.finished && !muxer.Crashed();
  if (!job.aviMade) {
    job.Report().Note("The converted files and the mux script are in " + job.MuxDir +
                      " for muxing by hand.");
    return;
  }
  for (const auto& entry : script.subtitleEntries)
    job.srtSaved.push_back(job.MuxDir + SubtitleKey(entry) + ".srt");
}

}  // namespace quillon::stages

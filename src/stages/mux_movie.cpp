#include "stages/mux_script.h"
#include "stages/stages.h"

namespace quillon::stages {

void MuxMovie(Job& job) {
  const JobFiles& files = job.Files();
  JobResults& results = job.Results();
  MuxScriptInput script{files,
                        job.Settings().AudioToMp3() ? AudioMode::Mp3 : AudioMode::Original,
                        job.AudioTracks().Entries(),
                        {}};
  // A subtitle list left from an earlier job names files this job never made.
  if (job.Settings().SubtitlesIntoAvi() && results.recognitionRan)
    script.subtitleEntries = job.SubtitleFiles().Entries();

  job.BeginStep("writing the mux script " + files.Script());
  // Refuses a path the system code page cannot hold, before the muxer runs.
  job.System().WriteAnsiTextFile(files.Script(), MuxScript(script));

  job.BeginStep("muxing the movie");
  results.muxerRan = true;
  const ProcessOutcome muxer =
      job.RunTool(AviMuxCommandLine(files.AviMux(), files.Script()), files.AviMux());
  const bool aviThere = job.ExpectResult(files.Movie());
  // An AVI from a muxer that crashed may hold only part of what it was given.
  results.aviMade = aviThere && muxer.finished && !muxer.Crashed();
  if (!results.aviMade) {
    job.Report().Note("The converted files and the mux script are in " + files.Mux() +
                      " for muxing by hand.");
    return;
  }
  for (const auto& entry : script.subtitleEntries) results.srtSaved.push_back(files.Srt(entry));
}

}  // namespace quillon::stages

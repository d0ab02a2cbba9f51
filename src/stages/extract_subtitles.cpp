#include "stages/stages.h"
#include "stages/unrar_command.h"

namespace quillon::stages {

// The index beside the movie wins over the one in "subtitles\"; its archive
// is taken from the same place, whether or not it is there.
void ExtractSubtitles(Job& job) {
  Platform& platform = job.System();
  std::string archive;
  if (platform.FileExists(job.SourceDir + "movie.idx")) {
    platform.CopyFile(job.SourceDir + "movie.idx", job.MuxDir + "movie.idx");
    archive = job.SourceDir + "movie.rar";
  } else if (platform.FileExists(job.SourceDir + "subtitles\\movie.idx")) {
    platform.CopyFile(job.SourceDir + "subtitles\\movie.idx", job.MuxDir + "movie.idx");
    archive = job.SourceDir + "subtitles\\movie.rar";
  }
  if (!archive.empty()) {
    job.BeginStep("unpacking " + archive);
    const ProcessOutcome unpacked =
        job.RunTool(UnRarCommandLine(job.UnRarPath, archive, job.MuxDir), job.UnRarPath);
    // The extractor tells of a damaged or unreadable archive, or a file it
    // could not write, only through its exit code. A crash is reported as
    // such already.
    if (unpacked.finished && unpacked.exitCode != 0 && !unpacked.Crashed())
      job.Report().ToolFailed(job.UnRarPath, unpacked.exitCode);
  }
  if (job.Settings().SubtitlesToSrt()) ConvertSubtitlesToSrt(job);
}

}  // namespace quillon::stages

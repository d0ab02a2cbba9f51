#include "stages/stages.h"
#include "stages/unrar_command.h"

namespace quillon::stages {

// The index beside the movie wins over the one in "subtitles\"; its archive
// is taken from the same place, whether or not it is there.
void ExtractSubtitles(Job& job) {
  Platform& platform = job.System();
  std::string index;
  std::string archive;
  if (platform.FileExists(job.SourceDir + "movie.idx")) {
    index = job.SourceDir + "movie.idx";
    archive = job.SourceDir + "movie.rar";
  } else if (platform.FileExists(job.SourceDir + "subtitles\\movie.idx")) {
    index = job.SourceDir + "subtitles\\movie.idx";
    archive = job.SourceDir + "subtitles\\movie.rar";
  }
  if (!index.empty()) {
    job.BeginStep("unpacking " + archive);
    const ProcessOutcome unpacked =
        job.RunTool(UnRarCommandLine(job.UnRarPath, archive, job.MuxDir), job.UnRarPath);
    // The extractor tells of a damaged or unreadable archive, or a file it
    // could not write, only through its exit code. A crash is reported as
    // such already.
    if (unpacked.finished && unpacked.exitCode != 0 && !unpacked.Crashed())
      job.Report().ToolFailed(job.UnRarPath, unpacked.exitCode);

    // The index goes in after the archive: UnRAR, given no overwrite switch,
    // would stop and ask on its console about an index already there, and in
    // an unattended job nobody answers. The folder's own index replaces one
    // the archive held, even a read-only one.
    job.BeginStep("copying the subtitle index " + index);
    const std::string copy = job.MuxDir + "movie.idx";
    if (platform.FileExists(copy)) platform.ClearReadOnly(copy);
    platform.CopyFile(index, copy);
    // A copy keeps the read-only attribute of an index off a disc.
    platform.ClearReadOnly(copy);
  }
  if (job.Settings().SubtitlesToSrt()) ConvertSubtitlesToSrt(job);
}

}  // namespace quillon::stages

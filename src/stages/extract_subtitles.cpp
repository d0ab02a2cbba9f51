#include "stages/stages.h"
#include "stages/tool_commands.h"

namespace quillon::stages {

// The index and its archive are where the job found them when it started.
void ExtractSubtitles(Job& job) {
  Platform& platform = job.System();
  const JobFiles& files = job.Files();
  if (files.HasSubtitles()) {
    const std::string unRar = files.UnRar();
    job.BeginStep("unpacking " + files.Archive());
    const ProcessOutcome unpacked =
        job.RunTool(UnRarCommandLine(unRar, files.Archive(), files.Mux()), unRar);
    // The extractor tells of a damaged or unreadable archive, or a file it
    // could not write, only through its exit code. A crash is reported as
    // such already.
    if (unpacked.finished && unpacked.exitCode != 0 && !unpacked.Crashed())
      job.Report().ToolFailed(unRar, unpacked.exitCode);

    // The index goes in after the archive: UnRAR, given no overwrite switch,
    // would stop and ask on its console about an index already there, and in
    // an unattended job nobody answers. The folder's own index replaces one
    // the archive held, even a read-only one.
    job.BeginStep("copying the subtitle index " + files.Index());
    const std::string copy = files.IndexCopy();
    if (platform.FileExists(copy)) platform.ClearReadOnly(copy);
    platform.CopyFile(files.Index(), copy);
    // A copy keeps the read-only attribute of an index off a disc.
    platform.ClearReadOnly(copy);
  }
  if (job.Settings().SubtitlesToSrt()) ConvertSubtitlesToSrt(job);
}

}  // namespace quillon::stages

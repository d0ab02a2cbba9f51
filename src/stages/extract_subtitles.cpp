#include "app/frm_main.h"
#include "stages/unrar_command.h"

namespace quillon {

// The index beside the movie wins over the one in "subtitles\"; its archive
// is taken from the same place, whether or not it is there.
void FrmMain::ExtractSubtitles() {
  std::string archive;
  if (platform_.FileExists(SourceDir + "movie.idx")) {
    platform_.CopyFile(SourceDir + "movie.idx", MuxDir + "movie.idx");
    archive = SourceDir + "movie.rar";
  } else if (platform_.FileExists(SourceDir + "subtitles\\movie.idx")) {
    platform_.CopyFile(SourceDir + "subtitles\\movie.idx", MuxDir + "movie.idx");
    archive = SourceDir + "subtitles\\movie.rar";
  }
  if (!archive.empty()) {
    BeginStep("unpacking " + archive);
    const ProcessOutcome unpacked =
        RunTool(UnRarCommandLine(UnRarPath, archive, MuxDir), UnRarPath);
    // The extractor tells of a damaged or unreadable archive, or a file it
    // could not write, only through its exit code. A crash is reported as
    // such already.
    if (unpacked.finished && unpacked.exitCode != 0 && !unpacked.Crashed())
      report_.ToolFailed(UnRarPath, unpacked.exitCode);
  }
  if (IsSelected(ControlId::optSubSRT)) ConvertSubtitlesToSrt();
}

}  // namespace quillon

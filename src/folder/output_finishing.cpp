#include "app/frm_main.h"

namespace quillon {

namespace {

// A file that a tool never wrote, or that an earlier step already removed
// (two tracks with one key share their MP3), is simply not there to delete.
void DeleteIfPresent(Platform& platform, const std::string& path) {
  if (platform.FileExists(path)) platform.DeleteFile(path);
}

}  // namespace

// Without muxing, the SRT files would be lost with the mux folder: save them
// beside the movie.
void FrmMain::CopySubtitleResults() {
  if (!IsSelected(ControlId::optSubSRT) || !ocrRan_) return;
  for (const auto& entry : fileSub.Entries()) {
    const std::string name = SubtitleKey(entry) + ".srt";
    if (!platform_.FileExists(MuxDir + name)) continue;
    platform_.CopyFile(MuxDir + name, SourceDir + name);
  }
}

void FrmMain::DeleteTempFiles() {
  const bool muxed = IsChecked(ControlId::chkMux);
  if (muxed) DeleteIfPresent(platform_, MuxDir + "movie.amg");

  if (IsSelected(ControlId::optAudMP3))
    for (const auto& track : fileAud.Entries())
      DeleteIfPresent(platform_, MuxDir + TrackKey(track) + ".mp3");

  if (!IsSelected(ControlId::optSubSRT)) return;
  DeleteIfPresent(platform_, MuxDir + "movie.idx");
  DeleteIfPresent(platform_, MuxDir + "movie.sub");
  const std::vector<std::string> subtitles =
      ocrRan_ ? fileSub.Entries() : std::vector<std::string>{};
  for (const auto& entry : subtitles) DeleteIfPresent(platform_, MuxDir + entry);
  // The SRT files are inside the AVI or were copied beside the movie; when
  // the AVI was made without them they stay next to it. When the muxer made
  // no AVI at all they are in nothing else: the recognition's work stays.
  const bool inAvi = IsChecked(ControlId::chkSubMux) && platform_.FileExists(MuxDir + "movie.avi");
  if (!muxed || inAvi)
    for (const auto& entry : subtitles)
      DeleteIfPresent(platform_, MuxDir + SubtitleKey(entry) + ".srt");
  // Files no step names (more of the archive's contents) keep the folder.
  if (!muxed && platform_.FolderExists(MuxDir) && platform_.ListFolder(MuxDir).empty())
    platform_.RemoveFolder(MuxDir);
}

}  // namespace quillon

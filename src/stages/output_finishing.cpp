#include <algorithm>

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
    srtSaved_.push_back(MuxDir + name);
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
  // An SRT file goes only when this job put its text somewhere else: inside
  // the AVI, or beside the movie. Made without them, or not made at all, the
  // AVI leaves them next to it, and so does a box the user changed since.
  for (const auto& entry : subtitles) {
    const std::string srt = MuxDir + SubtitleKey(entry) + ".srt";
    if (std::find(srtSaved_.begin(), srtSaved_.end(), srt) != srtSaved_.end())
      DeleteIfPresent(platform_, srt);
  }
  // Files no step names (more of the archive's contents) keep the folder.
  if (!muxed && platform_.FolderExists(MuxDir) && platform_.ListFolder(MuxDir).empty())
    platform_.RemoveFolder(MuxDir);
}

}  // namespace quillon

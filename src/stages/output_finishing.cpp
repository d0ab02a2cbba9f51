#include <algorithm>

#include "stages/stages.h"

namespace quillon::stages {

namespace {

// A file that a tool never wrote, or that an earlier step already removed
// (two tracks with one key share their MP3), is simply not there to delete.
// Only the job's own files in the mux folder come here; a copy keeps the
// read-only attribute of a file off a disc, and UnRAR restores the one
// stored in its archive, so that attribute goes first.
void DeleteIfPresent(Platform& platform, const std::string& path) {
  if (!platform.FileExists(path)) return;
  platform.ClearReadOnly(path);
  platform.DeleteFile(path);
}

}  // namespace

// Without muxing, the SRT files would be lost with the mux folder: save them
// beside the movie.
void CopySubtitleResults(Job& job) {
  Platform& platform = job.System();
  if (!job.Settings().SubtitlesToSrt() || !job.ocrRan) return;
  for (const auto& entry : job.fileSub.Entries()) {
    const std::string name = SubtitleKey(entry) + ".srt";
    if (!platform.FileExists(job.MuxDir + name)) continue;
    platform.CopyFile(job.MuxDir + name, job.SourceDir + name);
    job.srtSaved.push_back(job.MuxDir + name);
  }
}

void DeleteTempFiles(Job& job) {
  Platform& platform = job.System();
  const bool muxed = job.Settings().MuxAll();
  // The muxer made no whole AVI: what it was given, and its script, are the
  // user's way to mux by hand, and nowhere else.
  const bool keepForMuxing = job.muxRan && !job.aviMade;
  if (muxed && !keepForMuxing) DeleteIfPresent(platform, job.MuxDir + "movie.amg");

  if (job.Settings().AudioToMp3() && !keepForMuxing)
    for (const auto& track : job.fileAud.Entries())
      DeleteIfPresent(platform, job.MuxDir + TrackKey(track) + ".mp3");

  if (!job.Settings().SubtitlesToSrt()) return;
  DeleteIfPresent(platform, job.MuxDir + "movie.idx");
  DeleteIfPresent(platform, job.MuxDir + "movie.sub");
  const std::vector<std::string> subtitles =
      job.ocrRan ? job.fileSub.Entries() : std::vector<std::string>{};
  if (!keepForMuxing)
    for (const auto& entry : subtitles) DeleteIfPresent(platform, job.MuxDir + entry);
  // An SRT file goes only when this job put its text somewhere else: inside
  // the AVI, or beside the movie. Made without them, or not made at all, the
  // AVI leaves them next to it, and so does a box the user changed since.
  for (const auto& entry : subtitles) {
    const std::string srt = job.MuxDir + SubtitleKey(entry) + ".srt";
    if (std::find(job.srtSaved.begin(), job.srtSaved.end(), srt) != job.srtSaved.end())
      DeleteIfPresent(platform, srt);
  }
  // Files no step names (more of the archive's contents) keep the folder.
  if (!muxed && platform.FolderExists(job.MuxDir) && platform.ListFolder(job.MuxDir).empty())
    platform.RemoveFolder(job.MuxDir);
}

}  // namespace quillon::stages

#include <algorithm>
#include <functional>

#include "stages/stages.h"

namespace quillon::stages {

namespace {

// A virus scanner, the search indexer or a thumbnail maker opens a fresh
// file for a moment; the file is free again soon after.
constexpr std::uint64_t kHeldFileWaitMs = 10 * 1000;
constexpr std::uint32_t kHeldFileLookMs = 250;

enum class StillHeld { Stops, IsAProblem };

// Runs `operation` (a copy or delete), and while another program holds its
// file tries again for about ten seconds, processing the program's messages
// meanwhile. A file still held then stops the job, or is a problem of the
// job that lets it go on.
void TryWhileHeld(Job& job, StillHeld stillHeld, const std::function<void()>& operation) {
  Platform& platform = job.System();
  const std::uint64_t start = platform.NowMilliseconds();
  for (bool first = true;; first = false) {
    try {
      operation();
      return;
    } catch (const FileHeldError& error) {
      if (first)
        job.Log().Line("Tried again for at most " +
                       DurationText(static_cast<std::uint32_t>(kHeldFileWaitMs)) + ": " +
                       error.what());
      if (platform.NowMilliseconds() - start < kHeldFileWaitMs) {
        platform.PumpMessagesFor(kHeldFileLookMs);
        continue;
      }
      job.Log().Line("Still held by another program: " + std::string(error.what()));
      if (stillHeld == StillHeld::Stops) throw;
      job.Report().FileStillHeld(error.what());
      return;
    }
  }
}

// A file that a tool never wrote, or that an earlier step already removed
// (two tracks with one key share their MP3), is simply not there to delete.
// Only the job's own files in the mux folder come here; a copy keeps the
// read-only attribute of a file off a disc, and UnRAR restores the one
// stored in its archive, so that attribute goes first.
// A file held by another program stays, and the clean-up goes on.
void DeleteIfPresent(Job& job, const std::string& path) {
  Platform& platform = job.System();
  TryWhileHeld(job, StillHeld::IsAProblem, [&] {
    if (!platform.FileExists(path)) return;
    platform.ClearReadOnly(path);
    platform.DeleteFile(path);
  });
}

}  // namespace

// Without muxing, the SRT files would be lost with the mux folder: save them
// beside the movie.
void CopySubtitleResults(Job& job) {
  Platform& platform = job.System();
  const JobFiles& files = job.Files();
  if (!job.Settings().SubtitlesToSrt() || !job.Results().recognitionRan) return;
  for (const auto& entry : job.SubtitleFiles().Entries()) {
    const std::string srt = files.Srt(entry);
    if (!platform.FileExists(srt)) continue;
    // Saved nowhere else, the text must not be lost quietly: a file still
    // held stops the job.
    TryWhileHeld(job, StillHeld::Stops,
                 [&] { platform.CopyFile(srt, files.SrtBesideMovie(entry)); });
    job.Results().srtSaved.push_back(srt);
  }
}

void DeleteTempFiles(Job& job) {
  Platform& platform = job.System();
  const JobFiles& files = job.Files();
  const JobResults& results = job.Results();
  const bool muxed = job.Settings().MuxAll();
  // The muxer made no whole AVI: what it was given, and its script, are the
  // user's way to mux by hand, and nowhere else.
  const bool keepForMuxing = results.muxerRan && !results.aviMade;
  if (muxed && !keepForMuxing) DeleteIfPresent(job, files.Script());

  if (job.Settings().AudioToMp3() && !keepForMuxing)
    for (const auto& track : job.AudioTracks().Entries()) DeleteIfPresent(job, files.Mp3(track));

  if (!job.Settings().SubtitlesToSrt()) return;
  DeleteIfPresent(job, files.IndexCopy());
  DeleteIfPresent(job, files.Bitmaps());
  const std::vector<std::string> subtitles =
      results.recognitionRan ? job.SubtitleFiles().Entries() : std::vector<std::string>{};
  if (!keepForMuxing)
    for (const auto& entry : subtitles) DeleteIfPresent(job, files.Sup(entry));
  // An SRT file goes only when this job put its text somewhere else: inside
  // the AVI, or beside the movie. Made without them, or not made at all, the
  // AVI leaves them next to it, and so does a box the user changed since.
  for (const auto& entry : subtitles) {
    const std::string srt = files.Srt(entry);
    if (std::find(results.srtSaved.begin(), results.srtSaved.end(), srt) != results.srtSaved.end())
      DeleteIfPresent(job, srt);
  }
  // Files no step names (more of the archive's contents) keep the folder.
  if (!muxed && platform.FolderExists(files.Mux()) && platform.ListFolder(files.Mux()).empty())
    TryWhileHeld(job, StillHeld::IsAProblem, [&] { platform.RemoveFolder(files.Mux()); });
}

}  // namespace quillon::stages

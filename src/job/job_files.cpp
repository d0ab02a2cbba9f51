#include "job/job_files.h"

namespace quillon {

void JobFiles::SetSource(const std::string& sourceDir) {
  source_ = sourceDir;
  mux_ = sourceDir + "mux\\";
  index_.clear();
  archive_.clear();
}

void JobFiles::FindSubtitles(Platform& platform) {
  for (const std::string& folder : {source_, source_ + "subtitles\\"}) {
    if (!platform.FileExists(folder + kIndex)) continue;
    index_ = folder + kIndex;
    archive_ = folder + "movie.rar";
    return;
  }
  index_.clear();
  archive_.clear();
}

}  // namespace quillon

#include "stages/stages.h"

namespace quillon::stages {

// Only the first track decides, and only a lower-case ".ogg" anywhere in its
// name: Ogg audio cannot go into an AVI as it is, so it defaults to MP3.
bool ScanSourceFolder(Job& job) {
  job.AudioTracks().SetFolder(job.Files().Source());
  return job.AudioTracks().List(0).find(".ogg") != std::string::npos;
}

}  // namespace quillon::stages

#include "job/job_files.h"

namespace quillon {

void JobFiles::SetToolsFolder(const std::string& toolsDir) {
  tools_ = toolsDir;
  aviMux_ = toolsDir + "AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe";
  beSweet_ = toolsDir + "BeSweetv1.5b31\\BeSweet.exe";
  subEdit_ = toolsDir + "DVDSubEdit1.34\\DVDSubEdit.exe";
  subToSup_ = toolsDir + "SubToSup\\SubToSup.exe";
  unRar_ = toolsDir + "UnRAR.exe";
}

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

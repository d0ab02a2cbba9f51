#include "app/frm_main.h"

namespace quillon {

// Only the first track decides, and only a lower-case ".ogg" anywhere in its
// name: Ogg audio cannot go into an AVI as it is, so it defaults to MP3.
void FrmMain::ScanSourceFolder() {
  fileAud.SetFolder(SourceDir);
  const std::string first = fileAud.List(0);
  ApplyOptionRule(first.find(".ogg") != std::string::npos ? ControlId::optAudMP3
                                                          : ControlId::optAudOrig);
  ApplyOptionRule(ControlId::optSubSRT);
  SetEnabled(ControlId::cmdStart, true);
}

}  // namespace quillon

#include "app/frm_main.h"

namespace quillon {

void FrmMain::CopySubtitleResults() {}

void FrmMain::DeleteTempFiles() {}

}  // namespace quillon

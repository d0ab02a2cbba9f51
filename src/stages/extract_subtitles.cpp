#include "app/frm_main.h"

namespace quillon {

void FrmMain::ExtractSubtitles() {}

}  // namespace quillon

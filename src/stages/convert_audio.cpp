#include "app/frm_main.h"

namespace quillon {

void FrmMain::ConvertAudio() {}

}  // namespace quillon

#include "app/frm_main.h"

namespace quillon {

void FrmMain::MuxMovie() {}

}  // namespace quillon

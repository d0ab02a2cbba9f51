#include "app/frm_main.h"

namespace quillon {

void FrmMain::ConvertSubtitlesToSrt() {}

void FrmMain::DeleteSubEditIni() {}

}  // namespace quillon

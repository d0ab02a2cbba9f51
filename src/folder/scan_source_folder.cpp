#include "app/frm_main.h"

namespace quillon {

void FrmMain::ScanSourceFolder() {
  SetEnabled(ControlId::cmdStart, true);
}

}  // namespace quillon

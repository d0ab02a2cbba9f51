#include "app/frm_main.h"

#include "app/control_table.h"

namespace quillon {

FrmMain::FrmMain(Platform& platform, MainView& view)
    : platform_(platform), view_(view), caption_(kRestingCaption), job_(platform, *this) {
  for (const ControlDesign& design : ControlTable()) {
    ControlState& control = Mutable(design.id);
    control.caption = design.caption;
    control.enabled = design.enabled;
    control.value = design.value;
  }
}

void FrmMain::ShowBox(const std::string& text, MessageIcon icon) {
  platform_.ShowMessage(text, kAppName, icon, batchMode_ ? job_.Limits().unattendedBoxMs : 0);
}

void FrmMain::SetWindowCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  view_.CaptionChanged();
}

}  // namespace quillon

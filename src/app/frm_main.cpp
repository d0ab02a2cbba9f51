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

void FrmMain::SetEnabled(ControlId id, bool enabled) {
  ControlState& control = Mutable(id);
  if (control.enabled == enabled) return;
  control.enabled = enabled;
  view_.ControlChanged(id);
}

void FrmMain::SetValue(ControlId id, int value) {
  ControlState& control = Mutable(id);
  if (control.value == value) return;
  control.value = value;
  view_.ControlChanged(id);
}

void FrmMain::SetControlCaption(ControlId id, const std::string& caption) {
  ControlState& control = Mutable(id);
  if (control.caption == caption) return;
  control.caption = caption;
  view_.ControlChanged(id);
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

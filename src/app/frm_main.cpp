#include "app/frm_main.h"

#include <iterator>

namespace quillon {

namespace {

struct ControlDesign {
  ControlId id;
  const char* caption;
  bool enabled;
  int value;
};

// The controls as the window opens, before anything has been chosen.
constexpr ControlDesign kDesign[] = {
    {ControlId::cmdOpen, "Select folder...", true, 0},
    {ControlId::cmdAbout, "about...", true, 0},
    {ControlId::cmdWFK, "WaitFor&Key", true, 0},
    {ControlId::fraAud, "Audio", true, 0},
    {ControlId::optAudOrig, "Original", true, 1},
    {ControlId::optAudMP3, "Convert to MP3", true, 0},
    {ControlId::lblAudQual, "Quality:", false, 0},
    {ControlId::cmbAudQual, "", false, 0},
    {ControlId::fraSub, "Subtitles", true, 0},
    {ControlId::optSubOrig, "Original", true, 1},
    {ControlId::optSubSRT, "Convert to SRT", true, 0},
    {ControlId::chkSubMux, "Mux into AVI", false, 0},
    {ControlId::fraOpt, "Options", true, 0},
    {ControlId::chkDelTemp, "Delete temporary files", true, 1},
    {ControlId::chkShutDown, "Shut down computer", true, 0},
    {ControlId::chkMux, "&Mux all", true, 1},
    {ControlId::cmdStart, "Start", false, 0},
};
static_assert(std::size(kDesign) == kControlCount);

}  // namespace

FrmMain::FrmMain(Platform& platform, MainView& view)
    : platform_(platform), view_(view), caption_(kRestingCaption), job_(platform, *this) {
  for (const auto& design : kDesign) {
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
  platform_.ShowMessage(text, kAppName, icon, batchMode_ ? job_.Limits.unattendedBoxMs : 0);
}

void FrmMain::SetWindowCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  view_.CaptionChanged();
}

}  // namespace quillon

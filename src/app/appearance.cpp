#include "app/frm_main.h"

namespace quillon {

void FrmMain::EnterBusyState() {
  SetEnabled(ControlId::cmdStart, false);
  SetControlCaption(ControlId::cmdStart, "Working...");
  SetEnabled(ControlId::cmdOpen, false);
  SetEnabled(ControlId::cmdAbout, false);
  view_.Minimise();
  view_.SetTimer(TimerId::TimerWorking, true);
  // Minimised, the window shows the job only through its task-bar button.
  view_.ShowBusyProgress(true);
}

void FrmMain::EnterIdleState() {
  SetEnabled(ControlId::cmdStart, false);
  SetControlCaption(ControlId::cmdStart, "Start");
  SetEnabled(ControlId::cmdOpen, true);
  SetEnabled(ControlId::cmdAbout, true);
  // The timer stops before the caption is reset, so no late tick overwrites it.
  view_.SetTimer(TimerId::TimerWorking, false);
  SetWindowCaption(kRestingCaption);
  view_.Restore();
  view_.ShowBusyProgress(false);
}

void FrmMain::TickWorkingTimer() {
  static constexpr const char* kCycle[][2] = {
      {kRestingCaption, "Working"}, {"Working", "Working."},   {"Working.", "Working.."},
      {"Working..", "Working..."},  {"Working...", "Working"},
  };
  for (const auto& step : kCycle) {
    if (caption_ == step[0]) {
      SetWindowCaption(step[1]);
      return;
    }
  }
}

}  // namespace quillon

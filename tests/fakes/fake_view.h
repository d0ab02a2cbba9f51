#pragma once
// The main window as the user would see it, written into the fake platform's
// call record, so that one list shows the order of dialogs, file operations
// and window changes.

#include <stdexcept>
#include <string>

#include "app/frm_main.h"
#include "fakes/fake_platform.h"

namespace quillon::testing {

class FakeView : public MainView {
 public:
  using ControlNamer = const char* (*)(ControlId);
  explicit FakeView(FakePlatform& fake) : fake_(fake) {}
  // The window whose controls and caption the record shows, and the names
  // its controls go by there.
  void Attach(const FrmMain* frm, ControlNamer name) {
    frm_ = frm;
    name_ = name;
  }

  bool closeRequested = false;
  int closeCount = 0;
  // Turning a timer on fails, as when the system has none left.
  bool refuseTimers = false;

  // "Changed(cmdStart:0:0:Working...)": name, enabled, value and caption at
  // the moment of the change.
  void ControlChanged(ControlId id) override {
    const ControlState& c = frm_->Control(id);
    fake_.calls.push_back(std::string("Changed(") + name_(id) + ":" + (c.enabled ? "1" : "0") +
                          ":" + std::to_string(c.value) + ":" + c.caption + ")");
  }
  void CaptionChanged() override { fake_.calls.push_back("Caption(" + frm_->Caption() + ")"); }
  void Minimise() override { fake_.calls.push_back("Minimise"); }
  void Restore() override { fake_.calls.push_back("Restore"); }
  void SetTimer(TimerId timer, bool on) override {
    fake_.calls.push_back(std::string(on ? "TimerOn(" : "TimerOff(") +
                          (timer == TimerId::TimerCMD ? "CMD" : "Working") + ")");
    if (on && refuseTimers) throw std::runtime_error("The system refused a timer.");
  }
  void ShowBusyProgress(bool busy) override {
    fake_.calls.push_back(busy ? "BusyProgress(on)" : "BusyProgress(off)");
  }
  void Close() override {
    ++closeCount;
    fake_.calls.push_back("Close");
  }
  bool CloseRequested() override { return closeRequested; }

 private:
  FakePlatform& fake_;
  const FrmMain* frm_ = nullptr;
  ControlNamer name_ = nullptr;
};

}  // namespace quillon::testing

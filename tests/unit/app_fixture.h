#pragma once
// A main window wired to the fake platform and a view that writes what the
// user would see into the same call record, so one list shows the order of
// dialogs, file operations and window changes.

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/frm_main.h"
#include "fakes/fake_platform.h"
#include "stages_run.h"

namespace quillon {

inline const char* ControlName(ControlId id) {
  return DesignOf(id).name;
}

class RecordingView : public MainView {
 public:
  explicit RecordingView(testing::FakePlatform& fake) : fake_(fake) {}
  void Attach(const FrmMain* frm) { frm_ = frm; }

  bool closeRequested = false;
  int closeCount = 0;
  // Turning a timer on fails, as when the system has none left.
  bool refuseTimers = false;

  // "Changed(cmdStart:0:Working...)": name, enabled, caption at the moment of the change.
  void ControlChanged(ControlId id) override {
    const ControlState& c = frm_->Control(id);
    fake_.calls.push_back(std::string("Changed(") + ControlName(id) + ":" +
                          (c.enabled ? "1" : "0") + ":" + std::to_string(c.value) + ":" +
                          c.caption + ")");
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
  testing::FakePlatform& fake_;
  const FrmMain* frm_ = nullptr;
};

class AppTest : public ::testing::Test {
 protected:
  AppTest() { view.Attach(&frm); }

  // Gives the job a log, the account StagesRun reads; the job's messages
  // then end with kLogPlace.
  void KeepLog() {
    fake.localAppDataFolder = "C:\\Users\\me\\AppData\\Local";
    fake.AddFolder(fake.localAppDataFolder);
  }
  static constexpr char kLogPlace[] =
      "\r\nThe job log is in C:\\Users\\me\\AppData\\Local\\Quillon\\last-job.log.";

  // The calls whose text begins with one of `prefixes`, in order.
  std::vector<std::string> Only(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> out;
    for (const auto& call : fake.calls)
      for (const char* prefix : prefixes)
        if (call.rfind(prefix, 0) == 0) {
          out.push_back(call);
          break;
        }
    return out;
  }
  std::vector<std::string> Messages() const { return fake.CallsStartingWith("ShowMessage("); }
  // Position of the first call that begins with `prefix`; -1 when none.
  long Position(const std::string& prefix) const {
    for (std::size_t i = 0; i < fake.calls.size(); ++i)
      if (fake.calls[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    return -1;
  }
  int Value(ControlId id) const { return frm.Control(id).value; }
  bool Enabled(ControlId id) const { return frm.Control(id).enabled; }

  testing::FakePlatform fake;
  RecordingView view{fake};
  FrmMain frm{fake, view};
};

}  // namespace quillon

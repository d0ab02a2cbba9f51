#pragma once
// A main window wired to the fake platform and a view that writes what the
// user would see into the same call record, so one list shows the order of
// dialogs, file operations and window changes.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/control_table.h"
#include "app/frm_main.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_view.h"

namespace quillon {

inline const char* ControlName(ControlId id) {
  return DesignOf(id).name;
}

// The fake view, naming the controls as above.
class RecordingView : public testing::FakeView {
 public:
  using FakeView::FakeView;
  void Attach(const FrmMain* frm) { FakeView::Attach(frm, ControlName); }
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

  std::vector<std::string> Messages() const { return fake.Calls({"ShowMessage("}); }
  int Value(ControlId id) const { return frm.Control(id).value; }
  bool Enabled(ControlId id) const { return frm.Control(id).enabled; }

  testing::FakePlatform fake;
  RecordingView view{fake};
  FrmMain frm{fake, view};
};

}  // namespace quillon

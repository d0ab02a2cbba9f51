#pragma once
// A main window wired to the fake platform and a view that writes what the
// user would see into the same call record, so one list shows the order of
// dialogs, file operations and window changes.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/frm_main.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_view.h"

namespace quillon {

struct FrmMainTestAccess {
  static void Pause(FrmMain& frm, std::int32_t seconds) { frm.Pause(seconds); }
  static void RunTool(FrmMain& frm, const std::string& cmd, const std::string& tool) {
    frm.RunTool(cmd, tool);
  }
  static void ExpectResult(FrmMain& frm, const std::string& path) { frm.ExpectResult(path); }
  static void BeginStep(FrmMain& frm, const std::string& name) { frm.BeginStep(name); }
};

inline const char* ControlName(ControlId id) {
  static const char* const names[] = {
      "cmdOpen",    "cmdAbout",   "cmdWFK",      "fraAud",     "optAudOrig", "optAudMP3",
      "lblAudQual", "cmbAudQual", "fraSub",      "optSubOrig", "optSubSRT",  "chkSubMux",
      "fraOpt",     "chkDelTemp", "chkShutDown", "chkMux",     "cmdStart",
  };
  return names[Index(id)];
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

  // The older spelling of fake.Calls, still used by the start-up tests.
  std::vector<std::string> Only(const std::vector<std::string_view>& prefixes) const {
    return fake.Calls(prefixes);
  }
  std::vector<std::string> Messages() const { return fake.Calls({"ShowMessage("}); }
  int Value(ControlId id) const { return frm.Control(id).value; }
  bool Enabled(ControlId id) const { return frm.Control(id).enabled; }

  testing::FakePlatform fake;
  RecordingView view{fake};
  FrmMain frm{fake, view};
};

}  // namespace quillon

#pragma once
// The fixture of the end-to-end tests: one fresh folder per test holding a
// copy of Quillon.exe, one run of it, and a clean end whatever happened.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/control_ids.h"
#include "support/quillon_run.h"
#include "support/window_probe.h"

namespace quillon::e2e {

class QuillonTest : public ::testing::Test {
 protected:
  QuillonTest() : folder_(CurrentTestName()) {}

  void TearDown() override {
    // A test that failed half-way may leave the program running, maybe with
    // a message box up: it is ended, not waited for.
    if (process_ && process_->Running()) process_->Kill();
  }

  // Installs Quillon.exe (and the stand-in tools, or only the set-up marker)
  // into the test folder, starts it and waits for its main window.
  WindowProbe Start(const std::wstring& arguments = L"", bool withTools = false) {
    if (!installed_) {
      exe_ = folder_.InstallQuillon();
      if (withTools)
        folder_.InstallTools();
      else
        folder_.InstallToolsMarkerOnly();
      installed_ = true;
    }
    LaunchOptions options;
    options.arguments = arguments;
    // Short limits, so that a tool that never answers fails the test fast.
    options.environment.emplace_back(L"QUILLON_WAIT_LIMITS", L"10000,30000");
    options.environment.emplace_back(L"QUILLON_STANDIN_LOG", folder_ / L"standins.log");
    if (process_ && process_->Running()) process_->Kill();
    process_.reset();
    process_.emplace(exe_, options);
    const HWND window = process_->WaitForMainWindow();
    EXPECT_NE(window, nullptr) << "Quillon.exe showed no main window";
    return WindowProbe(window);
  }

  QuillonProcess& Process() { return *process_; }

  // Closes the idle window as the user would and expects a clean end.
  void CloseAndExpectExitCode(const WindowProbe& window, DWORD expected) {
    window.Close();
    const auto code = process_->WaitForExit(kExitLimit);
    ASSERT_TRUE(code.has_value()) << "Quillon.exe did not end after its window was closed";
    EXPECT_EQ(*code, expected);
  }

  // Waits for a message box of the program, checks it and presses OK.
  void ExpectMessageBox(std::wstring_view text, BoxIcon icon) {
    const auto box = WaitForMessageBox(*process_);
    ASSERT_TRUE(box.has_value()) << "no message box appeared; expected: " << Narrow(text);
    EXPECT_TRUE(SameBoxText(box->text, text))
        << "shown: " << Narrow(box->text) << "\nexpected: " << Narrow(text);
    EXPECT_EQ(box->icon, icon) << "icon: " << ToString(box->icon);
    EXPECT_TRUE(PressDialogButton(box->window));
  }

  static int Id(ControlId id) { return static_cast<int>(id); }

  TestFolder folder_;

 private:
  static std::wstring CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return Widen(info != nullptr ? info->name() : "test");
  }

  bool installed_ = false;
  std::wstring exe_;
  std::optional<QuillonProcess> process_;
};

}  // namespace quillon::e2e

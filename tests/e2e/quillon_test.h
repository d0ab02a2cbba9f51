#pragma once
// The fixture of the end-to-end tests: the test's own folder (kept for a look
// when the test failed), the harness that installs Quillon.exe into it and
// runs it, and a clean end whatever happened.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/control_ids.h"
#include "support/case_folder.h"
#include "support/quillon_harness.h"
#include "support/quillon_run.h"
#include "support/window_probe.h"

namespace quillon::e2e {

class QuillonTest : public ::testing::Test {
 protected:
  explicit QuillonTest(std::wstring_view folderName = CurrentTestFolderName())
      : folder_(folderName) {}

  void TearDown() override {
    // A test that failed half-way may leave the program running, maybe with
    // a message box up: it is ended, not waited for.
    if (quillon_.Launched() && Process().Running()) Process().Kill();
    if (HasFailure()) std::printf("%s\n", folder_.Keep().c_str());
  }

  // Installs Quillon.exe (with the stand-in tools, or only the set-up marker)
  // into the test folder unless it is there, starts it and waits for its
  // main window.
  WindowProbe Start(const std::wstring& arguments = L"", bool withTools = false) {
    if (!quillon_.Installed()) quillon_.Install(L"", withTools);
    const HWND window = quillon_.Launch(arguments).WaitForMainWindow();
    EXPECT_NE(window, nullptr) << "Quillon.exe showed no main window";
    return WindowProbe(window);
  }

  // Starts it on a folder (`arguments` names it, as for one dropped onto the
  // program) and waits until the folder's scan has enabled Start.
  WindowProbe OpenFolder(const std::wstring& arguments, bool withTools = false) {
    const WindowProbe window = Start(arguments, withTools);
    EXPECT_TRUE(WaitUntil(kDialogLimit, [&] {
      return window.ItemEnabled(Id(ControlId::cmdStart));
    })) << "opening the folder did not enable Start";
    return window;
  }

  QuillonProcess& Process() { return quillon_.Process(); }

  // Closes the idle window as the user would and expects a clean end.
  void CloseAndExpectExitCode(const WindowProbe& window, DWORD expected) {
    window.Close();
    const auto code = Process().WaitForExit(kExitLimit);
    ASSERT_TRUE(code.has_value()) << "Quillon.exe did not end after its window was closed";
    EXPECT_EQ(*code, expected);
  }

  // Waits for a message box of the program, checks it and presses OK.
  void ExpectMessageBox(std::wstring_view text, BoxIcon icon) {
    const auto box = WaitForMessageBox(Process());
    ASSERT_TRUE(box.has_value()) << "no message box appeared; expected: " << ToUtf8(text);
    EXPECT_TRUE(SameBoxText(box->text, text))
        << "shown: " << ToUtf8(box->text) << "\nexpected: " << ToUtf8(text);
    EXPECT_EQ(box->icon, icon) << "icon: " << ToString(box->icon);
    EXPECT_TRUE(PressDialogButton(box->window));
  }

  static int Id(ControlId id) { return static_cast<int>(id); }

  CaseFolder folder_;
  QuillonHarness quillon_{folder_};
};

}  // namespace quillon::e2e

#pragma once
// A test's own folder that outlives a failed test: what the program and the
// stand-in tools left in it, with a copy of the program's job log, is what
// tells why the test failed.

#include <optional>
#include <string>
#include <string_view>

#include "support/quillon_run.h"

namespace quillon::e2e {

// The running test's name as a folder name: a parameterised test's "/"
// becomes "_" ("Case/unrar_missing" -> "Case_unrar_missing").
std::wstring CurrentTestFolderName();

// Once on, QUILLON_E2E_KEEP is set (unless it was already) until the switch
// is destroyed: a TestFolder that goes in between stays.
class KeepSwitch {
 public:
  ~KeepSwitch();

  void On();

 private:
  bool switched_ = false;
};

// A TestFolder named after the test; its switch, a base before the folder,
// goes off only after the folder is gone.
class CaseFolder : private KeepSwitch, public TestFolder {
 public:
  explicit CaseFolder(std::wstring_view name = CurrentTestFolderName()) : TestFolder(name) {}

  // The program's job log, when it is the account of a job on this folder.
  std::optional<std::string> JobLog() const;
  // Keeps the folder after the test, with the job log copied into it as
  // last-job.log; returns a line that says where it is.
  std::string Keep();
};

}  // namespace quillon::e2e

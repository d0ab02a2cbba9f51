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

// A TestFolder named after the test.
class CaseFolder : public TestFolder {
 public:
  explicit CaseFolder(std::wstring_view name = CurrentTestFolderName()) : TestFolder(name) {}

  // The program's job log, when it is the account of a job on this folder.
  std::optional<std::string> JobLog() const;
  // Keeps the folder after the test, with the job log copied into it as
  // last-job.log; returns a line that says where it is.
  std::string Keep();
};

}  // namespace quillon::e2e

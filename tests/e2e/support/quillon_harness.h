#pragma once
// The one way the end-to-end tests set up and run Quillon.exe: a copy of the
// built program with the stand-in tools beside it in a test folder (maybe
// below a folder of its own, with tools taken away or in a failure mode), and
// runs of it for a job, whose tools write to the test's own stand-in log.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/quillon_run.h"
#include "support/standin_log.h"
#include "support/window_probe.h"

namespace quillon::e2e {

// Short enough that a tool that never answers fails a test fast.
inline constexpr wchar_t kTestWaitLimits[] = L"10000,30000";

struct JobOutcome {
  std::optional<DWORD> exitCode;      // nothing: the program did not end in time
  std::vector<MessageBoxSeen> boxes;  // every box titled "Quillon", OK pressed on each
};

// The batch command line "?<folder>?<fields>?"; `folder` without its
// trailing backslash, `fields` fields 2 to 8 ("1?192?0?0?0?0?1").
std::wstring BatchLine(std::wstring_view folder, std::wstring_view fields);

class QuillonHarness {
 public:
  explicit QuillonHarness(const TestFolder& folder) : folder_(folder) {}

  const TestFolder& Folder() const { return folder_; }

  // Copies Quillon.exe into the test folder, or into the folder `below`
  // inside it ("Program Files\Quillon", a trailing backslash or not), with
  // the stand-in tools beside it (or only the set-up marker, so that no tool
  // can run and start-up does not offer the set-up batch).
  void Install(std::wstring_view below = {}, bool withTools = true);
  bool Installed() const { return !exe_.empty(); }
  // "<program's folder>tools\", and a tool's path under it.
  std::wstring Tools() const { return folder_.Path() + below_ + L"tools\\"; }
  std::wstring Tool(std::wstring_view relative) const { return Tools() + std::wstring(relative); }
  // How a stand-in behaves in its next runs ("nowindow", "fail delay=500").
  void SetToolMode(std::wstring_view tool, std::string_view mode) const;
  // Takes a tool away (kUnRarTool ...); throws when it cannot.
  void RemoveTool(std::wstring_view tool) const;

  std::wstring LogPath() const { return folder_ / L"standins.log"; }
  StandinLog Log() const { return StandinLog::Read(LogPath()); }

  // Starts the installed program (installed with every tool, when it is not
  // yet) with `arguments` after its path, the wait limits
  // ("<appearMs>,<runMs>[,<boxMs>]") and the test's stand-in log. A run that
  // is still going is ended first.
  QuillonProcess& Launch(const std::wstring& arguments,
                         const std::wstring& waitLimits = kTestWaitLimits);
  bool Launched() const { return process_.has_value(); }
  QuillonProcess& Process() { return *process_; }
  // Launches a batch job and waits (bounded by `limit`) for the program's
  // end, pressing OK on each box it shows.
  JobOutcome RunBatch(const std::wstring& arguments, Ms limit,
                      const std::wstring& waitLimits = kTestWaitLimits);

 private:
  const TestFolder& folder_;
  std::wstring below_;  // ends in a backslash, or empty
  std::wstring exe_;
  std::optional<QuillonProcess> process_;
};

}  // namespace quillon::e2e

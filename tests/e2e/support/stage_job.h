#pragma once
// The fixture of the end-to-end stage tests: a fresh folder holding a copy of
// Quillon.exe with the stand-in tools beside it, a source movie folder, and
// runs of the program (mostly batch jobs) whose tools record what they were
// given in the test's own stand-in log. The stored keystroke pause is 0 while
// a test runs, so that the subtitle macro does not wait a second per step.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_ids.h"
#include "support/quillon_run.h"
#include "support/source_folder.h"
#include "support/standin_log.h"
#include "support/window_probe.h"

namespace quillon::e2e {

// A folder name with every character that a command line, a key notation or
// a file dialog could take for something else.
inline constexpr wchar_t kAwkwardFolderName[] = L"Film 100% + ^~ {a} [b] (c)";

// The whole text of a mux script as the muxer expects it: the fixed lines,
// the given loads after the movie, one NAME line per key, the interleave
// line, every line closed by CR LF. Stated here independently of the
// program's own builder.
std::string ExpectedMuxScript(const std::wstring& sourceDir, const std::vector<std::wstring>& loads,
                              const std::vector<std::wstring>& audioKeys,
                              std::wstring_view interleave);

// Lines joined, each closed by CR LF, as UTF-8.
std::string CrLfLines(const std::vector<std::wstring>& lines);

struct JobOutcome {
  std::optional<DWORD> exitCode;
  std::vector<MessageBoxSeen> boxes;  // every box titled "Quillon", OK pressed on each
};

class StageJobTest : public ::testing::Test {
 protected:
  StageJobTest();
  void TearDown() override;

  // Copies Quillon.exe and the whole stand-in tools folder into the test
  // folder, or into a folder of that name inside it.
  void InstallProgramAndTools(std::wstring_view installFolder = L"");
  // "<program's folder>tools\", and a tool's path under it.
  std::wstring Tools() const { return folder_.Path() + installFolder_ + L"tools\\"; }
  std::wstring Tool(std::wstring_view relative) const { return Tools() + std::wstring(relative); }
  // Chooses how a stand-in behaves in its next runs ("nowindow", "fail" ...).
  void SetToolMode(std::wstring_view relative, std::string_view mode) const;
  void RemoveTool(std::wstring_view relative) const;

  // The exact command lines the program gives the console tools and the
  // muxer, stated here independently of the program's own builders.
  std::string BeSweetLine(const SourceFolder& source, std::wstring_view entry,
                          std::wstring_view key, std::wstring_view rate) const;
  std::string AviMuxLine(const SourceFolder& source) const;
  std::string UnRarLine(const SourceFolder& source, std::wstring_view archive) const;

  // A source movie folder inside the test folder.
  SourceFolder MakeSource(std::wstring_view name = kAwkwardFolderName) const {
    return SourceFolder(folder_.Path(), name);
  }

  // Starts the installed program with `arguments` after its path, the test's
  // own stand-in log and the given wait limits ("<appearMs>,<runMs>").
  QuillonProcess& Launch(const std::wstring& arguments,
                         const std::wstring& waitLimits = L"10000,30000");
  // The batch command line "?<folder>?<fields>?" for the source folder;
  // `fields` holds fields 2 to 8 ("1?192?0?0?0?0?1").
  static std::wstring BatchLine(const SourceFolder& source, std::wstring_view fields);
  // Runs a batch job to the program's end (bounded by `limit`).
  JobOutcome RunBatch(const SourceFolder& source, std::wstring_view fields, Ms limit = kJobLimit);

  std::wstring LogPath() const { return folder_ / L"standins.log"; }
  StandinLog Log() const { return StandinLog::Read(LogPath()); }

  QuillonProcess& Process() { return *process_; }

  TestFolder folder_;

 private:
  StoredPauseScope storedPause_;
  std::wstring installFolder_;  // below the test folder
  std::wstring exe_;
  std::optional<QuillonProcess> process_;
};

// A job's end message as the program shows it: the text, then where the
// account of the job is.
std::wstring WithJobLogPlace(std::wstring_view text);

// For failure messages: a box's text and icon.
std::string Describe(const std::vector<MessageBoxSeen>& boxes);

}  // namespace quillon::e2e

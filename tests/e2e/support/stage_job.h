#pragma once
// The fixture of the end-to-end stage tests: Quillon.exe with the stand-in
// tools beside it, a source movie folder, and runs of the program (mostly
// batch jobs) whose tools record what they were given in the test's own
// stand-in log. The stored keystroke pause is 0 while a test runs, so that
// the subtitle macro does not wait a second per step.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillon_test.h"
#include "support/source_folder.h"
#include "support/standin_log.h"
#include "support/window_probe.h"

namespace quillon::e2e {

// A folder name with every character that a command line, a key notation or
// a file dialog could take for something else.
inline constexpr wchar_t kAwkwardFolderName[] = L"Film 100% + ^~ {a} [b] (c)";

// Lines joined, each closed by CR LF, as UTF-8.
std::string CrLfLines(const std::vector<std::wstring>& lines);

// The files a mux script loads, in order (its "LOAD <path>" lines).
std::vector<std::wstring> ScriptLoads(const std::optional<std::string>& script);

class StageJobTest : public QuillonTest {
 protected:
  StageJobTest();
  void TearDown() override;

  // What the console tools and the muxer should find in their command lines
  // (compare with StandinLog::Calls): the tool's own path, then the paths
  // and the rate the job is about.
  ToolCall BeSweetCall(const SourceFolder& source, std::wstring_view entry, std::wstring_view key,
                       std::wstring_view rate) const;
  ToolCall AviMuxCall(const SourceFolder& source) const;
  ToolCall UnRarCall(const SourceFolder& source, std::wstring_view archive) const;

  // A source movie folder inside the test folder.
  SourceFolder MakeSource(std::wstring_view name = kAwkwardFolderName) const {
    return SourceFolder(folder_.Path(), name);
  }

  // Runs a batch job on the source folder to the program's end (bounded by
  // `limit`); `fields` holds fields 2 to 8 ("1?192?0?0?0?0?1").
  JobOutcome RunBatch(const SourceFolder& source, std::wstring_view fields, Ms limit = kJobLimit) {
    return quillon_.RunBatch(BatchLine(source.PathWithoutBackslash(), fields), limit);
  }

  StandinLog Log() const { return quillon_.Log(); }

 private:
  StoredPauseScope storedPause_;
};

// A job's end message as the program shows it: the text, then where the
// account of the job is.
std::wstring WithJobLogPlace(std::wstring_view text);

// For failure messages: a box's text and icon.
std::string Describe(const std::vector<MessageBoxSeen>& boxes);

}  // namespace quillon::e2e

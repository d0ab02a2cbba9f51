#pragma once
// The fixture of the end-to-end stage tests: Quillon.exe with the stand-in
// tools beside it, a source movie folder, and runs of the program (mostly
// batch jobs) whose tools record what they were given in the test's own
// stand-in log. The stored keystroke pause is 0 while a test runs, so that
// the subtitle macro does not wait a second per step.

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

// The whole text of a mux script as the muxer expects it: the fixed lines,
// the given loads after the movie, one NAME line per key, the interleave
// line, every line closed by CR LF. Stated here independently of the
// program's own builder.
std::string ExpectedMuxScript(const std::wstring& sourceDir, const std::vector<std::wstring>& loads,
                              const std::vector<std::wstring>& audioKeys,
                              std::wstring_view interleave);

// Lines joined, each closed by CR LF, as UTF-8.
std::string CrLfLines(const std::vector<std::wstring>& lines);

class StageJobTest : public QuillonTest {
 protected:
  StageJobTest();
  void TearDown() override;

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

// The job log of the running Quillon.exe: after a batch job with the stand-in
// tools, "<local application data>\Quillon\last-job.log" holds each tool's
// command line exactly as the tool received it, and the exit code the tool
// ended with.

#include <string>
#include <vector>

#include "quillon_test.h"
#include "support/source_folder.h"
#include "support/standin_log.h"

namespace quillon::e2e {
namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at <= text.size();) {
    const auto end = text.find(separator, at);
    out.push_back(text.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + separator.size();
  }
  return out;
}

// The log's lines after its heading, without their time stamps.
std::vector<std::string> LogEvents(const std::string& log) {
  std::vector<std::string> out;
  for (const auto& line : Split(log, "\r\n"))
    if (line.rfind("[", 0) == 0) out.push_back(line.substr(line.find("] ") + 2));
  return out;
}

struct LogCase {
  const char* beSweetMode;  // nullptr: normal
  const char* beSweetExit;
  const char* muxerExit;
  DWORD programExit;
  const char* ending;  // the log's last event but one
};

class JobLogTest : public QuillonTest {
 protected:
  void RunAndCheck(const LogCase& c);
};

void JobLogTest::RunAndCheck(const LogCase& c) {
  std::wstring source = folder_.MakeFolder(L"Film");
  folder_.WriteFile(L"Film\\movie.avi", "video");
  folder_.WriteFile(L"Film\\1eng.ac3", "audio");
  // The mode file goes beside the test's own copy of the tool.
  quillon_.Install();
  if (c.beSweetMode != nullptr) quillon_.SetToolMode(kBeSweetTool, c.beSweetMode);
  const std::wstring logPath = JobLogFile();
  ASSERT_FALSE(logPath.empty()) << "the local application-data folder is unknown";
  ::DeleteFileW(logPath.c_str());  // an earlier test's log cannot pass for this one

  // MP3 at 192 kbit/s, original subtitles, keep temporary files, mux.
  Start(BatchLine(source.substr(0, source.size() - 1), L"1?192?0?0?0?0?1"));
  std::vector<MessageBoxSeen> boxes;
  const auto code = RunToExit(Process(), kJobLimit, boxes);
  ASSERT_TRUE(code.has_value()) << "the batch job did not end the program";
  for (const auto& box : boxes) ADD_FAILURE() << "a batch job showed: " << ToUtf8(box.text);
  EXPECT_EQ(*code, c.programExit);

  const auto log = ReadBytes(logPath);
  ASSERT_TRUE(log.has_value()) << "no log at " << ToUtf8(logPath);
  const std::string src = ToUtf8(source);
  ASSERT_EQ(log->rfind("\xEF\xBB\xBFQuillon v1.0 job on " + src + "\r\n", 0), 0u) << *log;

  // What the tools themselves were given and ended with; what the given lines
  // hold is the stage tests' and their form the unit tests' to check.
  const auto standins = folder_.ReadFile(L"standins.log");
  ASSERT_TRUE(standins.has_value()) << "no tool was started";
  const StandinLog runs = StandinLog::Parse(*standins);
  ASSERT_EQ(runs.Starts("BeSweet").size(), 1u) << runs.Text();
  ASSERT_EQ(runs.Starts("AVIMux_GUI").size(), 1u) << runs.Text();
  const std::string beSweet = runs.Starts("BeSweet")[0];
  const std::string muxer = runs.Starts("AVIMux_GUI")[0];
  EXPECT_EQ(runs.Details("BeSweet", "exit"), std::vector<std::string>{c.beSweetExit});
  EXPECT_EQ(runs.Details("AVIMux_GUI", "exit"), std::vector<std::string>{c.muxerExit});

  // The log holds each command line exactly as the tool got it, followed by
  // the tool's outcome.
  const std::vector<std::string> events = LogEvents(*log);
  const auto outcomeAfter = [&](const std::string& commandLine) -> std::string {
    for (std::size_t i = 0; i + 1 < events.size(); ++i)
      if (events[i] == "Run: " + commandLine) return events[i + 1];
    return "(no such line: Run: " + commandLine + ")";
  };
  const auto expectOutcome = [&](const std::string& commandLine, const std::string& tool,
                                 const std::string& exitCode) {
    const std::string outcome = outcomeAfter(commandLine);
    const std::string start = tool + ": exit code " + exitCode + " after ";
    EXPECT_EQ(outcome.rfind(start, 0), 0u) << outcome << "\n" << *log;
    EXPECT_EQ(outcome.substr(outcome.size() - 3), " ms") << outcome;
    EXPECT_EQ(outcome.find_first_not_of("0123456789", start.size()), outcome.size() - 3) << outcome;
  };
  expectOutcome(beSweet, "BeSweet.exe", c.beSweetExit);
  expectOutcome(muxer, "AVIMux_GUI.exe", c.muxerExit);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2].rfind(c.ending, 0), 0u) << *log;
  EXPECT_EQ(events.back(),
            "Batch mode: the program ends with exit code " + std::to_string(c.programExit) + ".");
}

TEST_F(JobLogTest, HoldsEachToolsCommandLineAndExitCode) {
  RunAndCheck({nullptr, "0", "0", 0, "Done!"});
}

TEST_F(JobLogTest, HoldsTheFailedToolsExitCodesAndTheProblems) {
  // No MP3, so the muxer refuses its script.
  RunAndCheck({"fail", "2", "3", 1, "Finished with problems:"});
}

}  // namespace
}  // namespace quillon::e2e

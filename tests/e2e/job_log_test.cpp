// The job log of the running Quillon.exe: after a batch job with the stand-in
// tools, "<local application data>\Quillon\last-job.log" holds each tool's
// command line exactly as the tool received it, and the exit code the tool
// ended with.

#include <shlobj.h>

#include <string>
#include <vector>

#include "quillon_test.h"

namespace quillon::e2e {
namespace {

// Where the program keeps the log: the same Wine prefix, the same user.
std::wstring LogPath() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) return {};
  return std::wstring(folder) + L"\\Quillon\\last-job.log";
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

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

// What a stand-in tool recorded: its raw command line and its exit code.
struct ToolRun {
  std::string commandLine;
  std::string exitCode;
};

ToolRun StandInRun(const std::string& standinLog, const std::string& tool) {
  ToolRun run;
  for (const auto& line : Split(standinLog, "\n")) {
    const auto fields = Split(line, "\t");
    if (fields.size() < 4 || fields[1] != tool) continue;
    if (fields[2] == "start") run.commandLine = fields[3];
    if (fields[2] == "exit") run.exitCode = fields[3];
  }
  return run;
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
  folder_.InstallTools();
  if (c.beSweetMode != nullptr)
    folder_.WriteFile(L"tools\\BeSweetv1.5b31\\BeSweet.exe.mode", c.beSweetMode);
  const std::wstring logPath = LogPath();
  ASSERT_FALSE(logPath.empty()) << "the local application-data folder is unknown";
  ::DeleteFileW(logPath.c_str());  // an earlier test's log cannot pass for this one

  // MP3 at 192 kbit/s, original subtitles, keep temporary files, mux.
  const std::wstring sourceArg = source.substr(0, source.size() - 1);
  Start(L"?" + sourceArg + L"?1?192?0?0?0?0?1?", /*withTools=*/true);
  std::vector<MessageBoxSeen> boxes;
  const auto code = RunToExit(Process(), kJobLimit, boxes);
  ASSERT_TRUE(code.has_value()) << "the batch job did not end the program";
  for (const auto& box : boxes) ADD_FAILURE() << "a batch job showed: " << Narrow(box.text);
  EXPECT_EQ(*code, c.programExit);

  const auto log = ReadWholeFile(logPath);
  ASSERT_TRUE(log.has_value()) << "no log at " << Narrow(logPath);
  const std::string src = Narrow(source);
  const std::string tools = Narrow(folder_.Path()) + "tools\\";
  ASSERT_EQ(log->rfind("\xEF\xBB\xBFQuillon v1.0 job on " + src + "\r\n", 0), 0u) << *log;

  const std::string beSweet = "\"" + tools + "BeSweetv1.5b31\\BeSweet.exe\" -core( -input \"" +
                              src + "1eng.ac3\" -output \"" + src +
                              "mux\\1eng.mp3\" ) -lame( -b 192)";
  const std::string muxer =
      "\"" + tools + "AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe\" \"" + src + "mux\\movie.amg\"";
  // What the tools themselves were given and ended with.
  const auto standins = folder_.ReadFile(L"standins.log");
  ASSERT_TRUE(standins.has_value()) << "no tool was started";
  const ToolRun beSweetRun = StandInRun(*standins, "BeSweet");
  const ToolRun muxerRun = StandInRun(*standins, "AVIMux_GUI");
  EXPECT_EQ(beSweetRun.commandLine, beSweet);
  EXPECT_EQ(beSweetRun.exitCode, c.beSweetExit);
  EXPECT_EQ(muxerRun.commandLine, muxer);
  EXPECT_EQ(muxerRun.exitCode, c.muxerExit);

  // Each command line is followed by its tool's outcome.
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

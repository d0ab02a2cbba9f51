// convert-all.cmd, the script shipped beside Quillon.exe: cmd runs one batch
// job after the other over the movie folders of one folder, and writes a
// line per folder to convert-all.log beside it.

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_paths.h"
#include "quillon_test.h"
#include "standin_paths.h"
#include "support/source_folder.h"

namespace quillon::e2e {
namespace {

// cmd without a console writes its files in the ANSI code page.
std::wstring FromAnsi(const std::string& bytes) {
  const int size = static_cast<int>(bytes.size());
  std::wstring text(static_cast<size_t>(size), L'\0');
  text.resize(
      static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), size)));
  return text;
}

// The log's lines without their leading "<date> <time> | ".
std::vector<std::wstring> LogLinesAfterTheTime(const std::wstring& log) {
  std::vector<std::wstring> lines;
  for (size_t start = 0, end; start < log.size(); start = end + 2) {
    end = log.find(L"\r\n", start);
    if (end == std::wstring::npos) end = log.size();
    const std::wstring line = log.substr(start, end - start);
    const size_t bar = line.find(L" | ");
    lines.push_back(bar == std::wstring::npos ? L"(no time) " + line : line.substr(bar + 3));
  }
  return lines;
}

class ConvertAllTest : public QuillonTest {
 protected:
  // Installs Quillon.exe with the tools and the script beside it.
  void Install() {
    quillon_.Install();
    WriteBytes(folder_ / L"convert-all.cmd", ReadBytes(kBuiltConvertAllScript).value());
  }

  // Runs the script through cmd, as from a prompt; its exit code.
  std::optional<DWORD> RunScript(const std::wstring& arguments) {
    test::ChildProcess script(
        {.commandLine =
             L"cmd.exe /c \"\"" + (folder_ / L"convert-all.cmd") + L"\" " + arguments + L"\"",
         .environment = JobLaunch(L"", kTestWaitLimits, quillon_.LogPath()).environment,
         .creationFlags = DETACHED_PROCESS});
    EXPECT_TRUE(script.Started()) << "cmd.exe could not be started: error " << script.StartError();
    return script.WaitForExit(150s);
  }
};

// cmd reads a batch file in the console's code page, line by line.
TEST_F(ConvertAllTest, TheScriptIsAsciiWithCrLfLineEnds) {
  const std::string script = ReadBytes(kBuiltConvertAllScript).value();
  EXPECT_TRUE(std::ranges::all_of(script, [](char c) {
    return static_cast<unsigned char>(c) < 0x80;
  })) << "not ASCII";
  size_t lineEnds = 0;
  for (size_t at = script.find("\r\n"); at != std::string::npos; at = script.find("\r\n", at + 2))
    ++lineEnds;
  EXPECT_EQ(std::ranges::count(script, '\n'), lineEnds) << "a line ends in LF without CR";
  EXPECT_EQ(std::ranges::count(script, '\r'), lineEnds) << "a CR without LF";
  EXPECT_TRUE(script.ends_with("\r\n"));
}

TEST_F(ConvertAllTest, NoFolderOrNotAFolderPrintsTheUsageAndEndsWithCodeTwo) {
  Install();
  folder_.WriteFile(L"Rips", "a file");
  EXPECT_EQ(RunScript(L""), 2u);
  EXPECT_EQ(RunScript(L"\"" + (folder_ / L"Rips") + L"\""), 2u);
  EXPECT_EQ(RunScript(L"\"" + (folder_ / L"Missing") + L"\""), 2u);
  EXPECT_FALSE(folder_.FileExists(L"convert-all.log"));
}

TEST_F(ConvertAllTest, TheGuidesExampleConvertsEachWaitingFolderInNameOrder) {
  Install();
  // "shutdown -s" finds the program's own folder first: there a stand-in
  // records the shut-down instead of Wine's.
  ASSERT_TRUE(::CopyFileW((std::wstring(standins::kStandinDir) + L"sleeper.exe").c_str(),
                          (folder_ / L"shutdown.exe").c_str(), FALSE));
  quillon_.SetToolMode(kAviMuxTool, "crash only=Casablanca");

  const std::wstring rips = folder_.MakeFolder(L"Rips");
  const SourceFolder amelie(rips, L"Am\u00e9lie et moi");
  const SourceFolder brazil(rips, L"Brazil 1985");
  const SourceFolder casablanca(rips, L"Casablanca & Co (1942)");
  for (const SourceFolder* movie : {&amelie, &brazil, &casablanca}) {
    movie->AddMovie();
    movie->AddTrack(L"1eng.ac3");
  }
  brazil.Write(L"mux\\movie.avi", "converted before");
  folder_.MakeFolder(L"Rips\\Extras");

  // README.txt's example, "convert-all.cmd "D:\Rips" 1 192 0 0 1 1 1". Wine's
  // cmd reads the output of "dir" in the ANSI code page whatever chcp says:
  // without a console chcp changes nothing and both sides agree.
  const std::wstring folder = rips.substr(0, rips.size() - 1);
  const auto code = RunScript(L"\"" + folder + L"\" 1 192 0 0 1 1 1");
  ASSERT_TRUE(code.has_value()) << "convert-all.cmd did not end";
  EXPECT_EQ(*code, 1u) << "the highest exit code of the jobs";

  EXPECT_EQ(amelie.List(L"mux"), std::vector<std::wstring>{L"movie.avi"});
  EXPECT_EQ(brazil.List(L"mux"), std::vector<std::wstring>{L"movie.avi"});
  EXPECT_EQ(brazil.Read(L"mux\\movie.avi"), "converted before");
  EXPECT_TRUE(IsFolder(casablanca.Mux())) << "the job ran";
  EXPECT_FALSE(IsFile(casablanca.Mux() + L"movie.avi")) << "the muxer crashed";

  const auto log = folder_.ReadFile(L"convert-all.log");
  ASSERT_TRUE(log.has_value()) << "no convert-all.log beside the folder";
  EXPECT_EQ(LogLinesAfterTheTime(FromAnsi(*log)),
            (std::vector<std::wstring>{
                folder + L" | started: audio 1, bitrate 192, subtitles 0, muxsubs 0, deltemp 1, "
                         L"shutdown 1, muxall 1",
                rips + L"Am\u00e9lie et moi | exit code 0: the job produced everything it was "
                       L"asked for",
                rips + L"Brazil 1985 | skipped: it already has a mux\\ folder",
                rips + L"Casablanca & Co (1942) | exit code 1: a result is missing or a tool "
                       L"could not be started or crashed, or the shut-down failed",
                rips + L"Extras | skipped: it has no movie.avi",
                folder + L" | finished: 1 done, 1 had problems, 0 failed, 2 skipped; exit code 1",
                rips + L"Casablanca & Co (1942) | shutdown: the last job shuts the computer down",
            }))
      << ToUtf8(FromAnsi(*log));

  // One muxer run per converted folder, and one shut-down, after the last.
  // Quillon waits for "shutdown -s" to end before it ends itself.
  WaitUntil(kDialogLimit, [&] { return !quillon_.Log().Details("shutdown", "exit").empty(); });
  const StandinLog tools = quillon_.Log();
  std::vector<std::string> starts;
  for (const auto& event : tools.Events())
    if (event.event == "start") starts.push_back(event.tool);
  std::erase(starts, "BeSweet");
  EXPECT_EQ(starts, (std::vector<std::string>{"AVIMux_GUI", "AVIMux_GUI", "shutdown"}))
      << tools.Text();
  const std::wstring muxer = quillon_.Tool(kAviMuxTool);
  EXPECT_EQ(tools.Calls("AVIMux_GUI"),
            (std::vector<ToolCall>{{muxer, amelie.Mux() + L"movie.amg"},
                                   {muxer, casablanca.Mux() + L"movie.amg"}}));
  EXPECT_EQ(tools.Starts("shutdown"), std::vector<std::string>{"shutdown -s"});
}

}  // namespace
}  // namespace quillon::e2e

// Drives the stand-in tools the way the program does and checks that they
// accept exactly the forms the program relies on, refuse the rest, and
// write (or do not write) what the tests of the program will look for.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <shlobj.h>

#include "standin_paths.h"
#include "support/child_process.h"
#include "support/scratch_folder.h"
#include "support/standin.h"
#include "support/wait.h"
#include "support/window_search.h"

namespace {

namespace fs = std::filesystem;
namespace test = quillon::test;
using namespace std::chrono_literals;
using quillon::ToUtf8;
using quillon::ToWide;
using test::ClassOf;
using test::IsFile;
using test::TextOf;
using test::WaitUntil;

constexpr DWORD kToolTimeoutMs = 20000;
constexpr std::chrono::milliseconds kToolTimeout{kToolTimeoutMs};

struct LogLine {
  std::string tool, event, detail;
};

// Each test gets its own folder with its own copies of the tools (so a mode
// file or a leftover output cannot reach another test) and its own log.
class StandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A blank in the folder's name: the tools must take quoted paths.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_.emplace(L"standins " + ToWide(info->name()));
    ASSERT_TRUE(folder_->Made());
    dir_ = folder_->Path();
    log_ = dir_ + L"events.log";
    SetEnvironmentVariableW(L"QUILLON_STANDIN_LOG", log_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"QUILLON_STANDIN_LOG", nullptr);
    folder_.reset();
  }

  // Copies a built stand-in into the test folder and returns its path.
  std::wstring Tool(const std::wstring& exe, const char* mode = nullptr) {
    const std::wstring path = dir_ + exe;
    if (!IsFile(path)) {
      EXPECT_TRUE(CopyFileW((std::wstring(quillon::standins::kStandinDir) + exe).c_str(),
                            path.c_str(), FALSE));
    }
    if (mode) Write(path + L".mode", mode);
    return path;
  }

  void Write(const std::wstring& path, std::string_view bytes) {
    ASSERT_TRUE(test::WriteBytes(path, bytes)) << ToUtf8(path);
  }
  std::string Read(const std::wstring& path) { return test::ReadBytes(path).value_or("<missing>"); }

  // Runs a command line and returns the exit code; a run that outlasts the
  // time limit is killed and fails the test.
  DWORD Run(const std::wstring& command_line, DWORD timeout_ms = kToolTimeoutMs) {
    return RunProgram(nullptr, command_line, timeout_ms);
  }
  // Starts `program` with a command line that need not name it.
  DWORD RunProgram(const wchar_t* program, const std::wstring& command_line,
                   DWORD timeout_ms = kToolTimeoutMs) {
    const test::RunResult run =
        test::RunToExit({.program = program ? program : L"", .commandLine = command_line},
                        std::chrono::milliseconds(timeout_ms));
    if (!run.started) ADD_FAILURE() << "cannot start " << ToUtf8(command_line);
    if (run.started && !run.exitCode)
      ADD_FAILURE() << "did not end in time: " << ToUtf8(command_line);
    return run.exitCode.value_or(0xFFFFFFFF);
  }

  std::vector<LogLine> Log() {
    std::vector<LogLine> lines;
    const std::string text = test::ReadBytes(log_).value_or("");
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t end = text.find('\n', pos);
      const std::string line = text.substr(pos, end - pos);
      pos = end == std::string::npos ? text.size() : end + 1;
      const size_t t1 = line.find('\t');
      const size_t t2 = line.find('\t', t1 + 1);
      const size_t t3 = line.find('\t', t2 + 1);
      EXPECT_NE(t3, std::string::npos) << line;
      if (t3 == std::string::npos) continue;
      lines.push_back({line.substr(t1 + 1, t2 - t1 - 1), line.substr(t2 + 1, t3 - t2 - 1),
                       line.substr(t3 + 1)});
    }
    return lines;
  }
  std::vector<std::string> Events(const std::string& event) {
    std::vector<std::string> details;
    for (const LogLine& line : Log()) {
      if (line.event == event) details.push_back(line.detail);
    }
    return details;
  }

  // "event detail" per log line, for checking the order of steps.
  std::vector<std::string> EventTexts() {
    std::vector<std::string> texts;
    for (const LogLine& line : Log()) {
      texts.push_back(line.event + (line.detail.empty() ? "" : " " + line.detail));
    }
    return texts;
  }

  std::string U8(const std::wstring& text) { return ToUtf8(text); }

  std::optional<test::ScratchFolder> folder_;
  std::wstring dir_;
  std::wstring log_;
};

// --- BeSweet ---------------------------------------------------------------

class BeSweetTest : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    exe_ = Tool(L"BeSweet.exe");
    input_ = dir_ + L"0x80 main.ac3";
    output_ = dir_ + L"0x80.mp3";
    Write(input_, "AC3DATA");
  }
  std::wstring Good() {
    return L"\"" + exe_ + L"\" -core( -input \"" + input_ + L"\" -output \"" + output_ +
           L"\" ) -lame( -b 128)";
  }
  std::wstring exe_, input_, output_;
};

TEST_F(BeSweetTest, ConvertsTheExactFormAndLogsTheRawCommandLine) {
  EXPECT_EQ(Run(Good()), 0u);
  EXPECT_EQ(Read(output_), "MP3 128 kbit/s from " + U8(input_) + "\r\ninput size 7 bytes\r\n");
  EXPECT_EQ(Events("start"), std::vector<std::string>{U8(Good())});
  EXPECT_EQ(Events("wrote"), std::vector<std::string>{U8(output_)});
  EXPECT_EQ(Events("exit"), std::vector<std::string>{"0"});
}

TEST_F(BeSweetTest, RefusesEveryOtherFormAndWritesNothing) {
  const std::wstring in = L"\"" + input_ + L"\"";
  const std::wstring out = L"\"" + output_ + L"\"";
  const std::wstring exe = L"\"" + exe_ + L"\"";
  const std::wstring bad_forms[] = {
      exe + L" -core( -input " + in + L" -output " + out + L" ) -lame( -b 128 )",
      exe + L" -core(  -input " + in + L" -output " + out + L" ) -lame( -b 128)",
      exe + L" -core( -input " + input_ + L" -output " + out + L" ) -lame( -b 128)",
      exe + L" -core( -input " + in + L" -output " + out + L" ) -lame( -b 128k)",
      exe + L" -core( -input " + in + L" -output " + out + L" ) -lame( -b )",
      exe + L" -core( -input " + in + L" -output " + out + L" ) -lame( -b 128) ",
      exe + L" -core( -input " + in + L" -output " + out + L") -lame( -b 128)",
      exe + L" -Core( -input " + in + L" -output " + out + L" ) -lame( -b 128)",
  };
  for (const std::wstring& form : bad_forms) {
    SCOPED_TRACE(U8(form));
    EXPECT_EQ(Run(form), 1u);
    EXPECT_FALSE(IsFile(output_));
  }
  EXPECT_EQ(Events("error").size(), std::size(bad_forms));
  EXPECT_TRUE(Events("wrote").empty());
}

// The program path is started as given, so BeSweet is run directly here to
// see what it makes of a first word that is not its own quoted path.
TEST_F(BeSweetTest, RefusesAFirstWordThatIsNotItsOwnQuotedPath) {
  const std::wstring rest = Good().substr(exe_.size() + 2);
  const std::wstring forms[] = {
      L"\"" + Tool(L"sleeper.exe") + L"\"" + rest, exe_ + rest,
      L"\"" + exe_ + L"\"" + rest,  // the control case: accepted
  };
  for (const std::wstring& form : forms) {
    SCOPED_TRACE(U8(form));
    EXPECT_EQ(RunProgram(exe_.c_str(), form), &form == &forms[2] ? 0u : 1u);
    EXPECT_EQ(IsFile(output_), &form == &forms[2]);
  }
  std::vector<std::string> started;
  for (const std::wstring& form : forms) started.push_back(U8(form));
  EXPECT_EQ(Events("start"), started);
}

TEST_F(BeSweetTest, MissingInputWritesNothing) {
  DeleteFileW(input_.c_str());
  EXPECT_EQ(Run(Good()), 1u);
  EXPECT_FALSE(IsFile(output_));
  ASSERT_EQ(Events("error").size(), 1u);
}

TEST_F(BeSweetTest, FailureModes) {
  struct Case {
    const char* mode;
    DWORD exit_code;
    bool writes_output;
  } const cases[] = {
      {"fail", 2, false},          {"crash", 0xC0000005, false},
      {"partial", 0, true},        {"partialcrash", 0xC0000005, true},
      {"normal delay=0", 0, true}, {"bogus", 0, true},  // logged as an error, then run normally
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Tool(L"BeSweet.exe", c.mode);
    DeleteFileW(output_.c_str());
    EXPECT_EQ(Run(Good()), c.exit_code);
    EXPECT_EQ(IsFile(output_), c.writes_output);
  }
}

TEST_F(BeSweetTest, PartialModeWritesLessThanAWholeFile) {
  EXPECT_EQ(Run(Good()), 0u);
  const std::string whole = Read(output_);
  Tool(L"BeSweet.exe", "partial");
  EXPECT_EQ(Run(Good()), 0u);
  const std::string partial = Read(output_);
  EXPECT_LT(partial.size(), whole.size());
  EXPECT_EQ(whole.compare(0, partial.size(), partial), 0);
}

TEST_F(BeSweetTest, HangModeNeverEnds) {
  Tool(L"BeSweet.exe", "hang");
  const test::ChildProcess process({.commandLine = Good()});
  ASSERT_TRUE(process.Started());
  EXPECT_EQ(WaitForSingleObject(process.Handle(), 1500), static_cast<DWORD>(WAIT_TIMEOUT));
  process.Kill();
  EXPECT_FALSE(IsFile(output_));
}

// --- UnRAR -----------------------------------------------------------------

std::string Archive(std::initializer_list<std::pair<std::string, std::string>> entries) {
  std::string data = "QUILLON-TEST-RAR\r\n";
  for (const auto& [stored, bytes] : entries) {
    data += "FILE " + stored + "\r\nSIZE " + std::to_string(bytes.size()) + "\r\n" + bytes + "\r\n";
  }
  return data;
}

class UnrarTest : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    exe_ = Tool(L"UnRAR.exe");
    archive_ = dir_ + L"movie.rar";
    dest_ = dir_ + L"mux\\";
    fs::create_directories(dest_);
  }
  std::wstring Command() { return L"\"" + exe_ + L"\" e \"" + archive_ + L"\" \"" + dest_ + L"\""; }
  std::vector<std::string> DestFiles() {
    std::vector<std::string> names;
    for (const std::wstring& name : test::ListFolder(dest_)) names.push_back(ToUtf8(name));
    return names;
  }
  std::wstring exe_, archive_, dest_;
};

TEST_F(UnrarTest, ExtractsWithoutStoredFolderNames) {
  const std::string binary("\0\r\n\x01\xFFSIZE 3\r\n", 13);
  Write(archive_, Archive({{"movie.sub", binary},
                           {"subs\\movie.idx", "# VobSub index\r\n"},
                           {"a/b/empty.txt", ""}}));
  EXPECT_EQ(Run(Command()), 0u);
  EXPECT_EQ(DestFiles(), (std::vector<std::string>{"empty.txt", "movie.idx", "movie.sub"}));
  EXPECT_EQ(Read(dest_ + L"movie.sub"), binary);
  EXPECT_EQ(Read(dest_ + L"movie.idx"), "# VobSub index\r\n");
  EXPECT_EQ(Read(dest_ + L"empty.txt"), "");
  EXPECT_EQ(Events("start"), std::vector<std::string>{U8(Command())});
}

// Without an overwrite switch the real tool asks about a file that is
// already there, and waits for an answer that an unattended job never gives.
TEST_F(UnrarTest, AsksAboutAFileThatExistsAndWaits) {
  Write(archive_, Archive({{"movie.sub", "new data"}, {"movie.idx", "new index"}}));
  Write(dest_ + L"movie.idx", "old index");
  const test::ChildProcess process({.commandLine = Command()});
  ASSERT_TRUE(process.Started());
  EXPECT_FALSE(process.WaitForExit(std::chrono::milliseconds(1500)));
  process.Kill();
  EXPECT_EQ(Read(dest_ + L"movie.idx"), "old index");
  EXPECT_EQ(Events("asked"), std::vector<std::string>{"movie.idx"});
  EXPECT_EQ(Events("wrote"), std::vector<std::string>{U8(dest_ + L"movie.sub")});
}

TEST_F(UnrarTest, BadArchivesWriteNothing) {
  struct Case {
    const char* name;
    std::string data;
    DWORD exit_code;
  } const cases[] = {
      {"missing", "", 6},
      {"no header", "FILE a\r\nSIZE 1\r\nx\r\n", 3},
      {"size beyond the end", "QUILLON-TEST-RAR\r\nFILE a\r\nSIZE 9\r\nx\r\n", 3},
      {"data without CR LF", "QUILLON-TEST-RAR\r\nFILE a\r\nSIZE 1\r\nxy", 3},
      {"no file name", "QUILLON-TEST-RAR\r\nFILE sub\\\r\nSIZE 1\r\nx\r\n", 3},
      {"good entry then garbage", Archive({{"a", "x"}}) + "junk", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(archive_.c_str());
    if (c.exit_code != 6) Write(archive_, c.data);
    EXPECT_EQ(Run(Command()), c.exit_code);
    EXPECT_TRUE(DestFiles().empty());
  }
}

TEST_F(UnrarTest, RefusesOtherCommandLines) {
  Write(archive_, Archive({{"a.txt", "x"}}));
  const std::wstring exe = L"\"" + exe_ + L"\"";
  const std::wstring archive = L"\"" + archive_ + L"\"";
  const std::wstring no_backslash = dest_.substr(0, dest_.size() - 1);
  const std::wstring forms[] = {
      exe + L" x " + archive + L" \"" + dest_ + L"\"",
      exe + L" e " + archive + L" \"" + no_backslash + L"\"",
      exe + L" e -o+ " + archive + L" \"" + dest_ + L"\"",
      exe + L" e " + archive + L"  \"" + dest_ + L"\"",
      exe + L" e " + archive + L" \"" + dest_ + L"\" ",
  };
  for (const std::wstring& form : forms) {
    SCOPED_TRACE(U8(form));
    EXPECT_EQ(Run(form), 7u);
  }
  EXPECT_TRUE(DestFiles().empty());
}

// --- AVI-Mux GUI ------------------------------------------------------------

class AviMuxTest : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    exe_ = Tool(L"AVIMux_GUI.exe");
    source_ = dir_ + L"Rips Film\\";
    mux_ = source_ + L"mux\\";
    fs::create_directories(mux_);
    for (const wchar_t* name :
         {L"movie.avi", L"mux\\0x80.mp3", L"mux\\0x81.mp3", L"mux\\0x20.srt"}) {
      Write(source_ + name, "data");
    }
    script_ = mux_ + L"movie.amg";
    target_ = mux_ + L"movie.avi";
  }

  // The script the program writes for two MP3 tracks and one subtitle.
  std::vector<std::string> GoodLines() {
    const std::string s = U8(source_), m = U8(mux_);
    return {"CLEAR",
            "SET INPUT OPTIONS",
            "SET OPTION MP3 VERIFY CBR NEVER",
            "LOAD " + s + "movie.avi",
            "LOAD " + m + "0x80.mp3",
            "LOAD " + m + "0x81.mp3",
            "LOAD " + m + "0x20.srt",
            "SELECT FILE 1",
            "ADD VIDEOSOURCE",
            "SET OUTPUT OPTIONS",
            "WITH SET OPTION",
            "WITH AUDIO",
            "NAME 1 0x80",
            "NAME 2 0x81",
            "END WITH",
            "CLOSEAPP 1",
            "ALL AUDIO 1",
            "DONEDLG 0",
            "OPENDML 0",
            "RECLISTS 0",
            "AUDIO INTERLEAVE 3 FR",
            "AVI ADDJUNKBEFOREHEADERS 0",
            "PRELOAD 200",
            "NUMBERING OFF",
            "MAXFILESIZE OFF",
            "MAXFILES OFF",
            "END WITH",
            "START " + m + "movie.avi"};
  }
  static std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
  }
  DWORD RunScript(const std::string& text) {
    Write(script_, text);
    return Run(L"\"" + exe_ + L"\" \"" + script_ + L"\"");
  }
  std::wstring exe_, source_, mux_, script_, target_;
};

TEST_F(AviMuxTest, AGoodScriptWritesTheTargetListingWhatWasLoaded) {
  Write(target_, "an old movie.avi is replaced");
  EXPECT_EQ(RunScript(Join(GoodLines())), 0u);
  EXPECT_EQ(Read(target_), "video " + U8(source_) + "movie.avi\r\n" + "audio 1 0x80 " + U8(mux_) +
                               "0x80.mp3\r\n" + "audio 2 0x81 " + U8(mux_) + "0x81.mp3\r\n" +
                               "subtitle " + U8(mux_) + "0x20.srt\r\n" + "interleave 3 FR\r\n");
  EXPECT_EQ(Events("script"), std::vector<std::string>{U8(script_)});
  EXPECT_TRUE(Events("error").empty());
}

TEST_F(AviMuxTest, PartialCrashModeWritesPartOfTheTargetThenCrashes) {
  const std::string script = Join(GoodLines());
  EXPECT_EQ(RunScript(script), 0u);
  const std::string whole = Read(target_);
  Tool(L"AVIMux_GUI.exe", "partialcrash");
  EXPECT_EQ(RunScript(script), 0xC0000005u);
  const std::string partial = Read(target_);
  EXPECT_LT(partial.size(), whole.size());
  EXPECT_EQ(whole.compare(0, partial.size(), partial), 0);
}

TEST_F(AviMuxTest, TakesOnlyOneQuotedScriptPath) {
  Write(script_, Join(GoodLines()));
  const std::wstring exe = L"\"" + exe_ + L"\"";
  const std::wstring forms[] = {
      exe + L" " + script_,
      exe + L"  \"" + script_ + L"\"",
      exe + L" \"" + script_ + L"\" /x",
      exe,
  };
  for (const std::wstring& form : forms) {
    SCOPED_TRACE(U8(form));
    EXPECT_EQ(Run(form), 3u);
  }
  EXPECT_FALSE(IsFile(target_));
  EXPECT_EQ(Events("error").size(), std::size(forms));
}

TEST_F(AviMuxTest, RefusesWhatTheRealMuxerWouldStopOn) {
  using Edit = std::function<std::string(std::vector<std::string>)>;
  struct Case {
    const char* name;
    Edit edit;
    std::string line;  // "line N:" expected in the error
  } const cases[] = {
      {"blank line",
       [](auto l) {
         l.insert(l.begin() + 7, "");
         return Join(l);
       },
       "line 8:"},
      {"blank line at the end", [](auto l) { return Join(l) + "\r\n"; }, "line 28:"},
      {"LF-only line",
       [](auto l) {
         std::string t = Join(l);
         return t.replace(t.find("NEVER\r\n"), 7, "NEVER\n");
       },
       "line 3:"},
      {"no CR LF after START",
       [](auto l) {
         std::string t = Join(l);
         t.resize(t.size() - 2);
         return t;
       },
       "line 28:"},
      {"input option in output mode",
       [](auto l) {
         l.insert(l.begin() + 10, "SET OPTION MP3 VERIFY CBR NEVER");
         return Join(l);
       },
       "line 11:"},
      {"output option in input mode",
       [](auto l) {
         l.insert(l.begin() + 2, "SET OPTION DONEDLG 0");
         return Join(l);
       },
       "line 3:"},
      {"MP3 without VERIFY CBR NEVER",
       [](auto l) {
         l.erase(l.begin() + 2);
         return Join(l);
       },
       "line 4:"},
      {"missing LOAD file",
       [this](auto l) {
         l[5] = "LOAD " + U8(mux_) + "0x82.mp3";
         return Join(l);
       },
       "line 6:"},
      {"lower-case keyword",
       [](auto l) {
         l[7] = "Select FILE 1";
         return Join(l);
       },
       "line 8:"},
      {"two spaces",
       [](auto l) {
         l[7] = "SELECT  FILE 1";
         return Join(l);
       },
       "line 8:"},
      {"trailing space",
       [](auto l) {
         l[0] = "CLEAR ";
         return Join(l);
       },
       "line 1:"},
      {"name of a missing stream",
       [](auto l) {
         l[13] = "NAME 3 0x81";
         return Join(l);
       },
       "line 14:"},
      {"START path not absolute",
       [](auto l) {
         l.back() = "START movie.avi";
         return Join(l);
       },
       "line 28:"},
      {"line after START",
       [](auto l) {
         l.push_back("CLEAR");
         return Join(l);
       },
       "line 28:"},
      {"unclosed WITH",
       [](auto l) {
         l.erase(l.begin() + 26);
         return Join(l);
       },
       "line 27:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(log_.c_str());
    EXPECT_EQ(RunScript(c.edit(GoodLines())), 3u);
    EXPECT_FALSE(IsFile(target_));
    const std::vector<std::string> errors = Events("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind(c.line, 0), 0u) << errors[0];
  }
}

// --- GUI tools -------------------------------------------------------------

// Keystrokes as the program sends them: one SendInput call per sequence.
void SendKeys(std::vector<INPUT> inputs) {
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size());
  Sleep(200);  // let the target process them
}

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t ch : text) {
    for (bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = ch;
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  SendKeys(inputs);
}

void Press(WORD vk, int times = 1) {
  std::vector<INPUT> inputs;
  for (int i = 0; i < times; ++i) {
    inputs.push_back(Key(vk, false));
    inputs.push_back(Key(vk, true));
  }
  SendKeys(inputs);
}

void PressAlt(WORD vk) {
  SendKeys({Key(VK_MENU, false), Key(vk, false), Key(vk, true), Key(VK_MENU, true)});
}

// The window that has the keyboard focus in the process's GUI thread.
HWND FocusOf(HWND top) {
  return test::FocusOf(GetWindowThreadProcessId(top, nullptr));
}

class GuiToolTest : public StandinTest {
 protected:
  void TearDown() override {
    if (HasFailure()) printf("The tools' log:\n%s\n", Read(log_).c_str());
    process_ = test::ChildProcess();  // ends a tool still running
    StandinTest::TearDown();
  }
  void Start(const std::wstring& exe, const std::wstring& arguments = L"") {
    process_ = test::ChildProcess(
        {.commandLine = L"\"" + exe + L"\"" + arguments, .show = WORD{SW_SHOWNORMAL}});
    ASSERT_TRUE(process_.Started());
    pid_ = process_.Id();
  }
  HWND WaitForWindow(const std::wstring& title, DWORD timeout_ms = kToolTimeoutMs,
                     std::wstring_view class_name = {}) {
    HWND found = nullptr;
    WaitUntil(std::chrono::milliseconds(timeout_ms), [&] {
      return (found = test::FindProcessWindow(pid_, class_name, title)) != nullptr;
    });
    return found;
  }
  // Brings the window to the front as the program does before it sends keys.
  void Activate(HWND window) {
    SetForegroundWindow(window);
    EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return GetForegroundWindow() == window; }));
  }
  // The file dialog puts the focus into its file-name edit box as it
  // finishes opening (for a moment it may sit on the surrounding combo box).
  static bool FocusReachesFileNameBox(HWND dialog) {
    return WaitUntil(3000ms, [&] { return ClassOf(FocusOf(dialog)) == L"Edit"; });
  }
  // Waits for a foreground window of the tool other than `not_this`.
  HWND WaitForForegroundDialog(HWND not_this) {
    HWND found = nullptr;
    WaitUntil(kToolTimeout, [&] {
      HWND fg = GetForegroundWindow();
      DWORD owner = 0;
      GetWindowThreadProcessId(fg, &owner);
      if (owner == pid_ && fg != not_this && FocusOf(fg) != nullptr) found = fg;
      return found != nullptr;
    });
    return found;
  }
  DWORD WaitForExit() { return process_.WaitForExit(kToolTimeout).value_or(0xFFFFFFFF); }
  test::ChildProcess process_;
  DWORD pid_ = 0;
};

TEST_F(GuiToolTest, SubToSupConvertsTheTypedIndex) {
  const std::wstring index = dir_ + L"movie.idx";
  Write(index,
        "# VobSub index file, v7\r\nid: en, index: 0\r\ntimestamp: 00:00:01:000\r\n"
        "id: de, index: 1\r\n");
  Start(Tool(L"SubToSup.exe"));
  HWND main = WaitForWindow(L"SubToSup");
  ASSERT_NE(main, nullptr);
  Activate(main);
  PostMessageW(GetDlgItem(main, 1002), BM_CLICK, 0, 0);
  HWND dialog = WaitForForegroundDialog(main);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(FocusReachesFileNameBox(dialog));
  TypeText(index);
  Press(VK_RETURN);
  HWND done = WaitForWindow(L"SubToSup 0.9 Beta");
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(Read(dir_ + L"movie_0x20.sup"),
            "SUP stream 0 (id: en, index: 0) from " + U8(index) + "\r\n");
  EXPECT_EQ(Read(dir_ + L"movie_0x21.sup"),
            "SUP stream 1 (id: de, index: 1) from " + U8(index) + "\r\n");
  EXPECT_EQ(GetForegroundWindow(), done);
  Press(VK_RETURN);
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(done); }));
  // Whether the window in front when a modal one closes gets the front back
  // is Wine's doing, not the tool's, and now and then it does not.
  Activate(main);
  PressAlt(VK_F4);
  EXPECT_EQ(WaitForExit(), 0u);

  const std::vector<std::string> events = EventTexts();
  const std::string exe = U8(dir_ + L"SubToSup.exe");
  EXPECT_EQ(events, (std::vector<std::string>{
                        "start \"" + exe + "\"", "click 1002", "dialog ready", "dialog ok",
                        "typed " + U8(index), "wrote " + U8(dir_) + "movie_0x20.sup",
                        "wrote " + U8(dir_) + "movie_0x21.sup", "done shown SubToSup 0.9 Beta",
                        "done dismissed SubToSup 0.9 Beta", "close", "exit 0"}));
}

std::wstring AppDataFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  return std::wstring(folder) + L"\\" + name;
}

// The editor driven the way the program's macro drives it: menu by keys,
// file paths typed, buttons clicked by control id, windows closed by Alt+F4.
TEST_F(GuiToolTest, DvdSubEditOpensRecognizesAndSaves) {
  const std::wstring sup = dir_ + L"movie_0x20.sup";
  Write(sup, "SUP");
  const std::wstring ini = AppDataFile(L"DVDSubEdit.ini");
  DeleteFileW(ini.c_str());
  Start(Tool(L"DVDSubEdit.exe"));
  HWND main = WaitForWindow(L"DVDSubEdit -- Version 1.34 By Test Author");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsFile(ini));

  Activate(main);
  PressAlt('F');
  Press(VK_DOWN, 3);
  Press(VK_RETURN);
  HWND open = WaitForForegroundDialog(main);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(TextOf(open), L"Open SUP file");
  EXPECT_TRUE(FocusReachesFileNameBox(open));
  TypeText(sup);
  Press(VK_RETURN);

  HWND ifo = WaitForWindow(L"Load IFO file");
  ASSERT_NE(ifo, nullptr);
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return GetForegroundWindow() == ifo; }));
  EXPECT_EQ(TextOf(main), sup);
  PressAlt(VK_F4);
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(ifo); }));

  const std::wstring ocr_caption = L"Running OCR... (based on GOCR by Joerg Schulenburg)";
  Activate(main);
  PostMessageW(GetDlgItem(main, 1053), BM_CLICK, 0, 0);
  HWND ocr = WaitForWindow(ocr_caption);
  ASSERT_NE(ocr, nullptr);
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(ocr); }));

  Activate(main);
  PostMessageW(GetDlgItem(main, 1056), BM_CLICK, 0, 0);
  HWND save = WaitForForegroundDialog(main);
  ASSERT_NE(save, nullptr);
  TypeText(dir_ + L"0x20");
  Press(VK_RETURN);
  const std::wstring srt = dir_ + L"0x20.srt";
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return IsFile(srt); }));
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(save); }));
  Activate(main);
  PressAlt(VK_F4);
  EXPECT_EQ(WaitForExit(), 0u);

  EXPECT_EQ(Read(srt),
            "1\r\n00:00:01,000 --> 00:00:03,000\r\nText recognised from " + U8(sup) + "\r\n\r\n");
  const std::string exe = U8(dir_ + L"DVDSubEdit.exe");
  const std::vector<std::string> expected{"start \"" + exe + "\"",
                                          "wrote " + U8(ini),
                                          "menu Open SUP file...",
                                          "dialog ready",
                                          "dialog ok",
                                          "typed " + U8(sup),
                                          "caption " + U8(sup),
                                          "ifo shown Load IFO file",
                                          "dialog ready",
                                          "ifo closed",
                                          "click 1053",
                                          "recognition shown " + U8(ocr_caption),
                                          "recognition done " + U8(sup),
                                          "click 1056",
                                          "dialog ready",
                                          "dialog ok",
                                          "typed " + U8(srt),
                                          "wrote " + U8(srt),
                                          "close",
                                          "exit 0"};
  EXPECT_EQ(EventTexts(), expected);
}

// Alt+F opens the File menu with its first entry highlighted (checked here
// under Wine), so n Down arrows and Enter choose entry n + 1; the open entry
// is the fourth, reached by the macro's "{DOWN 3}".
TEST_F(GuiToolTest, DvdSubEditMenuEntriesByDownArrows) {
  Start(Tool(L"DVDSubEdit.exe"));
  HWND main = WaitForWindow(L"DVDSubEdit -- Version 1.34 By Test Author");
  ASSERT_NE(main, nullptr);
  const char* const entries[] = {"&New project", "Open &IFO file...", "Open &VobSub..."};
  for (int downs = 0; downs < 3; ++downs) {
    Activate(main);
    PressAlt('F');
    Press(VK_DOWN, downs);
    Press(VK_RETURN);
    const std::string expected = std::string("menu ") + entries[downs];
    EXPECT_TRUE(WaitUntil(kToolTimeout, [&] {
      const auto events = EventTexts();
      return std::count(events.begin(), events.end(), expected) == 1;
    })) << expected;
  }
  Activate(main);
  PressAlt('F');
  Press(VK_DOWN, 3);
  Press(VK_RETURN);
  HWND open = WaitForForegroundDialog(main);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(TextOf(open), L"Open SUP file");
  PressAlt(VK_F4);  // cancels the dialog
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(open); }));
  // The dialog is gone a moment before the editor logs that it was cancelled.
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] {
    const auto events = EventTexts();
    return std::count(events.begin(), events.end(), "cancelled open dialog") == 1;
  }));
  EXPECT_EQ(TextOf(main), L"DVDSubEdit -- Version 1.34 By Test Author");
}

// What the editor's save dialog makes of the names the macro types: the
// subtitle key without an extension gets ".srt"; a key that itself looks
// like a name with an extension (a.sup gives "a.su") is taken as it is.
TEST_F(GuiToolTest, DvdSubEditSaveDialogAddsSrtOnlyWithoutExtension) {
  const std::wstring sup = dir_ + L"a.sup";
  Write(sup, "SUP");
  Start(Tool(L"DVDSubEdit.exe", "normal delay=0"));
  HWND main = WaitForWindow(L"DVDSubEdit -- Version 1.34 By Test Author");
  ASSERT_NE(main, nullptr);
  Activate(main);
  PressAlt('F');
  Press(VK_DOWN, 3);
  Press(VK_RETURN);
  ASSERT_NE(WaitForForegroundDialog(main), nullptr);
  TypeText(sup);
  Press(VK_RETURN);
  HWND ifo = WaitForWindow(L"Load IFO file");
  ASSERT_NE(ifo, nullptr);
  PressAlt(VK_F4);
  ASSERT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(ifo); }));

  struct Case {
    const wchar_t* typed;
    const wchar_t* saved;
  } const cases[] = {{L"0x20", L"0x20.srt"}, {L"a.su", L"a.su"}, {L"b.srt", L"b.srt"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.typed));
    Activate(main);
    PostMessageW(GetDlgItem(main, 1056), BM_CLICK, 0, 0);
    HWND save = WaitForForegroundDialog(main);
    ASSERT_NE(save, nullptr);
    TypeText(dir_ + c.typed);
    Press(VK_RETURN);
    EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return IsFile(dir_ + c.saved); }));
    EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(save); }));
  }
  // Saved before any recognition: the files hold no subtitles, and the log
  // says so.
  EXPECT_EQ(Read(dir_ + L"0x20.srt"), "");
  EXPECT_EQ(Events("error").size(), std::size(cases));
}

constexpr wchar_t kSubEditCaption[] = L"DVDSubEdit -- Version 1.34 By Test Author";

// Modes every GUI tool shares, checked right after the start.
TEST_F(GuiToolTest, StartModesOfTheGuiTools) {
  struct Case {
    const wchar_t* exe;
    const wchar_t* caption;
  } const tools[] = {{L"SubToSup.exe", L"SubToSup"}, {L"DVDSubEdit.exe", kSubEditCaption}};
  for (const Case& tool : tools) {
    SCOPED_TRACE(U8(tool.exe));
    Start(Tool(tool.exe, "fail"));
    EXPECT_EQ(WaitForExit(), 2u);

    Start(Tool(tool.exe, "crash"));
    EXPECT_EQ(WaitForExit(), 0xC0000005u);

    Start(Tool(tool.exe, "wrongwindow"));
    EXPECT_NE(WaitForWindow(std::wstring(L"Wrong window - ") + tool.caption), nullptr);
    EXPECT_EQ(test::FindProcessWindow(pid_, {}, tool.caption), nullptr);
    process_.Kill();

    Start(Tool(tool.exe, "nowindow"));
    EXPECT_EQ(WaitForSingleObject(process_.Handle(), 1500), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(test::FindProcessWindow(pid_, {}, {}), nullptr);
    process_.Kill();
  }
}

TEST_F(GuiToolTest, SubToSupHangNeverFinishesTheConversion) {
  const std::wstring index = dir_ + L"movie.idx";
  Write(index, "id: en, index: 0\r\n");
  Start(Tool(L"SubToSup.exe", "hang"));
  HWND main = WaitForWindow(L"SubToSup");
  ASSERT_NE(main, nullptr);
  Activate(main);
  PostMessageW(GetDlgItem(main, 1002), BM_CLICK, 0, 0);
  ASSERT_NE(WaitForForegroundDialog(main), nullptr);
  TypeText(index);
  Press(VK_RETURN);
  EXPECT_EQ(WaitForWindow(L"SubToSup 0.9 Beta", 2000), nullptr);
  EXPECT_FALSE(IsFile(dir_ + L"movie_0x20.sup"));
  EXPECT_EQ(Events("typed"), std::vector<std::string>{U8(index)});
}

// How long the recognition's progress window stays: the mode's delay, or
// for ever in "hang". (Under Wine without a window manager, destroying a
// top-level window takes up to two more seconds, hence the loose upper bound.)
TEST_F(GuiToolTest, DvdSubEditRecognitionWindowLastsTheModesDelayOrForeverInHang) {
  const std::wstring sup = dir_ + L"movie_0x20.sup";
  Write(sup, "SUP");
  struct Case {
    const char* mode;
    DWORD watch_ms;  // how long the test watches the progress window
    bool goes_away;
    DWORD min_ms;  // it stays at least this long
  } const cases[] = {{"normal delay=1500", 8000, true, 1400}, {"hang", 3000, false, 3000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Start(Tool(L"DVDSubEdit.exe", c.mode));
    HWND main = WaitForWindow(kSubEditCaption);
    ASSERT_NE(main, nullptr);
    Activate(main);
    PressAlt('F');
    Press(VK_DOWN, 3);
    Press(VK_RETURN);
    ASSERT_NE(WaitForForegroundDialog(main), nullptr);
    TypeText(sup);
    Press(VK_RETURN);
    HWND ifo = WaitForWindow(L"Load IFO file");
    ASSERT_NE(ifo, nullptr);
    PressAlt(VK_F4);
    ASSERT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(ifo); }));

    Activate(main);
    PostMessageW(GetDlgItem(main, 1053), BM_CLICK, 0, 0);
    HWND ocr = WaitForWindow(L"Running OCR... (based on GOCR by Joerg Schulenburg)");
    ASSERT_NE(ocr, nullptr);
    const ULONGLONG shown = GetTickCount64();
    EXPECT_EQ(WaitUntil(std::chrono::milliseconds(c.watch_ms), [&] { return !IsWindow(ocr); }),
              c.goes_away);
    EXPECT_GE(GetTickCount64() - shown + 100, c.min_ms);  // found a little after it showed
    // Logged just after the window is gone.
    EXPECT_EQ(WaitUntil(1000ms, [&] { return !Events("recognition done").empty(); }), c.goes_away);
    process_.Kill();
    DeleteFileW(log_.c_str());
  }
}

TEST_F(GuiToolTest, AviMuxShowsItsDoneBoxAndStaysOpenUnlessTheScriptSaysOtherwise) {
  const std::wstring movie = dir_ + L"movie.avi";
  const std::wstring target = dir_ + L"out.avi";
  Write(movie, "avi");
  const std::wstring script = dir_ + L"movie.amg";
  Write(script, "SET OUTPUT OPTIONS\r\nSET OPTION DONEDLG 1\r\nSET OPTION CLOSEAPP 0\r\nLOAD " +
                    U8(movie) + "\r\nSELECT FILE 1\r\nADD VIDEOSOURCE\r\nSTART " + U8(target) +
                    "\r\n");
  Start(Tool(L"AVIMux_GUI.exe"), L" \"" + script + L"\"");
  HWND box = WaitForWindow(L"AVI-Mux GUI", kToolTimeoutMs, L"#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Read(target), "video " + U8(movie) + "\r\ninterleave -\r\n");
  Activate(box);
  Press(VK_RETURN);
  EXPECT_TRUE(WaitUntil(kToolTimeout, [&] { return !IsWindow(box); }));
  EXPECT_EQ(WaitForSingleObject(process_.Handle(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));
  HWND main = WaitForWindow(L"AVI-Mux GUI");
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(), 0u);
}

TEST_F(StandinTest, SleeperTakesTheGivenTime) {
  const std::wstring exe = L"\"" + Tool(L"sleeper.exe") + L"\"";
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Run(exe + L" 700"), 0u);
  EXPECT_GE(GetTickCount64() - start, 700u);
  EXPECT_EQ(Run(exe + L" 7x"), 7u);
  EXPECT_EQ(Run(exe), 7u);
  EXPECT_EQ(Events("exit"), (std::vector<std::string>{"0", "7", "7"}));
}

// Tools started together append to one log; every line stays whole.
TEST_F(StandinTest, ConcurrentToolsKeepLogLinesWhole) {
  const std::wstring exe = L"\"" + Tool(L"sleeper.exe") + L"\" 0";
  std::vector<test::ChildProcess> processes;
  for (int i = 0; i < 6; ++i) {
    processes.emplace_back(test::ProcessStart{.commandLine = exe});
    ASSERT_TRUE(processes.back().Started());
  }
  for (const test::ChildProcess& process : processes) {
    EXPECT_EQ(WaitForSingleObject(process.Handle(), kToolTimeoutMs), WAIT_OBJECT_0);
  }
  const std::string text = Read(log_);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
  const std::vector<LogLine> lines = Log();
  ASSERT_EQ(lines.size(), 12u);
  for (const LogLine& line : lines) {
    EXPECT_EQ(line.tool, "sleeper");
    EXPECT_TRUE(line.event == "start" || line.event == "exit") << line.event;
  }
  EXPECT_EQ(Events("exit"), std::vector<std::string>(6, "0"));
}

TEST_F(UnrarTest, PartialModeCutsTheFirstFileShortAndStops) {
  Write(archive_, Archive({{"movie.sub", "0123456789"}, {"movie.idx", "index"}}));
  Tool(L"UnRAR.exe", "partial");
  EXPECT_EQ(Run(Command()), 0u);
  EXPECT_EQ(DestFiles(), std::vector<std::string>{"movie.sub"});
  EXPECT_EQ(Read(dest_ + L"movie.sub"), "01234");
}

}  // namespace

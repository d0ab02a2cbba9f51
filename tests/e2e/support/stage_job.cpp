#include "support/stage_job.h"

#include <shlobj.h>

#include "support/leftover_processes.h"

namespace quillon::e2e {
namespace {

// A test folder's name: the test's name, without the "/" that a
// parameterised test's name holds.
std::wstring FolderNameForTest() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name = Widen(info != nullptr ? info->name() : "test");
  for (wchar_t& c : name)
    if (c == L'/' || c == L'\\') c = L'_';
  return name;
}

// Copies a folder with everything in it (`from` and `to` end in a backslash).
void CopyTree(const std::wstring& from, const std::wstring& to) {
  ::CreateDirectoryW(to.c_str(), nullptr);
  for (const std::wstring& name : ListFolder(from)) {
    if (IsFolder(from + name))
      CopyTree(from + name + L"\\", to + name + L"\\");
    else
      ASSERT_TRUE(::CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE))
          << "could not copy " << Narrow(from + name);
  }
}

}  // namespace

std::string CrLfLines(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) text += Narrow(line) + "\r\n";
  return text;
}

std::string ExpectedMuxScript(const std::wstring& sourceDir, const std::vector<std::wstring>& loads,
                              const std::vector<std::wstring>& audioKeys,
                              std::wstring_view interleave) {
  std::vector<std::wstring> lines = {L"CLEAR", L"SET INPUT OPTIONS",
                                     L"SET OPTION MP3 VERIFY CBR NEVER",
                                     L"LOAD " + sourceDir + L"movie.avi"};
  for (const std::wstring& load : loads) lines.push_back(L"LOAD " + load);
  lines.insert(lines.end(), {L"SELECT FILE 1", L"ADD VIDEOSOURCE", L"SET OUTPUT OPTIONS",
                             L"WITH SET OPTION", L"WITH AUDIO"});
  for (size_t i = 0; i < audioKeys.size(); ++i)
    lines.push_back(L"NAME " + std::to_wstring(i + 1) + L" " + audioKeys[i]);
  lines.insert(lines.end(), {L"END WITH", L"CLOSEAPP 1", L"ALL AUDIO 1", L"DONEDLG 0", L"OPENDML 0",
                             L"RECLISTS 0", std::wstring(interleave), L"AVI ADDJUNKBEFOREHEADERS 0",
                             L"PRELOAD 200", L"NUMBERING OFF", L"MAXFILESIZE OFF", L"MAXFILES OFF",
                             L"END WITH", L"START " + sourceDir + L"mux\\movie.avi"});
  return CrLfLines(lines);
}

std::wstring JobLogFile() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return {};
  return std::wstring(folder) + L"\\Quillon\\last-job.log";
}

std::wstring WithJobLogPlace(std::wstring_view text) {
  return std::wstring(text) + L"\r\nThe job log is in " + JobLogFile() + L".";
}

std::string Describe(const std::vector<MessageBoxSeen>& boxes) {
  std::string text;
  for (const MessageBoxSeen& box : boxes)
    text += std::string("[") + ToString(box.icon) + "] " + Narrow(box.text) + "\n";
  return text.empty() ? "(no message box)" : text;
}

StageJobTest::StageJobTest() : folder_(FolderNameForTest()) {
  // Every step of the subtitle macro pauses this long; 0 keeps jobs short.
  WriteStoredPause(L"0");
}

void StageJobTest::TearDown() {
  if (process_ && process_->Running()) {
    ADD_FAILURE() << "Quillon.exe was still running at the end of the test";
    process_->Kill();
    process_->WaitForExit(kExitLimit);
  }
  // A tool the program started must be gone once the program is: the last
  // ones close on their own a moment after the program's last keys.
  WaitUntil(5s, [&] { return ProcessesUnder(Tools()).empty(); });
  for (const std::wstring& path : EndProcessesUnder(folder_.Path()))
    ADD_FAILURE() << "left running after the test: " << Narrow(path);
}

void StageJobTest::InstallProgramAndTools(std::wstring_view installFolder) {
  if (installFolder.empty()) {
    exe_ = folder_.InstallQuillon();
    folder_.InstallTools();
    return;
  }
  installDir_ = folder_.MakeFolder(installFolder);
  exe_ = installDir_ + L"Quillon.exe";
  ASSERT_TRUE(::CopyFileW(BuiltQuillonExe().c_str(), exe_.c_str(), FALSE));
  CopyTree(BuiltToolsFolder(), Tools());
}

std::string StageJobTest::BeSweetLine(const SourceFolder& source, std::wstring_view entry,
                                      std::wstring_view key, std::wstring_view rate) const {
  return Narrow(L"\"" + Tool(kBeSweetTool) + L"\" -core( -input \"" + source.Path() +
                std::wstring(entry) + L"\" -output \"" + source.Mux() + std::wstring(key) +
                L".mp3\" ) -lame( -b " + std::wstring(rate) + L")");
}

std::string StageJobTest::AviMuxLine(const SourceFolder& source) const {
  return Narrow(L"\"" + Tool(kAviMuxTool) + L"\" \"" + source.Mux() + L"movie.amg\"");
}

std::string StageJobTest::UnRarLine(const SourceFolder& source, std::wstring_view archive) const {
  return Narrow(L"\"" + Tool(kUnRarTool) + L"\" e \"" + source.Path() + std::wstring(archive) +
                L"\" \"" + source.Mux() + L"\"");
}

void StageJobTest::SetToolMode(std::wstring_view relative, std::string_view mode) const {
  WriteBytes(Tool(relative) + L".mode", mode);
}

void StageJobTest::RemoveTool(std::wstring_view relative) const {
  ASSERT_TRUE(::DeleteFileW(Tool(relative).c_str())) << "could not remove " << Narrow(relative);
}

QuillonProcess& StageJobTest::Launch(const std::wstring& arguments,
                                     const std::wstring& waitLimits) {
  if (exe_.empty()) InstallProgramAndTools();
  LaunchOptions options;
  options.arguments = arguments;
  options.environment.emplace_back(L"QUILLON_WAIT_LIMITS", waitLimits);
  options.environment.emplace_back(L"QUILLON_STANDIN_LOG", LogPath());
  process_.reset();
  process_.emplace(exe_, options);
  return *process_;
}

std::wstring StageJobTest::BatchLine(const SourceFolder& source, std::wstring_view fields) {
  return L"?" + source.PathWithoutBackslash() + L"?" + std::wstring(fields) + L"?";
}

JobOutcome StageJobTest::RunBatch(const SourceFolder& source, std::wstring_view fields, Ms limit) {
  JobOutcome outcome;
  const QuillonProcess& process = Launch(BatchLine(source, fields));
  outcome.exitCode = RunToExit(process, limit, outcome.boxes);
  return outcome;
}

}  // namespace quillon::e2e

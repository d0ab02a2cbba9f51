#include "support/stage_job.h"

#include "support/leftover_processes.h"

namespace quillon::e2e {
std::string CrLfLines(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) text += ToUtf8(line) + "\r\n";
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

std::wstring WithJobLogPlace(std::wstring_view text) {
  return std::wstring(text) + L"\r\nThe job log is in " + JobLogFile() + L".";
}

std::string Describe(const std::vector<MessageBoxSeen>& boxes) {
  std::string text;
  for (const MessageBoxSeen& box : boxes)
    text += std::string("[") + ToString(box.icon) + "] " + ToUtf8(box.text) + "\n";
  return text.empty() ? "(no message box)" : text;
}

StageJobTest::StageJobTest() {
  // Every step of the subtitle macro pauses this long; 0 keeps jobs short.
  WriteStoredPause(L"0");
}

void StageJobTest::TearDown() {
  if (quillon_.Launched() && Process().Running()) {
    ADD_FAILURE() << "Quillon.exe was still running at the end of the test";
    Process().Kill();
    Process().WaitForExit(kExitLimit);
  }
  // A tool the program started must be gone once the program is: the last
  // ones close on their own a moment after the program's last keys.
  for (const std::wstring& path : EndLeftoversAfterJob(quillon_.Tools(), folder_.Path(), 5s))
    ADD_FAILURE() << "left running after the test: " << ToUtf8(path);
  QuillonTest::TearDown();
}

std::string StageJobTest::BeSweetLine(const SourceFolder& source, std::wstring_view entry,
                                      std::wstring_view key, std::wstring_view rate) const {
  return ToUtf8(L"\"" + quillon_.Tool(kBeSweetTool) + L"\" -core( -input \"" + source.Path() +
                std::wstring(entry) + L"\" -output \"" + source.Mux() + std::wstring(key) +
                L".mp3\" ) -lame( -b " + std::wstring(rate) + L")");
}

std::string StageJobTest::AviMuxLine(const SourceFolder& source) const {
  return ToUtf8(L"\"" + quillon_.Tool(kAviMuxTool) + L"\" \"" + source.Mux() + L"movie.amg\"");
}

std::string StageJobTest::UnRarLine(const SourceFolder& source, std::wstring_view archive) const {
  return ToUtf8(L"\"" + quillon_.Tool(kUnRarTool) + L"\" e \"" + source.Path() +
                std::wstring(archive) + L"\" \"" + source.Mux() + L"\"");
}

}  // namespace quillon::e2e

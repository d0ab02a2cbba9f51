#include "support/stage_job.h"

#include <algorithm>

#include "support/leftover_processes.h"

namespace quillon::e2e {
std::string CrLfLines(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) text += ToUtf8(line) + "\r\n";
  return text;
}

namespace {

// The program writes the script in the ANSI code page, as the muxer reads it.
std::wstring FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  std::wstring wide(
      static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

}  // namespace

std::vector<std::wstring> ScriptLoads(const std::optional<std::string>& script) {
  std::vector<std::wstring> loads;
  if (!script) return loads;
  constexpr std::string_view kLoad = "LOAD ";
  for (size_t pos = 0; pos < script->size();) {
    const size_t end = std::min(script->find("\r\n", pos), script->size());
    const std::string_view line = std::string_view(*script).substr(pos, end - pos);
    if (line.starts_with(kLoad)) loads.push_back(FromAnsi(line.substr(kLoad.size())));
    pos = end + 2;
  }
  return loads;
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

ToolCall StageJobTest::BeSweetCall(const SourceFolder& source, std::wstring_view entry,
                                   std::wstring_view key, std::wstring_view rate) const {
  return {quillon_.Tool(kBeSweetTool), source / entry, source.Mux() + std::wstring(key) + L".mp3",
          std::wstring(rate)};
}

ToolCall StageJobTest::AviMuxCall(const SourceFolder& source) const {
  return {quillon_.Tool(kAviMuxTool), source.Mux() + L"movie.amg"};
}

ToolCall StageJobTest::UnRarCall(const SourceFolder& source, std::wstring_view archive) const {
  return {quillon_.Tool(kUnRarTool), source / archive, source.Mux()};
}

}  // namespace quillon::e2e

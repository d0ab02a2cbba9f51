#include <algorithm>
#include <stdexcept>

#include "fault_matrix/matrix.h"

namespace quillon::fault {

std::string Verdict::SeenText() const {
  std::string text;
  for (const auto& what : seen_) text += (text.empty() ? "" : "; ") + what;
  return text.empty() ? "nothing" : text;
}

std::string Verdict::Report() const {
  std::string text;
  for (const auto& failure : failures_) text += (text.empty() ? "" : "; ") + failure;
  text += "\n(saw: " + SeenText() + ")";
  for (const auto& note : notes_) text += "\n    | " + note;
  return text;
}

void Fill(const e2e::SourceFolder& source, Fixture fixture) {
  if (fixture == Fixture::Empty) return;
  source.AddMovie();
  source.AddTrack(L"0x80.ac3");
  source.AddTrack(L"0x81.ac3");
  if (fixture == Fixture::AudioOnly) return;
  const std::vector<std::string> streams = fixture == Fixture::OneStream
                                               ? std::vector<std::string>{"en"}
                                               : std::vector<std::string>{"en", "de"};
  source.AddSubtitles(L"subtitles\\", e2e::VobSubIndex(streams), "VobSub bitmaps\r\n");
}

std::wstring BatchFields(const Settings& s) {
  auto flag = [](bool on) { return on ? L"1" : L"0"; };
  return std::wstring(flag(s.mp3)) + L"?128?" + flag(s.srt) + L"?" + flag(s.subMux) + L"?" +
         flag(s.delTemp) + L"?0?" + flag(s.mux);
}

// ---- files ----

namespace {

void Walk(const std::wstring& root, const std::wstring& relative, Snapshot& out) {
  for (const std::wstring& name : e2e::ListFolder(root + relative)) {
    const std::wstring path = relative + name;
    if (e2e::IsFolder(root + path)) {
      Walk(root, path + L"\\", out);
    } else {
      out[path] = e2e::ReadBytes(root + path).value_or("<unreadable>");
    }
  }
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

Snapshot TakeSnapshot(const std::wstring& folder) {
  Snapshot snapshot;
  Walk(folder, L"", snapshot);
  return snapshot;
}

std::vector<std::string> SnapshotChanges(const Snapshot& before, const Snapshot& after,
                                         bool muxAllowed,
                                         const std::vector<std::wstring>& allowedNew) {
  std::vector<std::string> changes;
  for (const auto& [path, bytes] : before) {
    const auto found = after.find(path);
    if (found == after.end())
      changes.push_back("removed " + ToUtf8(path));
    else if (found->second != bytes)
      changes.push_back("changed " + ToUtf8(path));
  }
  for (const auto& [path, bytes] : after) {
    if (before.count(path) != 0) continue;
    if (muxAllowed && StartsWith(path, L"mux\\")) continue;
    if (std::find(allowedNew.begin(), allowedNew.end(), path) != allowedNew.end()) continue;
    changes.push_back("added " + ToUtf8(path));
  }
  for (const auto& path : allowedNew)
    if (after.count(path) == 0) changes.push_back("not saved beside the movie: " + ToUtf8(path));
  return changes;
}

HeldFile::HeldFile(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (!handle_) throw std::runtime_error("could not hold " + ToUtf8(path) + " open");
}

namespace {

// The Unix path of a Windows path, from Wine's own export; nothing when not
// running under Wine.
std::optional<std::string> UnixPath(const std::wstring& path) {
  using Convert = char*(CDECL*)(LPCWSTR);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return std::nullopt;
  // Through void*: the export's real type is not FARPROC's.
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
  if (convert == nullptr) return std::nullopt;
  char* unix = convert(path.c_str());
  if (unix == nullptr) return std::nullopt;
  std::string result(unix);
  ::HeapFree(::GetProcessHeap(), 0, unix);
  return result;
}

// Whether something can still be written at `path` (a folder: a new entry
// in it; a file: the file itself).
bool Writable(const std::wstring& path) {
  if (e2e::IsFolder(path)) {
    const std::wstring probe = (path.back() == L'\\' ? path : path + L"\\") + L"probe.tmp";
    if (!::CreateDirectoryW(probe.c_str(), nullptr)) return false;
    ::RemoveDirectoryW(probe.c_str());
    return true;
  }
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid();
}

}  // namespace

bool SetUnwritable(const std::wstring& path, bool on) {
  const auto unix = UnixPath(path);
  if (!unix || unix->find_first_of(" \"") != std::string::npos) return false;
  const std::wstring command = L"start.exe /wait /unix /usr/bin/chattr -R " +
                               std::wstring(on ? L"+i " : L"-i ") + ToWide(*unix);
  const auto run =
      test::RunToExit({.commandLine = command, .creationFlags = CREATE_NO_WINDOW}, 20s);
  if (!run.exitCode) return false;
  // The Unix side may take a moment to answer through Wine's launcher.
  return e2e::WaitUntil(5s, [&] { return Writable(path) != on; });
}

// ---- texts ----

std::wstring Expand(std::wstring_view text, const Places& places) {
  const std::pair<std::wstring_view, std::wstring> names[] = {
      {L"{folder}", places.folder},
      {L"{source}", places.source},
      {L"{film}", places.source.substr(0, places.source.size() - 1)},
      {L"{mux}", places.source + L"mux\\"},
      {L"{tools}", places.tools},
      {L"{log}", e2e::JobLogFile()},
  };
  std::wstring out;
  size_t pos = 0;
  while (pos < text.size()) {
    bool replaced = false;
    for (const auto& [name, value] : names) {
      if (text.substr(pos, name.size()) == name) {
        out += value;
        pos += name.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[pos++];
  }
  return out;
}

bool TextMatches(std::wstring_view shown, std::wstring_view expected) {
  auto trim = [](std::wstring_view t) {
    while (!t.empty() && (t.back() == L'\r' || t.back() == L'\n')) t.remove_suffix(1);
    return t;
  };
  shown = trim(shown);
  expected = trim(expected);
  constexpr std::wstring_view kAny = L"{*}";
  std::vector<std::wstring_view> pieces;
  for (size_t start = 0;;) {
    const size_t at = expected.find(kAny, start);
    pieces.push_back(expected.substr(start, at == std::wstring_view::npos ? at : at - start));
    if (at == std::wstring_view::npos) break;
    start = at + kAny.size();
  }
  if (pieces.size() == 1) return shown == expected;
  if (!StartsWith(shown, pieces.front())) return false;
  size_t pos = pieces.front().size();
  for (size_t i = 1; i + 1 < pieces.size(); ++i) {
    const size_t at = shown.find(pieces[i], pos);
    if (at == std::wstring_view::npos) return false;
    pos = at + pieces[i].size();
  }
  const std::wstring_view last = pieces.back();
  return shown.size() >= pos + last.size() && shown.substr(shown.size() - last.size()) == last;
}

std::string OneLine(std::wstring_view text, const Places& places) {
  std::wstring out;
  for (size_t pos = 0; pos < text.size();) {
    if (!places.folder.empty() && text.substr(pos, places.folder.size()) == places.folder) {
      out += L"<case>\\";
      pos += places.folder.size();
    } else if (text.substr(pos, 2) == L"\r\n") {
      out += L" | ";
      pos += 2;
    } else {
      out += text[pos++];
    }
  }
  while (out.size() >= 3 && out.substr(out.size() - 3) == L" | ") out.resize(out.size() - 3);
  return ToUtf8(out);
}

}  // namespace quillon::fault

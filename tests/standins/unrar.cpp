// UnRAR.exe: the extractor. It takes exactly
//   "<own path>" e "<archive>" "<destination folder>\"
// and unpacks an archive of the test format (see README.md) into the
// destination, dropping stored folder names, as "e" does. At a file that
// is already there it stops, as the real tool does without an overwrite
// switch: it asks on its console whether to replace the file and waits for
// an answer. Nothing in the tests answers, so it waits until it is ended.

#include <vector>

#include "support/standin.h"
#include "tool_model/outside_tools.h"

namespace {

// The real tool's exit codes that the stand-in can produce.
constexpr int kCrcError = 3;
constexpr int kOpenError = 6;
constexpr int kBadCommandLine = 7;
constexpr int kCreateError = 9;

struct Entry {
  std::wstring name;  // without the stored folders
  std::string bytes;
};

// The call, when it has the one accepted form and a destination that ends in
// a backslash.
std::optional<quillon::tool_model::UnRarCall<wchar_t>> Parse(std::wstring_view command_line) {
  const auto call = quillon::tool_model::ReadUnRarCall(command_line);
  if (!call) {
    standin::Log(L"error", L"command line is not in the accepted form");
    return std::nullopt;
  }
  if (!standin::IsOwnPath(call->program)) return std::nullopt;
  if (call->destination.empty() || call->destination.back() != L'\\') {
    standin::Log(L"error", L"destination does not end in a backslash");
    return std::nullopt;
  }
  return call;
}

// Reads "<keyword> <value>\r\n" at `pos`.
std::optional<std::string> ReadLine(const std::string& data, size_t& pos,
                                    std::string_view keyword) {
  const size_t end = data.find("\r\n", pos);
  if (end == std::string::npos) return std::nullopt;
  const std::string_view line(data.data() + pos, end - pos);
  if (line.substr(0, keyword.size()) != keyword || line.size() == keyword.size() ||
      line[keyword.size()] != ' ') {
    return std::nullopt;
  }
  pos = end + 2;
  return std::string(line.substr(keyword.size() + 1));
}

std::optional<std::vector<Entry>> ParseArchive(const std::string& data, std::wstring& problem) {
  constexpr std::string_view kMagic = "QUILLON-TEST-RAR\r\n";
  if (data.compare(0, kMagic.size(), kMagic) != 0) {
    problem = L"not an archive (no QUILLON-TEST-RAR header)";
    return std::nullopt;
  }
  std::vector<Entry> entries;
  size_t pos = kMagic.size();
  while (pos < data.size()) {
    const std::wstring at = L" at byte " + std::to_wstring(pos);
    const std::optional<std::string> stored = ReadLine(data, pos, "FILE");
    if (!stored) {
      problem = L"expected FILE line" + at;
      return std::nullopt;
    }
    const std::optional<std::string> size_text = ReadLine(data, pos, "SIZE");
    if (!size_text || size_text->empty() || size_text->size() > 9 ||
        size_text->find_first_not_of("0123456789") != std::string::npos) {
      problem = L"expected SIZE line" + at;
      return std::nullopt;
    }
    const size_t size = std::stoul(*size_text);
    if (data.size() - pos < size + 2 || data.compare(pos + size, 2, "\r\n") != 0) {
      problem = L"entry data cut short or not followed by CR LF" + at;
      return std::nullopt;
    }
    const std::wstring stored_path = standin::ToWide(*stored);
    std::wstring name = stored_path.substr(stored_path.find_last_of(L"\\/") + 1);
    if (name.empty() || name == L"." || name == L"..") {
      problem = L"stored path without a file name: " + stored_path;
      return std::nullopt;
    }
    entries.push_back({std::move(name), data.substr(pos, size)});
    pos += size + 2;
  }
  return entries;
}

}  // namespace

int wmain() {
  const standin::Mode mode = standin::Start();
  if (mode.kind == standin::ModeKind::kHang) standin::SleepForever();
  const auto request = Parse(GetCommandLineW());
  if (!request) standin::Exit(kBadCommandLine);

  const std::optional<std::string> data = standin::ReadBytes(request->archive);
  if (!data) {
    standin::Log(L"error", L"cannot open " + request->archive);
    standin::Exit(kOpenError);
  }
  std::wstring problem;
  const std::optional<std::vector<Entry>> entries = ParseArchive(*data, problem);
  if (!entries) {
    standin::Log(L"error", L"damaged archive " + request->archive + L": " + problem);
    standin::Exit(kCrcError);
  }
  if (!standin::IsFolder(request->destination)) {
    if (!CreateDirectoryW(request->destination.c_str(), nullptr)) {
      standin::Log(L"error", L"cannot create " + request->destination);
      standin::Exit(kCreateError);
    }
    standin::Log(L"created", request->destination);
  }
  Sleep(mode.DelayOr(standin::kUsualDelayMs));

  for (const Entry& entry : *entries) {
    const std::wstring target = request->destination + entry.name;
    if (standin::IsFile(target)) {
      const std::string question = "\r\nWould you like to replace the existing file " +
                                   standin::ToUtf8(target) +
                                   "\r\n\r\n[Y]es, [N]o, [A]ll, n[E]ver, [R]ename, [Q]uit ";
      DWORD written = 0;
      WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), question.data(),
                static_cast<DWORD>(question.size()), &written, nullptr);
      standin::Log(L"asked", entry.name);
      standin::SleepForever();
    }
    if (mode.kind == standin::ModeKind::kPartial) {
      standin::WriteWholeFile(target,
                              std::string_view(entry.bytes).substr(0, entry.bytes.size() / 2));
      standin::Log(L"wrote", target + L" (cut short)");
      standin::Exit(0);
    }
    if (!standin::WriteWholeFile(target, entry.bytes)) standin::Exit(kCreateError);
    standin::Log(L"wrote", target);
  }
  standin::Log(L"done", std::to_wstring(entries->size()) + L" entries");
  standin::Exit(0);
}

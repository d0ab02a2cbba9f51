#include "support/standin_log.h"

#include <optional>

#include "platform/win32/text.h"
#include "support/files.h"
#include "tool_model/outside_tools.h"

namespace quillon::e2e {

StandinLog StandinLog::Read(const std::wstring& path) {
  return Parse(test::ReadBytes(path).value_or(""));
}

StandinLog StandinLog::Parse(std::string_view text) {
  StandinLog log;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty()) continue;
    // The detail is everything after the third tab: it may hold tabs itself
    // only escaped, but split no further than needed anyway.
    const size_t first = line.find('\t');
    const size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
    const size_t third = second == std::string_view::npos ? second : line.find('\t', second + 1);
    if (third == std::string_view::npos) {
      log.events_.push_back({"?", "unreadable line", std::string(line)});
      continue;
    }
    log.events_.push_back({std::string(line.substr(first + 1, second - first - 1)),
                           std::string(line.substr(second + 1, third - second - 1)),
                           std::string(line.substr(third + 1))});
  }
  return log;
}

std::vector<std::string> StandinLog::Details(std::string_view tool, std::string_view event) const {
  std::vector<std::string> details;
  for (const StandinEvent& e : events_)
    if (e.tool == tool && e.event == event) details.push_back(e.detail);
  return details;
}

namespace {

std::optional<ToolCall> ReadCall(std::string_view tool, std::wstring_view line) {
  using namespace tool_model;
  if (tool == "UnRAR") {
    if (const auto call = ReadUnRarCall(line))
      return ToolCall{call->program, call->archive, call->destination};
  } else if (tool == "BeSweet") {
    if (const auto call = ReadBeSweetCall(line))
      return ToolCall{call->program, call->input, call->output, call->bitrate};
  } else if (tool == "AVIMux_GUI") {
    if (const auto call = ReadAviMuxCall(line)) return ToolCall{call->program, call->script};
  }
  return std::nullopt;
}

}  // namespace

std::vector<ToolCall> StandinLog::Calls(std::string_view tool) const {
  std::vector<ToolCall> calls;
  for (const std::string& start : Starts(tool)) {
    const std::wstring line = ToWide(start);
    calls.push_back(ReadCall(tool, line).value_or(ToolCall{L"not in the accepted form: " + line}));
  }
  return calls;
}

std::string StandinLog::Text() const {
  std::string text;
  for (const StandinEvent& e : events_) text += e.tool + " " + e.event + " " + e.detail + "\n";
  return text;
}

}  // namespace quillon::e2e

#pragma once
// End-to-end test support: the event log that the stand-in tools write (one
// line per event: "<microseconds>\t<tool>\t<event>\t<detail>", UTF-8, with
// control characters shown as <0D>, <0A>, <09>). A test reads it to see what
// each tool was given: its raw command line ("start"), what was typed into
// it ("typed"), which files it wrote ("wrote").

#include <string>
#include <string_view>
#include <vector>

namespace quillon::e2e {

struct StandinEvent {
  std::string tool;  // the executable's name without ".exe": "BeSweet", "UnRAR", ...
  std::string event;
  std::string detail;
};

class StandinLog {
 public:
  // Reads the log at `path` (a Windows path); a missing log has no events.
  static StandinLog Read(const std::wstring& path);
  // Parses the log's text; a line that is not in the log's form is kept as an
  // event of tool "?", so that a damaged log shows up in a comparison.
  static StandinLog Parse(std::string_view text);

  const std::vector<StandinEvent>& Events() const { return events_; }
  // The details of one tool's events of one kind, in the order they happened.
  std::vector<std::string> Details(std::string_view tool, std::string_view event) const;
  // The raw command lines the tool was started with, in order.
  std::vector<std::string> Starts(std::string_view tool) const { return Details(tool, "start"); }
  // Every event as "<tool> <event> <detail>", one a line: for failure messages.
  std::string Text() const;

 private:
  std::vector<StandinEvent> events_;
};

}  // namespace quillon::e2e

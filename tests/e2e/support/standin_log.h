#pragma once
// End-to-end test support: the event log that the stand-in tools write (one
// line per event: "<microseconds>\t<tool>\t<event>\t<detail>", UTF-8, with
// control characters shown as <0D>, <0A>, <09>). A test reads it to see what
// each tool was given: its raw command line ("start"), what was typed into
// it ("typed"), which files it wrote ("wrote"). A console tool's or the
// muxer's command line is best read as the tool reads it: Calls.

#include <string>
#include <string_view>
#include <vector>

namespace quillon::e2e {

// The fields of one command line in its tool's one accepted form, program
// first (UnRAR: program, archive, destination; BeSweet: program, input,
// output, bit rate; AVI-Mux GUI: program, script).
using ToolCall = std::vector<std::wstring>;

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
  // What the tool's own exact reader (tests/tool_model/outside_tools.h) makes
  // of each command line it was started with, in order. A line in no accepted
  // form gives the one field "not in the accepted form: <line>". The forms
  // themselves are fixed byte for byte by the unit tests.
  std::vector<ToolCall> Calls(std::string_view tool) const;
  // Every event as "<tool> <event> <detail>", one a line: for failure messages.
  std::string Text() const;

 private:
  std::vector<StandinEvent> events_;
};

}  // namespace quillon::e2e

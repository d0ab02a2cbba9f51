#include "job/job.h"

#include <optional>
#include <stdexcept>

namespace quillon {

namespace {

// "0xC0000005": how the system writes its status values.
std::string StatusText(std::uint32_t code) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(code >> shift) & 0xFu];
  return hex;
}

std::string ExitCodeText(std::uint32_t code) {
  std::string text = "exit code " + std::to_string(code);
  // Codes this large are the system's status values (0xC0000005: a crash).
  if (code >= 0x80000000u) text += " (" + StatusText(code) + ")";
  return text;
}

// "The window \"SubToSup\"": the pattern at the start of a sentence.
std::string WindowSentence(const CaptionPattern& caption) {
  std::string what = DescribeWindow(caption);
  what[0] = 'T';
  return what;
}

// A tool started by its path alone: the system splits an unquoted command
// line at its blanks, so a tool under "C:\Program Files\" would read
// "C:\Program" and "Files\...\x.exe" as two arguments. Quoted only where
// needed; a path without blanks goes as it is.
std::string ProgramCommandLine(const std::string& path) {
  return path.find_first_of(" \t") == std::string::npos ? path : '"' + path + '"';
}

}  // namespace

Job::Job(Platform& platform, const JobSettings& settings)
    : platform_(platform),
      settings_(settings),
      audioTracks_(platform),
      subtitleFiles_(platform),
      log_(platform),
      windows_(
          platform, limits_, [this](const std::string& line) { log_.Line(line); },
          [this] { return settings_.CloseRequested(); }) {}

void Job::Restart() {
  report_.Clear();
  results_ = {};
  step_.clear();
}

void Job::BeginStep(const std::string& name) {
  step_ = name;
  log_.Line("Step: " + name);
}

void Job::Pause(std::int32_t seconds) {
  log_.Line("Pause " + std::to_string(seconds) + " s");
  platform_.WaitSeconds(seconds);
  if (settings_.CloseRequested()) throw JobCancelled();
}

bool Job::StartLogged(const std::string& commandLine, int showStyle) {
  if (settings_.SessionEnding()) throw JobCancelled();
  log_.Line("Start: " + commandLine);
  if (platform_.StartProgram(commandLine, showStyle)) return true;
  log_.Line(ProgramName(commandLine) + ": could not be started");
  return false;
}

ProcessOutcome Job::RunTool(const std::string& commandLine, const std::string& toolPath) {
  if (settings_.SessionEnding()) throw JobCancelled();
  log_.Line("Run: " + commandLine);
  const std::uint64_t start = platform_.NowMilliseconds();
  const ProcessOutcome outcome = platform_.ShellWait(commandLine, kShowNormal, limits_.toolRunMs);
  const std::string ran = std::to_string(platform_.NowMilliseconds() - start) + " ms";
  const std::string tool = ProgramName(commandLine) + ": ";
  if (!outcome.started) {
    log_.Line(tool + "could not be started" +
              (outcome.startFailure.empty() ? "" : ": " + outcome.startFailure));
    report_.ToolNotStarted(toolPath);
    return outcome;
  }
  if (!outcome.waitFailure.empty()) {
    log_.Line(tool + "the wait for its end failed after " + ran + ": " + outcome.waitFailure);
    throw JobError("The wait for " + toolPath + " to finish failed" +
                   (outcome.stillRunning
                        ? " and it could not be stopped, so it may still be running"
                        : ", so it was stopped") +
                   ": " + outcome.waitFailure);
  }
  if (!outcome.finished) {
    const std::string limit = DurationText(limits_.toolRunMs);
    log_.Line(tool + "stopped after the time limit of " + limit + ", after " + ran);
    throw JobError(toolPath + " did not finish within the time limit of " + limit +
                   (outcome.stillRunning ? " and could not be stopped." : " and was stopped."));
  }
  log_.Line(tool + ExitCodeText(outcome.exitCode) + " after " + ran);
  // Whatever a crashed tool left behind is unfinished, even where the file
  // is there; a tool's own exit codes are for its stage to judge.
  if (outcome.Crashed()) report_.ToolCrashed(toolPath, StatusText(outcome.exitCode));
  return outcome;
}

bool Job::ExpectResult(const std::string& path) {
  const std::optional<std::uint64_t> size = platform_.FileSize(path);
  if (!size)
    report_.MissingResult(path);
  else if (*size == 0)
    report_.MissingResult(path, "empty");  // a tool that failed after opening its output
  return size && *size > 0;
}

void Job::WaitUntil(const CaptionPattern& caption, WindowIs state, std::uint32_t limitMs) {
  const bool present = state == WindowIs::Present;
  switch (windows_.Await(caption, present, limitMs)) {
    case WaitOutcome::Met:
      return;
    case WaitOutcome::Cancelled:
      throw JobCancelled();
    case WaitOutcome::TimedOut:
      throw JobError(WindowSentence(caption) +
                     (present ? " did not appear within " : " was still open after ") +
                     DurationText(limitMs) + ".");
  }
}

WindowHandle Job::ActivateOrFail(const CaptionPattern& caption, const std::string& purpose) {
  WindowHandle window = 0;
  switch (windows_.Activate(caption, window)) {
    case WindowAutomation::Activation::Done:
      return window;
    case WindowAutomation::Activation::NotFound:
      throw JobError(WindowSentence(caption) + " was not found, so " + purpose + ".");
    case WindowAutomation::Activation::Cancelled:
      throw JobCancelled();
    case WindowAutomation::Activation::Refused:
      break;
  }
  throw JobError(WindowSentence(caption) + " could not be brought to the front within " +
                 DurationText(limits_.toolRunMs) + ", so " + purpose + ".");
}

void Job::ClickThing(const CaptionPattern& caption, int control, KeyEffect effect) {
  const WindowHandle window =
      ActivateOrFail(caption, "its button " + std::to_string(control) + " could not be clicked");
  CheckLanded(windows_.Click(window, caption, control, effect, limits_.windowAppearMs),
              "the click on button " + std::to_string(control) + " of " + DescribeWindow(caption));
}

void Job::ClickToStart(const CaptionPattern& caption, int control, const CaptionPattern& work) {
  const WindowHandle window =
      ActivateOrFail(caption, "its button " + std::to_string(control) + " could not be clicked");
  CheckLanded(windows_.ClickToStart(window, caption, control, work, limits_.windowAppearMs),
              "the click on button " + std::to_string(control) + " of " + DescribeWindow(caption));
}

void Job::RunActive(const std::string& program, const CaptionPattern& caption, int showStyle) {
  if (!StartLogged(ProgramCommandLine(program), showStyle))
    throw JobError("Could not start " + program + ".");
  WaitUntil(caption, WindowIs::Present, limits_.windowAppearMs);
  Pause(keyPause_);
  ActivateOrFail(caption, "the keys meant for it could not be sent");
  Pause(keyPause_);
}

void Job::PressKeys(const std::string& keys, KeyEffect effect) {
  KeysOutcome outcome;
  try {
    outcome = windows_.Keys(keys, effect, limits_.windowAppearMs);
  } catch (const std::invalid_argument& notation) {
    throw JobError(notation.what());
  }
  CheckLanded(outcome, "the keys \"" + keys + "\"");
}

void Job::TypeText(const std::string& text) {
  CheckLanded(windows_.Text(text, limits_.windowAppearMs), "the text \"" + text + "\"");
}

void Job::CheckLanded(KeysOutcome outcome, const std::string& what) {
  const std::string within = " within " + DurationText(limits_.windowAppearMs) + ".";
  switch (outcome) {
    case KeysOutcome::Landed:
      return;
    case KeysOutcome::Cancelled:
      throw JobCancelled();
    case KeysOutcome::NoWindowReady:
      log_.Line("No window was ready for " + what);
      throw JobError("The window meant to take " + what + " was not in front and ready" + within);
    case KeysOutcome::NoWindowOpened:
      log_.Line("No window came up after " + what);
      throw JobError("No window came to the front after " + what + within);
    case KeysOutcome::NoMenuOpened:
      log_.Line("No menu opened after " + what);
      throw JobError("No menu opened after " + what + within);
    case KeysOutcome::WindowStayed:
      log_.Line("The window stayed after " + what);
      throw JobError("The window in front did not close after " + what + within);
    case KeysOutcome::WindowGone:
      log_.Line("The window was gone before " + what);
      throw JobError("The window meant to take " + what + " had closed.");
    case KeysOutcome::WorkNotStarted:
      log_.Line("The work did not start after " + what);
      throw JobError("Nothing showed that " + what + " started the tool's work" + within);
  }
}

}  // namespace quillon

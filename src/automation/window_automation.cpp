#include "app/frm_main.h"
#include "automation/key_notation.h"
#include "automation/window_wait.h"

namespace quillon {

WindowHandle FrmMain::FindCaption(const CaptionPattern& caption) {
  return FindWindowFor(platform_, caption);
}

// A tool's window shows up within a couple of minutes or not at all.
void FrmMain::WaitForCaption(const CaptionPattern& curCaption) {
  AwaitCaption(platform_, view_, log_, curCaption, true, Limits.windowAppearMs, Limits);
}

// Waiting for a window to go away is waiting for the tool's work to end.
void FrmMain::WaitForNotCaption(const CaptionPattern& curCaption) {
  AwaitCaption(platform_, view_, log_, curCaption, false, Limits.toolRunMs, Limits);
}

namespace {

// The window must be in front before a click or keys reach it; a refused
// activation would send the macro's keys to whichever window is in front.
WindowHandle ActivateOrFail(Platform& platform, const CaptionPattern& caption,
                            const std::string& purpose) {
  const WindowHandle window = FindWindowFor(platform, caption);
  std::string what = DescribeWindow(caption);
  what[0] = 'T';
  if (window == 0) throw JobError(what + " was not found, so " + purpose + ".");
  if (!platform.ActivateWindow(window))
    throw JobError(what + " could not be brought to the front, so " + purpose + ".");
  return window;
}

// A tool started by its path alone: the system splits an unquoted command
// line at its blanks, so a tool under "C:\Program Files\" would read
// "C:\Program" and "Files\...\x.exe" as two arguments. Quoted only where
// needed; a path without blanks goes as it is.
std::string ProgramCommandLine(const std::string& path) {
  return path.find_first_of(" \t") == std::string::npos ? path : '"' + path + '"';
}

}  // namespace

void FrmMain::ClickThing(const CaptionPattern& curCaption, int curChild) {
  const WindowHandle window = ActivateOrFail(
      platform_, curCaption, "its button " + std::to_string(curChild) + " could not be clicked");
  log_.Line("Click: button " + std::to_string(curChild) + " of " + DescribeWindow(curCaption));
  platform_.ClickControl(window, curChild);
}

void FrmMain::RunActive(const std::string& ShellCmd, const CaptionPattern& AppTit,
                        int WindowStyle) {
  if (!StartLogged(ProgramCommandLine(ShellCmd), WindowStyle))
    throw JobError("Could not start " + ShellCmd + ".");
  WaitForCaption(AppTit);
  Pause(PauseSeconds);
  ActivateOrFail(platform_, AppTit, "the keys meant for it could not be sent");
  Pause(PauseSeconds);
}

void FrmMain::PressKeys(const std::string& keys) {
  log_.Line("Keys: " + keys);
  platform_.SendKeys(ParseKeyNotation(keys));
}

void FrmMain::TypeText(const std::string& text) {
  log_.Line("Text: " + text);
  platform_.SendText(text);
}

}  // namespace quillon

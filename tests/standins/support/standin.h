#pragma once
// What every stand-in tool shares: the event log that tests read, the failure
// mode a test chose for the tool, and its file access. Stand-ins are test
// fixtures: they behave as the outside tools do where the program relies on
// it, and record everything they were given.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/text.h"
#include "support/files.h"

namespace standin {

// The program's own UTF-8 conversion and the tests' whole-file helpers.
using quillon::ToUtf8;
using quillon::ToWide;
using quillon::test::IsFile;
using quillon::test::IsFolder;
using quillon::test::ReadBytes;

std::wstring FromAnsi(std::string_view text);  // system ANSI code page

// Full path of the running executable, its folder (with a trailing
// backslash) and its file name ("BeSweet.exe").
std::wstring ExePath();
std::wstring ExeDir();
std::wstring ExeFileName();

// The tool's name in the log: the executable's file name without ".exe".
std::wstring ToolName();

// The log: QUILLON_STANDIN_LOG if set, else "standins.log" beside the exe.
std::wstring LogPath();

// Appends "<microseconds>\t<tool>\t<event>\t<detail>\n" (UTF-8) to the log.
// Control characters inside the detail are written as <0D>, <0A>, <09> so
// that one event stays one line.
void Log(std::wstring_view event, std::wstring_view detail = {});

// How the test wants this run of the tool to behave. Read from the text file
// "<exe file name>.mode" beside the exe: one mode word, optionally followed
// by "delay=<ms>" and "only=<text>" (the mode holds only for a run whose
// command line contains the text). No file means "normal".
enum class ModeKind {
  kNormal,
  kFail,
  kCrash,
  kHang,
  kPartial,
  kPartialCrash,  // writes part of its output, then crashes
  kNoWindow,
  kWrongWindow
};

struct Mode {
  ModeKind kind = ModeKind::kNormal;
  std::optional<DWORD> delay_ms;  // how long the tool's "work" takes, if given

  DWORD DelayOr(DWORD usual_ms) const { return delay_ms.value_or(usual_ms); }
};

// How long a tool's work takes when the mode file does not say.
inline constexpr DWORD kUsualDelayMs = 200;

Mode ReadMode();
std::wstring_view ModeName(ModeKind kind);

// Logs "exit <code>" and ends the process.
[[noreturn]] void Exit(int code);

// Logs "start" with the raw command line and the mode, then carries out the
// modes that need no tool-specific behaviour: fail (exit 2 at once) and crash
// (abnormal end without any dialog). Returns the mode for everything else.
Mode Start();

// Ends the process with an access violation's code (0xC0000005), without
// the error-reporting dialog that a real fault could bring up.
[[noreturn]] void Crash();

// Never returns: the "hang" of a console tool (tests kill it).
[[noreturn]] void SleepForever();

// The GUI tools' "nowindow": no window at all, for ten minutes at most.
[[noreturn]] void RunWithoutWindow();

// Creates or replaces the file; returns false (and logs an error) on failure.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// True when both paths name the same existing file (so "C:\x\A.exe" and
// "c:\X\a.exe", or two spellings of one folder, compare equal).
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// Whether the quoted program path that starts a command line names this
// very executable; logs an error when it does not.
bool IsOwnPath(const std::wstring& path);

// --- GUI tools ---

// The caption a GUI tool's main window gets: `caption`, or in the mode
// "wrongwindow" a caption that neither equals nor starts with it.
std::wstring MainCaption(const Mode& mode, const std::wstring& caption);

// Registers a window class (once per name) and creates a top-level window of
// it with the given client size and menu, still hidden: a window is shown
// (Show) only once its menu and controls are in place, so that a
// program that drives it as soon as the caption appears finds them all.
HWND CreateTopLevelWindow(const wchar_t* class_name, const std::wstring& caption, WNDPROC proc,
                          int width, int height, HWND owner = nullptr, HMENU menu = nullptr);
// Shows the window with the show style it was started with (the program
// passes "normal, activated").
void Show(HWND window, int show);

// A push button that is a direct child of `parent` with the given id.
HWND CreateButton(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height);

// The common file dialogs, owned by `owner`. They return the path the user
// typed or chose, or nothing when the dialog was cancelled. `default_ext` is
// added by the save dialog to a name typed without an extension.
std::optional<std::wstring> AskOpenPath(HWND owner, const wchar_t* title, const wchar_t* filter);
std::optional<std::wstring> AskSavePath(HWND owner, const wchar_t* title, const wchar_t* filter,
                                        const wchar_t* default_ext);

// Pumps messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace standin

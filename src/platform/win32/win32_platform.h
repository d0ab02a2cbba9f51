#pragma once
// The product's Platform. Its methods are defined in one file per concern:
// files.cpp, processes.cpp, other_windows.cpp, keyboard.cpp, shell.cpp,
// dialogs.cpp, time.cpp, power.cpp and settings_store.cpp. Texts cross as
// UTF-8 and meet the wide (W) calls inside.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/handles.h"

// <windows.h> spells CopyFile and DeleteFile as macros for their W calls,
// which would rename the seam's methods here and in every caller. The Win32
// layer names the W calls itself, so the macros go for good.
#undef CopyFile
#undef DeleteFile

namespace quillon {

// What other programs' threads have answered to the messages sent to them
// with a callback: round trips, and the clicks queued for each window. The
// callbacks share it with the platform that sent the messages, since a thread
// that answers late may do so after that platform is gone.
struct SentMessageAnswers {
  std::uint64_t lastRoundTrip = 0;     // numbered in the order they go out
  std::uint64_t lastAnsweredTrip = 0;  // the latest of them answered
  struct Clicks {
    std::uint64_t queued = 0;  // numbered in the order they go out
    std::uint64_t done = 0;    // the latest of them carried out
  };
  std::map<HWND, Clicks> clicks;
};

// A message box that closes itself (dialogs.cpp).
struct TimedBox;

class Win32Platform : public Platform {
 public:
  // Owner of the dialogs and message boxes, and the window whose Tab and
  // access keys keep working during waits. May stay null.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  // The lengths of the waits for other programs, as the last step set them.
  const WaitLimits& Limits() const { return limits_; }
  // The main window hears when the session is locked or its screen taken
  // away (true), and when the user is back (false).
  void SetSessionLocked(bool locked) { sessionLocked_ = locked; }

  std::string CommandLine() override;
  std::string ExecutableFolder() override;
  std::string WorkingFolder() override;

  bool FileExists(const std::string& path) override;
  std::optional<std::uint64_t> FileSize(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  std::vector<FolderEntry> ListFolder(const std::string& folder) override;
  void CopyFile(const std::string& from, const std::string& to) override;
  void DeleteFile(const std::string& path) override;
  void ClearReadOnly(const std::string& path) override;
  void CreateFolder(const std::string& path) override;
  void RemoveFolder(const std::string& path) override;
  void WriteAnsiTextFile(const std::string& path, const std::string& text) override;
  std::unique_ptr<HeldTextFile> HoldTextFile(const std::string& path) override;

  ProcessOutcome ShellWait(const std::string& commandLine, int showStyle,
                           std::uint32_t timeoutMs) override;
  bool StartProgram(const std::string& commandLine, int showStyle) override;
  void EndStartedPrograms() override;
  void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int showStyle) override;

  void WaitSeconds(std::int32_t seconds) override;
  std::uint64_t NowMilliseconds() override;
  void PumpMessagesFor(std::uint32_t ms) override;
  // The one wait of the Win32 side for other programs' windows: checks
  // `condition` at once and then every few milliseconds, processing this
  // thread's messages in between, until it holds (true) or `limitMs` has
  // passed (false). Once the program is told to quit, messages stay queued
  // for the outer loop and only the checks go on.
  bool PollUntil(std::uint32_t limitMs, const std::function<bool()>& condition);

  void BoundWaits(const WaitLimits& limits, std::uint64_t stepEndMs) override;
  bool DesktopTakesInput() override;
  std::uint64_t MsSinceUserInput() override;
  WindowHandle FindCaption(const std::string& caption) override;
  WindowHandle FindCaptionPrefix(const std::string& prefix) override;
  std::uint32_t WindowProcess(WindowHandle window) override;
  bool ActivateWindow(WindowHandle window) override;
  void FlashWindow(WindowHandle window) override;
  void ClickControl(WindowHandle window, int controlId) override;
  bool ClicksDone(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  bool WindowExists(WindowHandle window) override;
  bool ReadyForKeys(WindowHandle window) override;
  bool MenuOpen(WindowHandle window) override;
  bool SendKeys(WindowHandle window, const std::vector<KeyStroke>& keys) override;
  bool SendText(WindowHandle window, const std::string& text) override;
  bool TookInKeys(WindowHandle window) override;
  bool AnsiCanHold(const std::string& text) override;

  std::string BrowseForFolder(const std::string& title) override;
  std::string GetSpecialFolder(SpecialFolder folder) override;

  std::optional<std::string> ReadSetting(const std::string& app, const std::string& section,
                                         const std::string& key) override;
  void WriteSetting(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& value) override;

  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon,
                   std::uint32_t closeAfterMs) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;

  // --- the system around a job ---
  std::string ToolGroupProblem() override { return toolGroupProblem_; }
  void EndAllTools() override;
  bool WaitForStartedPrograms(std::uint32_t limitMs) override;
  ProcessOutcome RunCommand(const std::string& commandLine, int showStyle,
                            std::uint32_t timeoutMs) override;
  std::unique_ptr<AwakeScope> KeepAwake() override;

 private:
  // Asks the system to tell this thread when any program's window comes,
  // goes, is shown, hidden, retitled or brought to the front, so that waits
  // for other programs' windows wake at once instead of at their next poll.
  void WatchOtherWindows();
  // `ms`, or what is left of the current step when that is less.
  std::uint32_t WithinStep(std::uint32_t ms);
  // PollUntil for at most `limitMs`, and not past the current step's end.
  bool WaitInStep(std::uint32_t limitMs, const std::function<bool()>& condition);
  // True once `window`'s thread has answered a message sent to it now (it
  // reads its queue), within `limitMs`; false at once when the window is
  // gone or its thread is hung.
  bool RoundTrip(HWND window, std::uint32_t limitMs);
  // Gives `window` the keyboard focus in its own thread's input state.
  void GiveFocus(HWND window);
  // Sends `inputs` for `window` (keyboard.cpp); false when nothing went out.
  bool Send(HWND window, std::vector<INPUT> inputs, bool mayClose);
  // After a key that may have closed `reached`: brings back `owner`.
  void AwaitClosing(HWND reached, HWND owner);

  HWND mainWindow_ = nullptr;
  std::vector<UniqueWinEventHook> windowEvents_;
  // Set when the system reports a change to another program's window.
  bool windowsChanged_ = false;
  // What StartProgram started and may still be running.
  std::vector<UniqueHandle> started_;
  // The self-closing message box shown last of those still open.
  TimedBox* innermostTimedBox_ = nullptr;

  // The lengths of the waits for other programs, and the end of the step
  // they serve (0: no step bounds them).
  WaitLimits limits_;
  std::uint64_t stepEndMs_ = 0;
  // Set while the session is locked or disconnected.
  bool sessionLocked_ = false;
  std::shared_ptr<SentMessageAnswers> answers_ = std::make_shared<SentMessageAnswers>();
  // The thread the last keys went to, and how many inputs it has been sent
  // that it may not have read yet.
  DWORD keysThread_ = 0;
  std::size_t keysPending_ = 0;
  // When this program last sent input (GetTickCount), and the user's last
  // input before that: the system counts sent input as the user's own.
  DWORD ownInputTick_ = 0;
  DWORD userInputBeforeOwnTick_ = 0;
  bool sentInput_ = false;

  // --- the system around a job ---
  // Starts a program, in the tools' group when `asTool`.
  ProcessOutcome Run(const std::string& commandLine, int showStyle, std::uint32_t timeoutMs,
                     bool asTool);
  // The job object of the tools, made at the first tool; null when the
  // system refused one.
  HANDLE ToolGroup();
  UniqueHandle toolGroup_;
  bool toolGroupTried_ = false;
  std::string toolGroupProblem_;
  // The program a ShellWait waits for, while it does.
  HANDLE waitingFor_ = nullptr;
  // Windows is ending the session: no more tools.
  bool toolsEnded_ = false;
};

// Between the seam's plain window numbers and HWND.
inline HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}
inline WindowHandle FromHwnd(HWND window) {
  return reinterpret_cast<WindowHandle>(window);
}

// This program's own path, and the rules that read it and its command line.
std::wstring ExecutablePath();
// The folder part of a file path, without the separating backslash; a drive
// root keeps its own ("C:\prog.exe" gives "C:\"). "" when there is none.
std::wstring FolderOfPath(std::wstring_view path);
// "C:\tools\Quillon.exe" gives "Quillon".
std::wstring BaseNameWithoutExtension(std::wstring_view path);
// Everything after the program's own name in a raw Windows command line. The
// name is found the way CreateProcess finds it: a quoted name ends at the
// next quote, an unquoted one at the first blank or tab. The blanks that
// separate it from the arguments are skipped; the rest comes back verbatim.
std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine);

}  // namespace quillon

#pragma once
// The product's Platform. Its methods are defined in one file per concern:
// files.cpp, processes.cpp, windows_and_input.cpp, shell.cpp, dialogs.cpp,
// time.cpp, power.cpp and settings_store.cpp. Texts cross as UTF-8 and meet the wide (W)
// calls inside.

#include <windows.h>

#include <functional>
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

class Win32Platform : public Platform {
 public:
  // Owner of the dialogs and message boxes, and the window whose Tab and
  // access keys keep working during waits. May stay null.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }

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

  WindowHandle FindCaption(const std::string& caption) override;
  WindowHandle FindCaptionPrefix(const std::string& prefix) override;
  bool ActivateWindow(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  bool WindowExists(WindowHandle window) override;
  bool ReadyForKeys(WindowHandle window) override;
  bool MenuOpen(WindowHandle window) override;
  void ClickControl(WindowHandle window, int controlId) override;
  void SendKeys(const std::vector<KeyStroke>& keys) override;
  void SendText(const std::string& text) override;
  bool TookInKeys(WindowHandle window) override;

  std::string BrowseForFolder(const std::string& title) override;
  std::string GetSpecialFolder(int csidl) override;

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

  HWND mainWindow_ = nullptr;
  std::vector<UniqueWinEventHook> windowEvents_;
  // What StartProgram started and may still be running.
  std::vector<UniqueHandle> started_;

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
// Full path of this program's executable file.
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

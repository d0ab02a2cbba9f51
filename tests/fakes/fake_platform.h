#pragma once
// An in-memory stand-in for the operating system: a case-insensitive file
// system that keeps Windows paths, a virtual clock, scripted windows and a
// record of every call that changes something, in order.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace quillon::testing {

class FakePlatform : public Platform {
 public:
  // ---- what the fake world looks like ----
  std::string commandLineText;
  std::string exeFolder = "C:\\App";
  std::string workingFolder = "C:\\Work";
  std::string appDataFolder = "C:\\Users\\me\\AppData\\Roaming";
  // The local application-data folder; "" (the default) means none, so a
  // job keeps no log unless a test gives it one.
  std::string localAppDataFolder;
  std::string browseAnswer;                             // what the folder picker returns
  std::deque<std::optional<std::string>> inputAnswers;  // InputBox answers, in order
  std::map<std::string, std::string> settings;          // "app\section\key" -> value
  std::uint64_t now = 0;                                // virtual milliseconds

  // Every call that acts on the world, in order, e.g. "ShellWait(\"C:\a.exe\" x,1)".
  // Writes of the program's own text files (the job log) are left out: the
  // job's course is the same with and without a log.
  std::vector<std::string> calls;

  // ---- hooks that script the world's reactions ----
  // Runs instead of a started program; the default starts any program whose
  // file exists (the first word of the command line, quoted or not) and
  // lets it end at once with exit code 0.
  std::function<ProcessOutcome(const std::string& cmd, int style)> onShellWait;
  std::function<bool(const std::string& cmd, int style)> onStartProgram;
  std::function<void(const std::vector<KeyStroke>& keys)> onKeys;
  std::function<void(const std::string& text)> onText;
  std::function<void(WindowHandle window, int controlId)> onClick;
  std::function<void(const std::string& text, const std::string& title, MessageIcon icon)>
      onMessage;
  // Runs inside every WaitSeconds, as window messages would.
  std::function<void()> onPause;

  // ---- building the file system ----
  void AddFile(const std::string& path, const std::string& content = "", bool hidden = false,
               bool system = false);
  void AddFolder(const std::string& path);  // and its parents
  void LockFile(const std::string& path) { locked_.insert(Key(path)); }
  // The read-only attribute, as a file copied off a disc carries it: the
  // file cannot be deleted or replaced until it goes.
  void SetReadOnly(const std::string& path, bool on = true);
  bool ReadOnly(const std::string& path) const;
  // Another program holds `path` open for writing (another copy's job log).
  void HoldFile(const std::string& path) { held_.insert(Key(path)); }
  std::optional<std::string> FileContent(const std::string& path) const;
  // Every file below `folder`, with its path as stored, sorted.
  std::vector<std::string> FilesBelow(const std::string& folder) const;

  // ---- scripted windows ----
  WindowHandle menuOpenIn = 0;  // the window whose menu is open
  bool keysTakenIn = true;      // the window in front has read the keys sent to it
  // A window of the program `process`; the tools' windows share the default.
  static constexpr std::uint32_t kToolProcess = 1;
  WindowHandle AddWindow(const std::string& caption, std::uint32_t process = kToolProcess);
  void RemoveWindow(WindowHandle window);
  void RetitleWindow(WindowHandle window, const std::string& caption);
  // A window still being built takes no keys yet: it is in front but not
  // ready for them until this turns it on again.
  void SetReadyForKeys(WindowHandle window, bool ready);
  std::string WindowCaption(WindowHandle window) const;
  // The thread of `window` reads no messages until `untilMs`: it takes no
  // keys, and the clicks queued for it wait until then.
  void Busy(WindowHandle window, std::uint64_t untilMs);

  // ---- Windows' rules for input, each switched on by a test ----
  // The session is locked, or a secure desktop shows: nothing comes to the
  // front and no input reaches a program.
  bool desktopLocked = false;
  // The user works in another program until then: Windows keeps the front
  // for it and refuses to bring any other window forward.
  std::uint64_t userActiveUntil = 0;
  // Modifier keys the user holds ("Ctrl"), until the clock reaches
  // `heldKeysUntil`; sent keys would combine with them.
  std::string heldKeys;
  std::uint64_t heldKeysUntil = 0;
  // Runs once, right before the next input would go out: a window that comes
  // forward between the job's last look and its keys.
  std::function<void()> beforeInput;
  // Every input that reached a window, as "<caption> <- <keys or text>".
  std::vector<std::string> received;
  // Runs `action` once the virtual clock reaches `atMs`.
  void At(std::uint64_t atMs, std::function<void()> action);

  // The calls whose text begins with one of `prefixes`, in order.
  std::vector<std::string> Calls(const std::vector<std::string_view>& prefixes) const;
  // Position of the first call that begins with `prefix`; -1 when none.
  long Position(std::string_view prefix) const;

  // ---- Platform ----
  std::string CommandLine() override { return commandLineText; }
  std::string ExecutableFolder() override { return exeFolder; }
  std::string WorkingFolder() override { return workingFolder; }
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
  void EndStartedPrograms() override { calls.push_back("EndStartedPrograms"); }
  void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, int showStyle) override;
  void WaitSeconds(std::int32_t seconds) override;
  std::uint64_t NowMilliseconds() override { return now; }
  void PumpMessagesFor(std::uint32_t ms) override;
  void BoundWaits(const WaitLimits& limits, std::uint64_t) override { limits_ = limits; }
  bool DesktopTakesInput() override { return !desktopLocked; }
  std::uint64_t MsSinceUserInput() override;
  WindowHandle FindCaption(const std::string& caption) override;
  WindowHandle FindCaptionPrefix(const std::string& prefix) override;
  std::uint32_t WindowProcess(WindowHandle window) override;
  // Refused while the desktop is locked or the user works elsewhere, unless
  // the window is in front already.
  bool ActivateWindow(WindowHandle window) override;
  void FlashWindow(WindowHandle window) override;
  // The window in front is the newest, or the last activated, that is still
  // there.
  WindowHandle ForegroundWindow() override;
  bool WindowExists(WindowHandle window) override { return windows_.count(window) > 0; }
  bool ReadyForKeys(WindowHandle window) override;
  bool MenuOpen(WindowHandle window) override { return window == menuOpenIn; }
  void ClickControl(WindowHandle window, int controlId) override;
  bool ClicksDone(WindowHandle window) override { return !clicksQueued_.contains(window); }
  // Sent only while `window` is in front and takes input, after the user's
  // held keys have been waited for and let go.
  bool SendKeys(WindowHandle window, const std::vector<KeyStroke>& keys) override;
  bool SendText(WindowHandle window, const std::string& text) override;
  bool TookInKeys(WindowHandle window) override;
  // As code page 1252 would: Latin-1 characters only.
  bool AnsiCanHold(const std::string& text) override;
  std::string BrowseForFolder(const std::string& title) override;
  std::string GetSpecialFolder(SpecialFolder folder) override;
  std::optional<std::string> ReadSetting(const std::string& app, const std::string& section,
                                         const std::string& key) override;
  void WriteSetting(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& value) override;
  // "ShowMessage(Quillon,error,The job ...)"; a box that closes itself says
  // when: "ShowMessage(Quillon,none,closes after 60000 ms,Mux All 0)".
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon,
                   std::uint32_t closeAfterMs) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;

  // --- the system around a job ---
  std::string toolGroupProblem;  // what ToolGroupProblem answers
  // When the programs StartProgram started have ended, on the virtual clock.
  std::uint64_t startedProgramsEndAt = 0;
  // How many KeepAwake objects live now, and how many were ever made.
  int awakeHolds = 0;
  int awakeHoldsMade = 0;
  // Runs instead of a command of the program's own; the default lets it end
  // at once with exit code 0.
  std::function<ProcessOutcome(const std::string& cmd, int style)> onRunCommand;
  void UnlockFile(const std::string& path) { locked_.erase(Key(path)); }
  std::string ToolGroupProblem() override { return toolGroupProblem; }
  void EndAllTools() override { calls.push_back("EndAllTools"); }
  bool WaitForStartedPrograms(std::uint32_t limitMs) override;
  ProcessOutcome RunCommand(const std::string& commandLine, int showStyle,
                            std::uint32_t timeoutMs) override;
  std::unique_ptr<AwakeScope> KeepAwake() override;

  // Renders keys in the program's key notation ("%{F4}", "{DOWN}").
  static std::string KeyText(const std::vector<KeyStroke>& keys);
  static std::string IconName(MessageIcon icon);

 private:
  struct File {
    std::string path;
    std::string content;
    bool hidden = false;
    bool system = false;
    bool readOnly = false;
  };
  struct Window {
    std::string caption;
    std::uint32_t process = kToolProcess;
    bool readyForKeys = true;
    std::uint64_t busyUntil = 0;
  };
  bool Busy(WindowHandle window) const;
  // Whether input for `window` would reach it now; lets go of held keys.
  bool InputReaches(WindowHandle window);
  static std::string Key(const std::string& path);
  static std::string Parent(const std::string& key);
  void AdvanceTo(std::uint64_t ms);
  bool ProgramExists(const std::string& commandLine);
  void CheckWritable(const std::string& path, const std::string& what);

  std::map<std::string, File> files_;           // by upper-case path
  std::map<std::string, std::string> folders_;  // upper-case path -> stored path
  std::set<std::string> locked_;
  std::set<std::string> held_;
  std::map<WindowHandle, Window> windows_;
  WindowHandle nextWindow_ = 0x100;
  std::vector<WindowHandle> front_;  // most recently added or activated last
  std::multimap<std::uint64_t, std::function<void()>> timeline_;
  std::set<WindowHandle> clicksQueued_;
  WaitLimits limits_;
};

}  // namespace quillon::testing

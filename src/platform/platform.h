#pragma once
// The seam between the program logic and the operating system. Everything the
// logic does to the world (files, processes, windows, keys, time, the settings
// store, dialogs) goes through this interface; the Win32 build implements it,
// the tests use a fake. Texts are UTF-8; paths are Windows paths
// ("D:\Rips\Film\") composed by the logic itself.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/wait_limits.h"

namespace quillon {

// A top-level window; 0 means "no window".
using WindowHandle = std::uintptr_t;

// An operation of the system that failed. The message names the path or
// program involved and the system's reason, ready to be shown to the user.
class PlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file operation that failed because another program has the file open
// (a sharing or lock violation, or access denied): often only for a moment,
// as when a virus scanner or the search indexer reads a fresh file.
class FileHeldError : public PlatformError {
 public:
  using PlatformError::PlatformError;
};

struct FolderEntry {
  std::string name;  // plain name, letter case as on disk
  bool isFolder = false;
  bool hidden = false;
  bool system = false;
};

enum class MessageIcon { None, Information, Warning, Error };

// The shell's per-user folders the program uses: the subtitle editor's
// settings live in AppData, the job log in LocalAppData.
enum class SpecialFolder { AppData, LocalAppData };

// One key press: a Windows virtual-key code, optionally with Alt held.
struct KeyStroke {
  std::uint16_t virtualKey = 0;
  bool alt = false;
  bool operator==(const KeyStroke&) const = default;
};

// Exit codes from here up are the system's exception statuses: the program
// did not end by itself but crashed (0xC0000005, an access violation).
inline constexpr std::uint32_t kFirstExceptionStatus = 0xC0000000u;

struct ProcessOutcome {
  ProcessOutcome() = default;
  ProcessOutcome(bool wasStarted, bool hasFinished, std::uint32_t code)
      : started(wasStarted), finished(hasFinished), exitCode(code) {}

  bool started = false;  // false: the program could not be started
  // Not started: why, in the system's words (may be empty).
  std::string startFailure;
  // false: started but still running when the time limit ran out, or
  // waiting for its end failed
  bool finished = false;
  std::uint32_t exitCode = 0;
  // Not empty: waiting for the program's end failed, for this reason in the
  // system's words.
  std::string waitFailure;
  // Not finished, and ending it failed too: it may still be running.
  bool stillRunning = false;

  bool Crashed() const { return finished && exitCode >= kFirstExceptionStatus; }
};

// A text file of the program's own (the job log), held open for writing.
class HeldTextFile {
 public:
  virtual ~HeldTextFile() = default;
  // Adds UTF-8 bytes to the end, as given, no code-page conversion. Throws
  // PlatformError when they cannot be written.
  virtual void Append(const std::string& utf8Text) = 0;
};

// Keeps the computer from going to sleep on its own for as long as it lives.
class AwakeScope {
 public:
  virtual ~AwakeScope() = default;
};

// Show styles for started programs.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;

// <windows.h> makes CopyFile and DeleteFile macros (CopyFileW, DeleteFileW);
// the seam keeps its own names whatever a file included before.
#pragma push_macro("CopyFile")
#pragma push_macro("DeleteFile")
#undef CopyFile
#undef DeleteFile

class Platform {
 public:
  virtual ~Platform() = default;

  // --- the program itself ---
  // Everything the program was started with after its own name.
  virtual std::string CommandLine() = 0;
  // Folder of the program's executable file, as the system gives it.
  virtual std::string ExecutableFolder() = 0;
  // The working folder at start-up, without a trailing backslash.
  virtual std::string WorkingFolder() = 0;

  // --- file system ---
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // The size of a file in bytes; nullopt when there is no such file.
  virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
  // Entries of a folder (no "." or ".."); empty when the folder cannot be read.
  virtual std::vector<FolderEntry> ListFolder(const std::string& folder) = 0;
  // The operations below throw PlatformError when they fail.
  // Replaces `to`, unless it is read-only; the copy keeps the attributes of
  // `from`, read-only included.
  virtual void CopyFile(const std::string& from, const std::string& to) = 0;
  // Refuses a read-only file, as the system does.
  virtual void DeleteFile(const std::string& path) = 0;
  // Takes the read-only attribute off a file; a file without it stays as it is.
  virtual void ClearReadOnly(const std::string& path) = 0;
  virtual void CreateFolder(const std::string& path) = 0;  // fails when it already exists
  virtual void RemoveFolder(const std::string& path) = 0;  // fails when not empty
  // Writes `text` in the system's ANSI code page, replacing any file of that
  // name. Fails, writing nothing, when the code page cannot hold the text.
  virtual void WriteAnsiTextFile(const std::string& path, const std::string& text) = 0;
  // Makes `path` an empty file and holds it for writing until the returned
  // object goes. Meanwhile readers may read it, and another copy of this
  // program that asks to hold it gets nullptr instead of replacing it.
  // Throws PlatformError for any other failure.
  virtual std::unique_ptr<HeldTextFile> HoldTextFile(const std::string& path) = 0;

  // --- processes ---
  // Starts `commandLine` with `showStyle` and blocks until it ends or
  // `timeoutMs` passes (then the process is ended). Meanwhile it answers
  // only what other programs send to the program's windows; nothing posted
  // is handled (no repaint, no timers, no clicks). A program that cannot be
  // started returns at once. A wait that fails ends the process too, since
  // nothing would wait for it any more.
  virtual ProcessOutcome ShellWait(const std::string& commandLine, int showStyle,
                                   std::uint32_t timeoutMs) = 0;
  // Starts a program without waiting; false when it cannot be started.
  virtual bool StartProgram(const std::string& commandLine, int showStyle) = 0;
  // Ends the programs that StartProgram started and that still run. A job
  // that stops half-way leaves no tool behind, hung or waiting for keys.
  virtual void EndStartedPrograms() = 0;
  // The shell's "open" of a document or batch file; the result is not looked at.
  virtual void ShellOpen(const std::string& verb, const std::string& file,
                         const std::string& parameters, const std::string& folder,
                         int showStyle) = 0;

  // --- time ---
  // Waits whole seconds while the program keeps processing its messages.
  virtual void WaitSeconds(std::int32_t seconds) = 0;
  // A monotonic clock in milliseconds.
  virtual std::uint64_t NowMilliseconds() = 0;
  // Sleeps up to `ms` while processing the program's messages; returns
  // sooner when another program's window comes, goes or changes.
  virtual void PumpMessagesFor(std::uint32_t ms) = 0;

  // --- other programs' windows and the keyboard ---
  // The waits inside the calls below take their lengths from `limits`, and
  // none goes on past `stepEndMs` (NowMilliseconds): the step they serve
  // has a real bound.
  virtual void BoundWaits(const WaitLimits& limits, std::uint64_t stepEndMs) = 0;
  // Whether input can reach programs now: false while the session is locked
  // or a secure desktop shows (a UAC prompt, Ctrl+Alt+Del). Keys sent then go
  // nowhere, and no window can come to the front.
  virtual bool DesktopTakesInput() = 0;
  // How long ago the user last pressed a key or moved the mouse.
  virtual std::uint64_t MsSinceUserInput() = 0;
  // Whole-title, case-insensitive match among top-level windows.
  virtual WindowHandle FindCaption(const std::string& caption) = 0;
  // First top-level window whose title begins with `prefix` (case-insensitive).
  virtual WindowHandle FindCaptionPrefix(const std::string& prefix) = 0;
  // The program (process id) that owns `window`; 0 when it is gone.
  virtual std::uint32_t WindowProcess(WindowHandle window) = 0;
  // Brings the window to the foreground with the keyboard focus; false when
  // the window is gone or the system refused. A refusal is not forced: the
  // system keeps the front for the program the user works in.
  virtual bool ActivateWindow(WindowHandle window) = 0;
  // Flashes the window's taskbar button: the job asks the user for the front.
  virtual void FlashWindow(WindowHandle window) = 0;
  // Queues a button click for the direct child `controlId` of `window`; the
  // tool carries it out on its own thread once it reads its messages, however
  // busy it is now. A missing control is not an error.
  virtual void ClickControl(WindowHandle window, int controlId) = 0;
  // Whether the tool has carried out every click queued for `window`.
  virtual bool ClicksDone(WindowHandle window) = 0;
  // The window in front, the one typed keys go to; 0 when only the desktop is.
  virtual WindowHandle ForegroundWindow() = 0;
  virtual bool WindowExists(WindowHandle window) = 0;
  // Whether keys sent now would land in `window`: it is in front, visible
  // and enabled (a window whose modal dialog is still being built is not),
  // one of its thread's windows has the keyboard focus, and that thread has
  // handled everything sent to it before (one message round trip, which a
  // hung thread fails at once).
  virtual bool ReadyForKeys(WindowHandle window) = 0;
  // Whether the thread of `window` has a menu open (its menu loop runs).
  virtual bool MenuOpen(WindowHandle window) = 0;
  // Injects keys / literal characters for `window`, in order behind whatever
  // was sent before, without waiting for the window to read them. They go
  // out only while `window`, or a window of the same program that it owns
  // (its menu, its dialog), is in front with the keyboard focus inside it,
  // as checked right before they go: false means nothing was sent. Shift,
  // Ctrl, Alt and Win that the user still holds after a short wait are let
  // go first, so the keys mean what they say.
  virtual bool SendKeys(WindowHandle window, const std::vector<KeyStroke>& keys) = 0;
  virtual bool SendText(WindowHandle window, const std::string& text) = 0;
  // Whether the thread of `window` has read every key and character sent to
  // it so far; false when it does not within a few seconds.
  virtual bool TookInKeys(WindowHandle window) = 0;
  // Whether every character of `text` has a place in the system's ANSI code
  // page, the only characters the outside tools' windows can show.
  virtual bool AnsiCanHold(const std::string& text) = 0;

  // --- shell ---
  // The shell's folder picker, modal to the main window; "" when cancelled.
  // The path comes whole, however long.
  virtual std::string BrowseForFolder(const std::string& title) = 0;
  // Path of a shell special folder, without trailing backslash; "" if none.
  virtual std::string GetSpecialFolder(SpecialFolder folder) = 0;

  // --- the per-user settings store ---
  virtual std::optional<std::string> ReadSetting(const std::string& app, const std::string& section,
                                                 const std::string& key) = 0;
  virtual void WriteSetting(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) = 0;

  // --- dialogs, modal to the main window ---
  // An OK box. With `closeAfterMs` above 0 it closes itself after that long,
  // and the call returns as if OK had been pressed: no one may be there.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon,
                           std::uint32_t closeAfterMs) = 0;
  // Returns the text of the field after OK, or nullopt after Cancel.
  virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText) = 0;

  // --- the system around a job ---
  // Every program that ShellWait and StartProgram start joins one group that
  // the system ends when this program ends, however it ends (a crash, Task
  // Manager), so no tool outlives it. "" while that works; otherwise why a
  // program could not join (this program runs in another program's group
  // that forbids it): it then runs outside the group.
  virtual std::string ToolGroupProblem() = 0;
  // Windows is ending the session: ends every program ShellWait and
  // StartProgram started, the one a ShellWait waits for included, and starts
  // none after that.
  virtual void EndAllTools() = 0;
  // Waits, processing messages, until the programs StartProgram started have
  // ended, at most `limitMs`; false when one still runs.
  virtual bool WaitForStartedPrograms(std::uint32_t limitMs) = 0;
  // Runs a command of the program's own, not a tool: it stays outside the
  // tools' group and may outlive the program. Waits for its end as ShellWait
  // does, but leaves it running when `timeoutMs` passes.
  virtual ProcessOutcome RunCommand(const std::string& commandLine, int showStyle,
                                    std::uint32_t timeoutMs) = 0;
  // The computer does not go to sleep on its own while the object lives; the
  // display may still go dark.
  virtual std::unique_ptr<AwakeScope> KeepAwake() = 0;
};

#pragma pop_macro("DeleteFile")
#pragma pop_macro("CopyFile")

}  // namespace quillon

#pragma once
// End-to-end test support: running the real Quillon.exe (under Wine, or on
// Windows) and looking at what it leaves behind.
//
// A test typically
//   1. makes a TestFolder (a fresh folder under %TEMP%) and installs a copy of
//      the built Quillon.exe into it, optionally with the stand-in tools
//      folder beside it (tools\ laid out as the program expects it);
//   2. starts the copy with a QuillonProcess (command line, extra environment
//      such as QUILLON_WAIT_LIMITS or QUILLON_STANDIN_LOG);
//   3. finds the main window and drives it with the helpers of
//      window_probe.h (controls, message boxes, the "WaitForKey" box, keys);
//   4. waits, always with a time limit, for the program's end and its exit
//      code. A program still running when its QuillonProcess goes away is
//      ended, so a failed test leaves nothing behind.
// The settings store (HKCU) is shared by every test of one Wine prefix:
// StoredPauseScope puts back what a test changed.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "support/child_process.h"
#include "support/scratch_folder.h"
#include "support/wait.h"

namespace quillon::e2e {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// Time limits shared by the tests; generous for a loaded machine under Wine.
inline constexpr Ms kStartLimit = 30s;   // Quillon.exe's window appears
inline constexpr Ms kDialogLimit = 15s;  // a message box or dialog appears
inline constexpr Ms kJobLimit = 60s;     // a short job ends
inline constexpr Ms kExitLimit = 20s;    // the program ends after its window closed

// Checks `ready` until it holds or `limit` has passed (a short sleep between
// checks); true when it held. Checks once more at the end.
using test::WaitUntil;

// The built Quillon.exe and the stand-in tools folder of this build, as
// Windows paths.
std::wstring BuiltQuillonExe();
std::wstring BuiltToolsFolder();

// A fresh, empty folder for one test, removed with everything in it at the
// end (kept when QUILLON_E2E_KEEP is set, for a look after a failure).
class TestFolder {
 public:
  explicit TestFolder(std::wstring_view name);
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  ~TestFolder();

  // Ends in a backslash.
  const std::wstring& Path() const { return folder_.Path(); }
  std::wstring operator/(std::wstring_view relative) const {
    return Path() + std::wstring(relative);
  }
  // Leaves the folder in place at the end, for a look after a failure.
  void Keep();

  // Copies the built Quillon.exe into the folder, or into the folder `below`
  // inside it ("Program Files\Quillon"); returns its path.
  std::wstring InstallQuillon(std::wstring_view below = {}) const;
  // Copies the stand-in tools folder to tools\ (with its xt.txt marker),
  // beside the program installed `below`.
  void InstallTools(std::wstring_view below = {}) const;
  // An empty tools\ folder holding only the set-up marker xt.txt, so that
  // start-up does not open the set-up batch.
  void InstallToolsMarkerOnly() const;

  std::wstring MakeFolder(std::wstring_view relative) const;
  void WriteFile(std::wstring_view relative, std::string_view bytes) const;
  // The file's bytes; nothing when it cannot be read.
  std::optional<std::string> ReadFile(std::wstring_view relative) const;
  bool FileExists(std::wstring_view relative) const;
  bool FolderExists(std::wstring_view relative) const;
  // Names in a subfolder (no "." or ".."), sorted.
  std::vector<std::wstring> List(std::wstring_view relative) const;

 private:
  std::wstring InstallFolder(std::wstring_view below) const;

  test::ScratchFolder folder_;
};

struct LaunchOptions {
  // Everything after the program's own (quoted) path; "" for none.
  std::wstring arguments;
  // Variables added to (or replacing those of) this process's environment.
  std::vector<std::pair<std::wstring, std::wstring>> environment;
};

// One run of a program. Ends it when destroyed while still running.
class QuillonProcess {
 public:
  QuillonProcess(const std::wstring& exePath, const LaunchOptions& options = {});

  DWORD Id() const { return process_.Id(); }
  bool Running() const { return process_.Running(); }
  // The exit code once the program has ended, or nothing after `limit`.
  std::optional<DWORD> WaitForExit(Ms limit) const { return process_.WaitForExit(limit); }
  // Ends the program at once (a test's last resort).
  void Kill() const { process_.Kill(); }

  // The program's visible top-level window of class `windowClass` (any
  // class when empty) whose title is `title` (any title when empty).
  HWND FindTopLevel(std::wstring_view windowClass, std::wstring_view title) const;
  // The main window with its resting caption "Quillon v1.0", or null.
  HWND WaitForMainWindow(Ms limit = kStartLimit) const;

 private:
  test::ChildProcess process_;
};

// The tools as the program finds them under its tools\ folder.
inline constexpr wchar_t kUnRarTool[] = L"UnRAR.exe";
inline constexpr wchar_t kSubToSupTool[] = L"SubToSup\\SubToSup.exe";
inline constexpr wchar_t kDvdSubEditTool[] = L"DVDSubEdit1.34\\DVDSubEdit.exe";
inline constexpr wchar_t kBeSweetTool[] = L"BeSweetv1.5b31\\BeSweet.exe";
inline constexpr wchar_t kAviMuxTool[] = L"AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe";

// A job's launch: everything after the program's path, the wait limits
// ("<appearMs>,<runMs>[,<boxMs>]") and where the stand-ins log.
LaunchOptions JobLaunch(std::wstring arguments, std::wstring waitLimits, std::wstring standinLog);

// The account of the last job that the program keeps.
std::wstring JobLogFile();

// The class of Quillon's main window.
inline constexpr wchar_t kMainWindowClass[] = L"QuillonMainWindow";
inline constexpr wchar_t kRestingCaption[] = L"Quillon v1.0";

// The keystroke pause in the settings store:
// HKCU\Software\VB and VBA Program Settings\Quillon\Options, value WaitForKey.
std::optional<std::wstring> ReadStoredPause();
void WriteStoredPause(const std::optional<std::wstring>& value);  // nothing: delete it

// Remembers the stored pause and puts it back at the end of the scope.
class StoredPauseScope {
 public:
  StoredPauseScope() : saved_(ReadStoredPause()) {}
  StoredPauseScope(const StoredPauseScope&) = delete;
  StoredPauseScope& operator=(const StoredPauseScope&) = delete;
  ~StoredPauseScope() { WriteStoredPause(saved_); }

 private:
  std::optional<std::wstring> saved_;
};

}  // namespace quillon::e2e

#pragma once
// The fault matrix: whole jobs of the real Quillon.exe under faults and bad
// input, each judged by what the user sees (message boxes, exit code), what
// is left in the mux folder, and whether every file of the source folder is
// still byte for byte what it was. Each case is a test of its own.

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/quillon_harness.h"
#include "support/quillon_run.h"
#include "support/source_folder.h"
#include "support/standin_log.h"
#include "support/window_probe.h"

namespace quillon::fault {

using e2e::Ms;
using namespace std::chrono_literals;

// ---- the verdict of one case ----

class Verdict {
 public:
  void Check(bool ok, const std::string& why) {
    if (!ok) failures_.push_back(why);
  }
  void Fail(const std::string& why) { failures_.push_back(why); }
  // What the user saw, in the order it happened ("error box: ...", "exit code 3").
  void Saw(const std::string& what) { seen_.push_back(what); }
  // Shown under a failed case's report, for finding out why.
  void Note(const std::string& detail) { notes_.push_back(detail); }
  bool Passed() const { return failures_.empty(); }
  std::string SeenText() const;
  // What failed, what the user saw, then the notes.
  std::string Report() const;

 private:
  std::vector<std::string> failures_;
  std::vector<std::string> seen_;
  std::vector<std::string> notes_;
};

struct Case {
  std::string name;
  // Runs the case in the test's folder, with Quillon.exe not yet installed.
  std::function<void(e2e::QuillonHarness&, Verdict&)> run;
};

// ---- the tools ----

// A tool by its path below tools\ (e2e::kSubToSupTool, ...).
using Tool = std::wstring_view;
using e2e::kAviMuxTool;
using e2e::kBeSweetTool;
using e2e::kDvdSubEditTool;
using e2e::kSubToSupTool;
using e2e::kUnRarTool;

// ---- source folders ----

enum class Fixture {
  Full,       // movie.avi, 0x80.ac3, 0x81.ac3, subtitles\ with two streams
  OneStream,  // as Full, with one subtitle stream
  AudioOnly,  // movie.avi, 0x80.ac3, 0x81.ac3
  Empty,      // nothing at all
};
void Fill(const e2e::SourceFolder& source, Fixture fixture);

// The options of a job, as the batch fields 2 to 8 or the window's controls.
struct Settings {
  bool mp3 = true;
  bool srt = true;
  bool subMux = true;
  bool delTemp = true;
  bool mux = true;
};
// Fields 2 to 8: "1?128?1?1?1?0?1" (never a shut-down).
std::wstring BatchFields(const Settings& settings);

// ---- files ----

// Every file below a folder: path relative to it -> bytes.
using Snapshot = std::map<std::wstring, std::string>;
Snapshot TakeSnapshot(const std::wstring& folder);
// What changed between two snapshots of the source folder, apart from what
// the job may add: files below mux\ (when the folder had none) and the named
// files beside the movie.
std::vector<std::string> SnapshotChanges(const Snapshot& before, const Snapshot& after,
                                         bool muxAllowed,
                                         const std::vector<std::wstring>& allowedNew);

// A file held open without sharing, as another program could hold it.
class HeldFile {
 public:
  HeldFile() = default;
  // Opens (creating when missing) `path` for reading and writing, shared with
  // nobody. Throws when it cannot.
  explicit HeldFile(const std::wstring& path);
  void Release() { handle_.Reset(); }
  bool Held() const { return handle_.Valid(); }

 private:
  UniqueHandle handle_;
};

// Makes a file or folder (with everything in it) unwritable even for the
// system's administrator: the Linux immutable attribute, set through Wine's
// Unix launcher. Wine itself ignores the read-only attribute for root, so
// this is the one way to a folder that truly refuses writes here.
bool SetUnwritable(const std::wstring& path, bool on);

using e2e::RemoveTree;

// Puts `text`'s placeholders in: {source} (ends in "\"), {film} (the same
// without the backslash), {mux}, {tools}, {folder} (the case's folder),
// {log} (the program's job log).
struct Places {
  std::wstring folder;
  std::wstring source;
  std::wstring tools;
};
std::wstring Expand(std::wstring_view text, const Places& places);
// Whether `shown` equals `expected`, where "{*}" in `expected` stands for any
// text (trailing line breaks ignored, as message boxes differ there).
bool TextMatches(std::wstring_view shown, std::wstring_view expected);
// A box's text on one line, the case folder shortened to "<case>\".
std::string OneLine(std::wstring_view text, const Places& places);

// ---- one job ----

enum class Launch {
  Batch,        // the batch command line with the settings
  Interactive,  // the folder alone on the command line; the settings clicked; Start
};

struct ExpectedBox {
  e2e::BoxIcon icon;
  std::wstring text;  // placeholders and "{*}" allowed
};

struct JobCase;
struct JobContext {
  const JobCase& job;
  e2e::QuillonHarness& quillon;
  Places places;
  e2e::QuillonProcess* process = nullptr;  // once launched
  std::vector<e2e::MessageBoxSeen> boxes;
  std::vector<HeldFile> held;
  std::vector<std::wstring> unwritable;  // made unwritable; made writable again at the end
  int step = 0;                          // for hooks that act once
  Verdict& verdict;

  std::wstring Mux() const { return places.source + L"mux\\"; }
  e2e::StandinLog Log() const { return quillon.Log(); }
};

struct JobCase {
  std::string name;
  Fixture fixture = Fixture::Full;
  // The source folder below the case folder ("Film", "Program Files\x").
  std::wstring sourceName = L"Film";
  // When not 0: the source folder is made this long (without its trailing
  // backslash), below folders of its own.
  size_t sourcePathLength = 0;
  // Where Quillon.exe and its tools\ go, below the case folder ("" or
  // "Program Files\Quillon\").
  std::wstring installUnder;
  Settings settings;
  Launch launch = Launch::Batch;
  // The whole command line after the program's path, with placeholders;
  // empty: made from the launch kind and the settings.
  std::wstring arguments;
  std::vector<Tool> missing;
  std::vector<std::pair<Tool, std::string>> modes;  // tool -> "hang", "fail delay=500" ...
  std::wstring waitLimits = L"20000,20000";         // "<appearMs>,<runMs>[,<boxMs>]"
  Ms limit = 90s;                                   // the whole run

  // What must be seen and left.
  std::optional<DWORD> exitCode;  // interactive runs end by closing: 0
  std::vector<ExpectedBox> boxes;
  // The mux folder's names afterwards; nothing: no mux folder.
  std::optional<std::vector<std::wstring>> mux;
  std::vector<std::wstring> newInSource;  // files the job adds beside the movie
  std::vector<std::wstring> logHas;       // text the stand-in log must hold
  std::vector<std::wstring> logLacks;     // and must not

  // Hooks, all optional.
  std::function<void(JobContext&)> prepare;        // before the source is looked at
  std::function<void(JobContext&)> beforeLaunch;   // after the look, before the program starts
  std::function<void(JobContext&)> beforeStart;    // interactive: scanned, before Start
  std::function<void(JobContext&)> during;         // called every few ms while the job runs
  std::function<void(JobContext&)> beforeJudging;  // after the program ended
  std::function<void(JobContext&)> check;          // more checks of its own
  bool checkSource = true;                         // compare the source folder afterwards
  bool answerBoxes = true;  // batch: press OK on each box; false: they must go by themselves
  bool checkMux = true;     // compare the mux folder with `mux`
};

// Runs one job case and judges it.
void RunJob(const JobCase& job, e2e::QuillonHarness& quillon, Verdict& verdict);
Case Make(JobCase job);
// A check for cases that must not get as far as any tool.
void ExpectNoTool(JobContext& context);

// ---- the cases ----

std::vector<Case> ToolFaultCases();
std::vector<Case> FolderCases();
std::vector<Case> CommandLineCases();
std::vector<Case> SessionCases();

// The texts of the program that many cases expect.
inline constexpr wchar_t kProblems[] = L"The job finished with problems:\r\n";
inline constexpr wchar_t kDone[] = L"Done!";
// The last line of the message of a job that ran and stopped or had problems.
inline constexpr wchar_t kLogLine[] = L"\r\nThe job log is in {log}.";
// The message of a job that stopped while doing `step`.
inline std::wstring StoppedWhile(const std::wstring& step, const std::wstring& why) {
  return L"The job stopped while " + step + L":\r\n" + why + kLogLine;
}

// Kept short where a case waits for a time-out; generous everywhere else.
inline constexpr wchar_t kShortRun[] = L"20000,4000";     // a tool's run ends after 4 s
inline constexpr wchar_t kShortAppear[] = L"5000,20000";  // a window must appear within 5 s

// The files a full job leaves in its mux folder at each point (mux folder
// names, sorted).
inline const std::vector<std::wstring> kAfterExtract = {L"movie.idx", L"movie.sub"};
inline const std::vector<std::wstring> kAfterSup = {L"movie.idx", L"movie.sub", L"movie_0x20.sup",
                                                    L"movie_0x21.sup"};
inline const std::vector<std::wstring> kAfterOcr = {
    L"0x20.srt", L"0x21.srt", L"movie.idx", L"movie.sub", L"movie_0x20.sup", L"movie_0x21.sup"};
// What a job that made no AVI keeps for muxing by hand, and what it says.
inline const std::vector<std::wstring> kForMuxingByHand = {
    L"0x20.srt",  L"0x21.srt",       L"0x80.mp3",      L"0x81.mp3",
    L"movie.amg", L"movie_0x20.sup", L"movie_0x21.sup"};
inline const std::vector<std::wstring> kNoMp3ForMuxingByHand = {
    L"0x20.srt", L"0x21.srt", L"movie.amg", L"movie_0x20.sup", L"movie_0x21.sup"};
inline constexpr wchar_t kByHand[] =
    L"\r\nThe converted files and the mux script are in {mux} for muxing by hand.";
inline const std::vector<std::wstring> kAviOnly = {L"movie.avi"};

}  // namespace quillon::fault

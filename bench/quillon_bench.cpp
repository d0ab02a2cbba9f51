// quillon_bench.exe: the Windows side of the benchmark (bench/benchmark.py
// runs it under Wine and turns its output into figures).
//
//   quillon_bench pause <count>
//       Calls the program's own WaitSeconds(1) <count> times while a window
//       of this thread gets timer messages (as Quillon's caption animation
//       does) and prints each call's length: "pause <i> <microseconds>".
//   quillon_bench startup <runs> <settle ms> <exe> <title> [<exe> <title>]...
//       Starts each program in turn, <runs> rounds, and prints for each start
//       the time from CreateProcess to its visible window titled <title>, and
//       its memory <settle ms> after that: "startup <k> <round> visible_us=..
//       private=.. peak_private=.. peak_working_set=..", <k> counting the
//       programs from 0 as given. Then closes it. The first two programs
//       swap places every other round, so that each of a pair runs first
//       as often as the other and the two can be compared round by round.
//   quillon_bench job <limit s> <exe> <arguments> [<caption>...]
//       Runs one Quillon job: logs "launch" just before CreateProcess and
//       "exit <code>" when the program has ended, into the stand-in tools' log
//       (QUILLON_STANDIN_LOG). With captions it also logs "appeared <caption>"
//       at the moment a top-level window first carries one of them, and
//       "key <virtual key>" whenever a program injects a key press (typed
//       characters, VK_PACKET, are left out). Prints "job exit=.. wall_us=..".
//   quillon_bench type <rounds> <characters>
//       Types <characters> letters and Enter into a file dialog of another
//       thread as soon as it is in front, <rounds> times, and prints how long
//       the dialog takes to have them, and how long after the dialog had
//       built itself the typing began: "type <round> <microseconds> <after
//       microseconds>". That is
//       what typing a path costs under Wine, apart from any program that
//       drives it.
//   quillon_bench spawn <count> <exe> [<arguments>]
//       Logs "spawn" and starts the (stand-in) program <count> times, one after
//       the other: the gap to the program's own "start" line is what starting
//       a process costs.
//
// All times come from QueryPerformanceCounter, the clock of the stand-ins'
// log, so the lines of all programs can be set against each other.

#include <windows.h>

#include <commdlg.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "support/standin.h"

namespace {

using quillon::UniqueHandle;
using quillon::UniqueHook;
using quillon::UniqueResource;
using quillon::UniqueWindow;

struct WinEventHookTraits {
  using Type = HWINEVENTHOOK;
  static Type Empty() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::UnhookWinEvent(h); }
};
using UniqueWinEventHook = UniqueResource<WinEventHookTraits>;

unsigned long long Microseconds() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  const auto f = static_cast<unsigned long long>(frequency.QuadPart);
  const auto c = static_cast<unsigned long long>(counter.QuadPart);
  return c / f * 1000000ULL + c % f * 1000000ULL / f;
}

int Usage() {
  std::fputs(
      "usage: quillon_bench pause <count>\n"
      "       quillon_bench startup <runs> <settle ms> <exe> <title> [<exe> <title>]...\n"
      "       quillon_bench job <limit s> <exe> <arguments> [<caption>...]\n"
      "       quillon_bench pace <limit s> <exe> <arguments> [<caption>...]\n"
      "       quillon_bench type <rounds> <characters>\n"
      "       quillon_bench spawn <count> <exe> [<arguments>]\n",
      stderr);
  return 2;
}

std::string Narrow(const std::wstring& text) {
  return standin::ToUtf8(text);
}

struct Started {
  UniqueHandle process;
  DWORD id = 0;
};

// Starts "<exe>" <arguments> with a normal window, as the program starts its
// tools.
bool Start(const std::wstring& exe, const std::wstring& arguments, Started& started) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", Narrow(exe).c_str(), ::GetLastError());
    return false;
  }
  UniqueHandle thread(info.hThread);
  started.process.Reset(info.hProcess);
  started.id = info.dwProcessId;
  return true;
}

// Waits for the process, ending it when it outlives `limitMs`; its exit code,
// or -1 when it had to be ended.
long EndOf(const Started& started, DWORD limitMs) {
  if (::WaitForSingleObject(started.process.Get(), limitMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(started.process.Get(), 1);
    ::WaitForSingleObject(started.process.Get(), 5000);
    return -1;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(started.process.Get(), &code);
  return static_cast<long>(code);
}

// ---- pause ----

LRESULT CALLBACK TickingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) return 0;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

int RunPauses(int count) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = TickingProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuillonBenchTicking";
  ::RegisterClassExW(&wc);
  const UniqueWindow window(::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, wc.hInstance, nullptr));
  // Quillon's caption moves every half second while a job pauses (the
  // timer goes with the window).
  if (window) ::SetTimer(window.Get(), 1, 500, nullptr);
  for (int i = 1; i <= count; ++i) {
    const unsigned long long before = Microseconds();
    quillon::Win32Platform().WaitSeconds(1);
    const unsigned long long after = Microseconds();
    std::printf("pause %d %llu\n", i, after - before);
    std::fflush(stdout);
  }
  return 0;
}

// ---- startup ----

struct WindowSearch {
  DWORD processId;
  const std::wstring* title;
  HWND found = nullptr;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !::IsWindowVisible(window)) return TRUE;
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  if (*search.title != text) return TRUE;
  search.found = window;
  return FALSE;
}

HWND VisibleWindowOf(DWORD processId, const std::wstring& title) {
  WindowSearch search{processId, &title};
  ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int RunStartups(int runs, DWORD settleMs, const std::vector<std::wstring>& programs) {
  const size_t count = programs.size() / 2;
  for (int round = 1; round <= runs; ++round) {
    for (size_t slot = 0; slot < count; ++slot) {
      // Every other round, the pair at the front runs the other way round.
      const size_t k = count >= 2 && slot < 2 && round % 2 == 0 ? 2 * (1 - slot) : 2 * slot;
      const std::wstring& exe = programs[k];
      const std::wstring& title = programs[k + 1];
      Started started;
      const unsigned long long before = Microseconds();
      if (!Start(exe, L"", started)) return 1;
      HWND window = nullptr;
      // 1 ms steps: fine enough for start-ups that take a tenth of a second.
      for (int step = 0; step < 30000 && window == nullptr; ++step) {
        window = VisibleWindowOf(started.id, title);
        if (window == nullptr) ::Sleep(1);
      }
      const unsigned long long visible = Microseconds();
      if (window == nullptr) {
        std::fprintf(stderr, "%s showed no window \"%s\"\n", Narrow(exe).c_str(),
                     Narrow(title).c_str());
        EndOf(started, 0);
        return 1;
      }
      ::Sleep(settleMs);
      PROCESS_MEMORY_COUNTERS_EX memory{};
      memory.cb = sizeof memory;
      ::GetProcessMemoryInfo(started.process.Get(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
      std::printf(
          "startup %zu %d visible_us=%llu private=%lu peak_private=%lu peak_working_set=%lu\n",
          k / 2, round, visible - before, static_cast<unsigned long>(memory.PrivateUsage),
          static_cast<unsigned long>(memory.PeakPagefileUsage),
          static_cast<unsigned long>(memory.PeakWorkingSetSize));
      std::fflush(stdout);
      ::PostMessageW(window, WM_CLOSE, 0, 0);
      EndOf(started, 10000);
    }
  }
  return 0;
}

// ---- job ----

// Windows that were created lately and might still get one of the watched
// captions (a dialog gets its title after it was created).
struct Candidate {
  HWND window;
  unsigned long long createdUs;
};

std::vector<std::wstring> g_watched;
std::vector<Candidate> g_candidates;
std::vector<std::pair<HWND, std::wstring>> g_reported;

// Logs the window's caption once if it is watched; true when it was.
bool CheckCaption(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  for (const std::wstring& caption : g_watched) {
    if (::CompareStringOrdinal(text, -1, caption.c_str(), -1, TRUE) != CSTR_EQUAL) continue;
    for (const auto& [seen, seenCaption] : g_reported)
      if (seen == window && seenCaption == caption) return true;
    g_reported.emplace_back(window, caption);
    standin::Log(L"appeared", caption);
    return true;
  }
  return false;
}

// Sees injected keys as they are injected: the moment the program acts.
LRESULT CALLBACK OnKey(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if ((key.flags & LLKHF_INJECTED) != 0 && key.vkCode != VK_PACKET)
      standin::Log(L"key", std::to_wstring(key.vkCode));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK OnWindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object != OBJID_WINDOW || window == nullptr) return;
  if (::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow()) return;
  if (!CheckCaption(window)) g_candidates.push_back({window, Microseconds()});
}

// Looks again at the windows that may still be retitled (a dialog gets its
// title while it is set up); forgets them after half a second, so that the
// watch costs nothing during a long wait.
void CheckCandidates() {
  const unsigned long long now = Microseconds();
  std::vector<Candidate> keep;
  for (const Candidate& c : g_candidates) {
    if (!::IsWindow(c.window) || now - c.createdUs > 500000ULL) continue;
    if (!CheckCaption(c.window)) keep.push_back(c);
  }
  g_candidates.swap(keep);
}

// `timeKeys` logs every injected key as it is injected. The hook that does
// it makes the system call this program for each key before the key goes
// on, which slows typing down: a job timed as a whole runs without it.
int RunJob(DWORD limitMs, const std::wstring& exe, const std::wstring& arguments,
           std::vector<std::wstring> watched, bool timeKeys) {
  g_watched = std::move(watched);
  UniqueWinEventHook hook;
  UniqueHook keyHook;
  if (!g_watched.empty()) {
    if (timeKeys) {
      keyHook.Reset(::SetWindowsHookExW(WH_KEYBOARD_LL, OnKey, ::GetModuleHandleW(nullptr), 0));
      if (!keyHook) std::fputs("no keyboard hook: injected keys not logged\n", stderr);
    }
    // Out of context: the system posts each window creation to this thread,
    // so watching costs nothing while no window comes or goes.
    hook.Reset(::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWindowCreated,
                                 0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
    if (!hook) std::fputs("no window creation events: captions not watched\n", stderr);
  }
  Started started;
  standin::Log(L"launch", exe + L" " + arguments);
  const unsigned long long before = Microseconds();
  if (!Start(exe, arguments, started)) return 1;
  const unsigned long long deadline = before + static_cast<unsigned long long>(limitMs) * 1000;
  HANDLE process = started.process.Get();
  bool ended = false;
  while (!ended) {
    const unsigned long long now = Microseconds();
    if (now >= deadline) break;
    DWORD waitMs = static_cast<DWORD>((deadline - now) / 1000 + 1);
    if (!g_candidates.empty()) waitMs = 1;  // a dialog's title comes soon after it
    const DWORD result =
        ::MsgWaitForMultipleObjectsEx(1, &process, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (result == WAIT_OBJECT_0) ended = true;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    CheckCandidates();
  }
  const unsigned long long after = Microseconds();
  long code = -1;
  if (ended) {
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process, &exitCode);
    code = static_cast<long>(exitCode);
  } else {
    std::fputs("the job outlived its time limit and was ended\n", stderr);
    EndOf(started, 0);
  }
  standin::Log(L"exit", std::to_wstring(code));
  std::printf("job exit=%ld wall_us=%llu\n", code, after - before);
  return ended ? 0 : 1;
}

// ---- spawn ----

int RunSpawns(int count, const std::wstring& exe, const std::wstring& arguments) {
  for (int i = 0; i < count; ++i) {
    Started started;
    standin::Log(L"spawn", exe);
    if (!Start(exe, arguments, started)) return 1;
    if (EndOf(started, 30000) < 0) return 1;
  }
  return 0;
}

// ---- type ----

// A file dialog on a thread of its own, as a tool shows one: the hook tells
// when it has built itself and when it has taken a path with Enter.
struct TypeTarget {
  HWND dialog = nullptr;
  int rounds = 0;
  UniqueHandle ready{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  UniqueHandle taken{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  unsigned long long readyUs = 0;
  unsigned long long takenUs = 0;
};
TypeTarget* g_typeTarget = nullptr;

UINT_PTR CALLBACK NoteTyping(HWND hook, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return 0;
  const UINT code = reinterpret_cast<const NMHDR*>(lparam)->code;
  if (code == CDN_INITDONE) {
    g_typeTarget->dialog = ::GetParent(hook);
    g_typeTarget->readyUs = Microseconds();
    ::SetEvent(g_typeTarget->ready.Get());
  } else if (code == CDN_FILEOK) {
    g_typeTarget->takenUs = Microseconds();
    ::SetEvent(g_typeTarget->taken.Get());
  }
  return 0;
}

DWORD WINAPI RunTypeTarget(void* param) {
  auto& target = *static_cast<TypeTarget*>(param);
  for (int round = 0; round < target.rounds; ++round) {
    std::vector<wchar_t> path(1024, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"All files\0*.*\0";
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = L"Typing target";
    ofn.lpfnHook = NoteTyping;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
    if (!::GetOpenFileNameW(&ofn)) return 1;
  }
  return 0;
}

int RunTyping(int rounds, int characters) {
  TypeTarget target;
  target.rounds = rounds;
  g_typeTarget = &target;
  std::vector<INPUT> inputs;
  const auto key = [&inputs](WORD vk, WORD scan, DWORD flags) {
    for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = vk;
      input.ki.wScan = scan;
      input.ki.dwFlags = flags | up;
      inputs.push_back(input);
    }
  };
  for (int i = 0; i < characters; ++i) key(0, static_cast<WORD>(L'a' + i % 26), KEYEVENTF_UNICODE);
  key(VK_RETURN, 0, 0);
  DWORD threadId = 0;
  UniqueHandle thread(::CreateThread(nullptr, 0, RunTypeTarget, &target, 0, &threadId));
  quillon::Win32Platform platform;
  for (int round = 1; round <= rounds; ++round) {
    if (::WaitForSingleObject(target.ready.Get(), 10000) != WAIT_OBJECT_0) return 1;
    // Typed the moment the dialog is in front, by a program that waits for
    // nothing else: what is left is the dialog finishing itself and taking
    // the keys, which in a dialog that has only just come up takes several
    // times as long as in one that has settled.
    if (!platform.ActivateWindow(reinterpret_cast<quillon::WindowHandle>(target.dialog))) {
      std::fputs("the typing target could not be brought to the front\n", stderr);
      return 1;
    }
    const unsigned long long before = Microseconds();
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (::WaitForSingleObject(target.taken.Get(), 10000) != WAIT_OBJECT_0) return 1;
    std::printf("type %d %llu %llu\n", round, target.takenUs - before, before - target.readyUs);
    std::fflush(stdout);
  }
  ::WaitForSingleObject(thread.Get(), 5000);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  const int number = _wtoi(argv[2]);
  if (command == L"pause" && argc == 3 && number > 0) return RunPauses(number);
  if (command == L"startup" && argc >= 6 && argc % 2 == 0 && number > 0)
    return RunStartups(number, static_cast<DWORD>(_wtoi(argv[3])),
                       std::vector<std::wstring>(argv + 4, argv + argc));
  if ((command == L"job" || command == L"pace") && argc >= 5 && number > 0)
    return RunJob(static_cast<DWORD>(number) * 1000, argv[3], argv[4],
                  std::vector<std::wstring>(argv + 5, argv + argc), command == L"job");
  if (command == L"type" && argc == 4 && number > 0 && _wtoi(argv[3]) > 0)
    return RunTyping(number, _wtoi(argv[3]));
  if (command == L"spawn" && argc >= 4 && number > 0)
    return RunSpawns(number, argv[3], argc >= 5 ? argv[4] : L"");
  return Usage();
}

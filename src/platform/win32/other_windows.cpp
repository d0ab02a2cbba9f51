// Other programs' top-level windows: found by title, brought to the front,
// their buttons clicked; and whether the desktop takes input at all. Waits
// for another program never block this one: they poll with this thread's
// messages flowing, a thread that does not answer is not waited for beyond a
// time limit, and no wait outlasts the step it serves.

#include <algorithm>
#include <limits>
#include <string>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_checks.h"

namespace quillon {
namespace {

struct PrefixSearch {
  std::wstring prefix;
  HWND found = nullptr;
};

BOOL CALLBACK MatchPrefix(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<PrefixSearch*>(param);
  const int prefixLength = static_cast<int>(search.prefix.size());
  // GetWindowTextW reads another program's title without sending it a
  // message, so a hung window cannot stall the search.
  const int length = ::GetWindowTextLengthW(window);
  if (length < prefixLength) return TRUE;
  std::wstring title(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, title.data(), length + 1);
  if (copied < prefixLength) return TRUE;
  if (::CompareStringOrdinal(title.data(), prefixLength, search.prefix.data(), prefixLength,
                             TRUE) != CSTR_EQUAL)
    return TRUE;
  search.found = window;
  return FALSE;
}

// What a callback of SendNoted is to report, and to whom. The platform that
// sent the message may be gone by the time a late answer comes: then the
// answer is dropped.
struct AnswerNote {
  std::weak_ptr<SentMessageAnswers> answers;
  std::uint64_t roundTrip = 0;
  HWND clickWindow = nullptr;
  std::uint64_t click = 0;
};

// Called once per message, on this thread, when it reads its messages after
// the other thread has handled the message.
void CALLBACK NoteAnswer(HWND, UINT, ULONG_PTR data, LRESULT) {
  const std::unique_ptr<AnswerNote> note(reinterpret_cast<AnswerNote*>(data));
  const std::shared_ptr<SentMessageAnswers> answers = note->answers.lock();
  if (!answers) return;
  answers->lastAnsweredTrip = std::max(answers->lastAnsweredTrip, note->roundTrip);
  if (note->clickWindow != nullptr) {
    auto& clicks = answers->clicks[note->clickWindow];
    clicks.done = std::max(clicks.done, note->click);
  }
}

bool IsForeground(HWND window) {
  return ::GetForegroundWindow() == window;
}

// The name of a desktop ("Default", "Winlogon"); "" when it cannot be read.
std::wstring DesktopName(HDESK desktop) {
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (desktop == nullptr ||
      !::GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name, &needed))
    return {};
  return name;
}

}  // namespace

bool IsDesktop(HWND window) {
  if (window == nullptr || window == ::GetDesktopWindow()) return true;
  const HWND shell = ::GetShellWindow();
  if (shell == nullptr) return false;
  if (window == shell) return true;
  // The desktop's icons lie in windows of the shell's own thread, which come
  // to the front when the user clicks the desktop.
  const DWORD shellThread = ::GetWindowThreadProcessId(shell, nullptr);
  return shellThread != 0 && ::GetWindowThreadProcessId(window, nullptr) == shellThread;
}

bool FocusIn(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
         info.hwndFocus != nullptr &&
         (info.hwndFocus == window || ::IsChild(window, info.hwndFocus));
}

bool SendNoted(HWND window, UINT message, const std::shared_ptr<SentMessageAnswers>& answers,
               std::uint64_t roundTrip, HWND clickWindow, std::uint64_t click) {
  auto note = std::make_unique<AnswerNote>(AnswerNote{answers, roundTrip, clickWindow, click});
  if (!::SendMessageCallbackW(window, message, 0, 0, NoteAnswer,
                              reinterpret_cast<ULONG_PTR>(note.get())))
    return false;
  note.release();  // the callback owns it now
  return true;
}

void Win32Platform::BoundWaits(const WaitLimits& limits, std::uint64_t stepEndMs) {
  limits_ = limits;
  stepEndMs_ = stepEndMs;
}

// The lock screen, Ctrl+Alt+Del and a UAC prompt each show on a secure
// desktop of their own, which a user's program may not open; keys sent
// meanwhile go nowhere. A session whose screen was taken away (a remote
// connection closed) may still have the user's desktop as its input
// desktop: the main window hears of that from the system.
bool Win32Platform::DesktopTakesInput() {
  if (sessionLocked_) return false;
  const UniqueDesktop input(::OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS));
  if (!input) return false;
  const std::wstring name = DesktopName(input.Get());
  const std::wstring own = DesktopName(::GetThreadDesktop(::GetCurrentThreadId()));
  return !name.empty() &&
         ::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), own.data(),
                                static_cast<int>(own.size()), TRUE) == CSTR_EQUAL;
}

// The system counts the input this program sends as the user's; input that
// came no later than a moment after this program's own last send is taken
// for that send, and the user's input before it counts.
std::uint64_t Win32Platform::MsSinceUserInput() {
  LASTINPUTINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetLastInputInfo(&info)) return std::numeric_limits<std::uint64_t>::max();
  constexpr DWORD kSentInputSettlesMs = 50;
  DWORD last = info.dwTime;
  if (sentInput_ && static_cast<DWORD>(last - ownInputTick_) <= kSentInputSettlesMs)
    last = userInputBeforeOwnTick_;
  // Tick counts wrap after 49 days; the difference does not.
  return static_cast<DWORD>(::GetTickCount() - last);
}

WindowHandle Win32Platform::FindCaption(const std::string& caption) {
  return FromHwnd(::FindWindowW(nullptr, ToWide(caption).c_str()));
}

WindowHandle Win32Platform::FindCaptionPrefix(const std::string& prefix) {
  PrefixSearch search{ToWide(prefix)};
  ::EnumWindows(MatchPrefix, reinterpret_cast<LPARAM>(&search));
  return FromHwnd(search.found);
}

std::uint32_t Win32Platform::WindowProcess(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || ::GetWindowThreadProcessId(ToHwnd(window), &process) == 0) return 0;
  return process;
}

// A thread answers a sent message only when it reads its queue.
bool Win32Platform::RoundTrip(HWND window, std::uint32_t limitMs) {
  if (window == nullptr || ::IsHungAppWindow(window)) return false;
  // Each round trip waits for its own number, so a late answer to an
  // abandoned one is harmless.
  const std::uint64_t roundTrip = ++answers_->lastRoundTrip;
  if (!SendNoted(window, WM_NULL, answers_, roundTrip)) return false;
  return WaitInStep(limitMs, [&] { return answers_->lastAnsweredTrip >= roundTrip; });
}

// Joined input makes SetFocus wait for the other thread: only the tool's own
// thread is joined, never the thread the user works in, and only once it
// has answered.
void Win32Platform::GiveFocus(HWND window) {
  const DWORD self = ::GetCurrentThreadId();
  const DWORD target = ::GetWindowThreadProcessId(window, nullptr);
  if (target == 0 || target == self || !RoundTrip(window, limits_.focusAnswerMs)) return;
  // A thread that had only not yet taken in its activation has set its
  // focus by the time it answers.
  if (FocusIn(window)) return;
  const ThreadInputLink toTarget(self, target);
  ::SetFocus(window);
}

// Restores the window when minimised and brings it to the foreground with the
// keyboard focus. The system may refuse: it keeps the front for the program
// the user works in, and that is not forced (the job asks by flashing the
// window's taskbar button and tries again later).
bool Win32Platform::ActivateWindow(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  if (window == nullptr || !::IsWindow(window) || !DesktopTakesInput()) return false;
  // A program builds its window before it shows it, and the window carries
  // its title from the start: found that early, it cannot take the focus
  // yet, and keys sent to it are lost. It gets a moment to show.
  if (!WaitInStep(limits_.showMs, [&] { return ::IsWindowVisible(window) != FALSE; })) return false;
  if (::IsIconic(window)) {
    // Async: restoring a hung program's window must not hang this one.
    ::ShowWindowAsync(window, SW_RESTORE);
    WaitInStep(limits_.restoreMs, [&] { return !::IsIconic(window); });
  }
  if (!IsForeground(window) && (!::SetForegroundWindow(window) ||
                                !WaitInStep(limits_.frontMs, [&] { return IsForeground(window); })))
    return false;
  // Under Wine a window can be in front without the focus (back from a
  // dialog that closed): keys would reach nothing.
  if (!FocusIn(window)) GiveFocus(window);
  // Joining the thread's input to set the focus can cost the window its
  // place in front.
  return IsForeground(window);
}

void Win32Platform::FlashWindow(WindowHandle handle) {
  FLASHWINFO flash{};
  flash.cbSize = sizeof(flash);
  flash.hwnd = ToHwnd(handle);
  // Until the window comes to the front: the user sees which program asks.
  flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
  if (flash.hwnd != nullptr) ::FlashWindowEx(&flash);
}

WindowHandle Win32Platform::ForegroundWindow() {
  const HWND window = ::GetForegroundWindow();
  return IsDesktop(window) ? 0 : FromHwnd(window);
}

bool Win32Platform::WindowExists(WindowHandle window) {
  return ::IsWindow(ToHwnd(window)) != FALSE;
}

// Keys go to the focus of the thread in front. A window whose modal dialog
// is still being built is disabled, one still being shown is not visible, a
// thread that has not yet taken in its activation has another active
// window or the keyboard focus elsewhere (a dialog sets its focus once it
// has built itself), and a thread that has not yet read its queue would take
// new keys only after whatever came before them.
bool Win32Platform::ReadyForKeys(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  if (IsDesktop(window) || !IsForeground(window) || !::IsWindowVisible(window) ||
      !::IsWindowEnabled(window))
    return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ||
      info.hwndActive != window || (info.hwndFocus != window && !::IsChild(window, info.hwndFocus)))
    return false;
  return RoundTrip(window, limits_.answerMs);
}

bool Win32Platform::MenuOpen(WindowHandle handle) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(ToHwnd(handle), nullptr), &info) &&
         (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

// Sent without waiting for the answer, and never dropped: the tool's thread
// takes it in the order it came, whenever it next reads its messages, however
// busy or hung it is now. A thread takes the messages sent to it in order,
// so once it has answered a round trip sent after the click, it has carried
// the click out (a window the click brings up exists), or it is inside the
// dialog the click opened, where the click's own answer waits until the
// dialog closes. Either answer counts the click as done. A posted click
// would wait behind anything the thread answers first.
void Win32Platform::ClickControl(WindowHandle handle, int controlId) {
  const HWND window = ToHwnd(handle);
  if (window == nullptr) return;
  const HWND control = ::GetDlgItem(window, controlId);
  if (control == nullptr) return;
  // Windows gone for good have nothing more to count; their numbers may come
  // back for new windows.
  std::erase_if(answers_->clicks, [](const auto& entry) { return !::IsWindow(entry.first); });
  auto& clicks = answers_->clicks[window];
  const std::uint64_t click = clicks.queued + 1;
  if (!SendNoted(control, BM_CLICK, answers_, 0, window, click)) return;  // gone meanwhile
  clicks.queued = click;
  SendNoted(window, WM_NULL, answers_, 0, window, click);
  // A macro with a pause of 0 looks for what the click brings up right
  // after it: a tool that is free has carried the click out by then.
  WaitInStep(limits_.answerMs, [&] { return ClicksDone(handle); });
}

// A window that is gone takes no more clicks, and has none left to do.
bool Win32Platform::ClicksDone(WindowHandle handle) {
  const HWND window = ToHwnd(handle);
  const auto found = answers_->clicks.find(window);
  if (found == answers_->clicks.end() || !::IsWindow(window)) return true;
  return found->second.done >= found->second.queued;
}

bool Win32Platform::AnsiCanHold(const std::string& text) {
  return ToAnsi(ToWide(text)).has_value();
}

}  // namespace quillon

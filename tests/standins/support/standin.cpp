#include "standin.h"

#include <commdlg.h>

#include <cwctype>
#include <vector>

#include "platform/win32/handles.h"

namespace standin {

using quillon::UniqueHandle;

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), n);
  return out;
}

std::wstring ExePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ExeDir() {
  const std::wstring path = ExePath();
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring ExeFileName() {
  const std::wstring path = ExePath();
  return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring ToolName() {
  std::wstring name = ExeFileName();
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

std::wstring LogPath() {
  const DWORD n = GetEnvironmentVariableW(L"QUILLON_STANDIN_LOG", nullptr, 0);
  if (n > 1) {
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(L"QUILLON_STANDIN_LOG", value.data(), n));
    return value;
  }
  return ExeDir() + L"standins.log";
}

static unsigned long long Microseconds() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const auto f = static_cast<unsigned long long>(frequency.QuadPart);
  const auto c = static_cast<unsigned long long>(counter.QuadPart);
  return c / f * 1000000ULL + c % f * 1000000ULL / f;
}

static std::wstring Escape(std::wstring_view text) {
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring out;
  for (wchar_t ch : text) {
    if (ch < 0x20 || ch == 0x7F) {
      out += L'<';
      out += kHex[(ch >> 4) & 0xF];
      out += kHex[ch & 0xF];
      out += L'>';
    } else {
      out += ch;
    }
  }
  return out;
}

void Log(std::wstring_view event, std::wstring_view detail) {
  std::wstring line = std::to_wstring(Microseconds());
  line += L'\t';
  line += ToolName();
  line += L'\t';
  line += Escape(event);
  line += L'\t';
  line += Escape(detail);
  line += L'\n';
  const std::string bytes = ToUtf8(line);

  // Several tools (and the test) may use one log at once: open, append one
  // whole line with a single write, close. A sharing clash is retried.
  const std::wstring path = LogPath();
  for (int attempt = 0; attempt < 50; ++attempt) {
    UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD written = 0;
      WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      return;
    }
    Sleep(10);
  }
}

std::wstring_view ModeName(ModeKind kind) {
  switch (kind) {
    case ModeKind::kNormal:
      return L"normal";
    case ModeKind::kFail:
      return L"fail";
    case ModeKind::kCrash:
      return L"crash";
    case ModeKind::kHang:
      return L"hang";
    case ModeKind::kPartial:
      return L"partial";
    case ModeKind::kPartialCrash:
      return L"partialcrash";
    case ModeKind::kNoWindow:
      return L"nowindow";
    case ModeKind::kWrongWindow:
      return L"wrongwindow";
  }
  return L"?";
}

Mode ReadMode() {
  Mode mode;
  const std::optional<std::string> text = ReadBytes(ExePath() + L".mode");
  if (!text) return mode;
  std::wstring rest = ToWide(*text);
  std::wstring only;
  size_t pos = 0;
  while (pos < rest.size()) {
    while (pos < rest.size() && std::iswspace(rest[pos])) ++pos;
    size_t end = pos;
    while (end < rest.size() && !std::iswspace(rest[end])) ++end;
    const std::wstring word = rest.substr(pos, end - pos);
    pos = end;
    if (word.empty()) continue;
    if (word.rfind(L"delay=", 0) == 0) {
      mode.delay_ms = static_cast<DWORD>(wcstoul(word.c_str() + 6, nullptr, 10));
      continue;
    }
    if (word.rfind(L"only=", 0) == 0) {
      only = word.substr(5);
      continue;
    }
    bool known = false;
    for (ModeKind kind :
         {ModeKind::kNormal, ModeKind::kFail, ModeKind::kCrash, ModeKind::kHang, ModeKind::kPartial,
          ModeKind::kPartialCrash, ModeKind::kNoWindow, ModeKind::kWrongWindow}) {
      if (word == ModeName(kind)) {
        mode.kind = kind;
        known = true;
      }
    }
    if (!known) Log(L"error", L"unknown mode word " + word + L", running normally");
  }
  // One tools folder serves several jobs; "only=" picks the job's run.
  if (!only.empty() && std::wstring_view(GetCommandLineW()).find(only) == std::wstring_view::npos)
    mode.kind = ModeKind::kNormal;
  return mode;
}

void Exit(int code) {
  Log(L"exit", std::to_wstring(code));
  ExitProcess(static_cast<UINT>(code));
}

Mode Start() {
  const Mode mode = ReadMode();
  Log(L"start", GetCommandLineW());
  if (mode.kind != ModeKind::kNormal || mode.delay_ms) {
    std::wstring text(ModeName(mode.kind));
    if (mode.delay_ms) text += L" delay=" + std::to_wstring(*mode.delay_ms);
    Log(L"mode", text);
  }
  if (mode.kind == ModeKind::kFail) Exit(2);
  if (mode.kind == ModeKind::kCrash) Crash();
  return mode;
}

void Crash() {
  Log(L"crash");
  TerminateProcess(GetCurrentProcess(), 0xC0000005);
  for (;;) Sleep(INFINITE);  // termination is asynchronous
}

void SleepForever() {
  Log(L"hang");
  for (;;) Sleep(INFINITE);
}

void RunWithoutWindow() {
  Log(L"nowindow");
  Sleep(10 * 60 * 1000);
  Exit(0);
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  if (quillon::test::WriteBytes(path, bytes)) return true;
  Log(L"error", L"cannot write " + path + L" (error " + std::to_wstring(GetLastError()) + L")");
  return false;
}

static std::optional<BY_HANDLE_FILE_INFORMATION> Identity(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
  return info;
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
  const auto x = Identity(a);
  const auto y = Identity(b);
  return x && y && x->dwVolumeSerialNumber == y->dwVolumeSerialNumber &&
         x->nFileIndexHigh == y->nFileIndexHigh && x->nFileIndexLow == y->nFileIndexLow;
}

std::wstring MainCaption(const Mode& mode, const std::wstring& caption) {
  return mode.kind == ModeKind::kWrongWindow ? L"Wrong window - " + caption : caption;
}

HWND CreateTopLevelWindow(const wchar_t* class_name, const std::wstring& caption, WNDPROC proc,
                          int width, int height, HWND owner, HMENU menu) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!GetClassInfoExW(instance, class_name, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);
  }
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, width, height};
  AdjustWindowRect(&frame, style, menu != nullptr);
  return CreateWindowExW(0, class_name, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, owner, menu, instance,
                         nullptr);
}

void Show(HWND window, int show) {
  ShowWindow(window, show);
  UpdateWindow(window);
}

HWND CreateButton(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height) {
  return CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x,
                         y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

// The dialog has built itself and set its focus ("dialog ready"): from
// here on the time to the path typed into it is the driving program's, and
// the dialog's own in handling the keys. Once it has taken the path and the
// Enter ("dialog ok"), the time to its return is the dialog's again.
static UINT_PTR CALLBACK NoteDialogReady(HWND, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_NOTIFY) return 0;
  const UINT code = reinterpret_cast<const NMHDR*>(lparam)->code;
  if (code == CDN_INITDONE) Log(L"dialog ready");
  if (code == CDN_FILEOK) Log(L"dialog ok");
  return 0;
}

static std::optional<std::wstring> AskPath(bool save, HWND owner, const wchar_t* title,
                                           const wchar_t* filter, const wchar_t* default_ext) {
  std::vector<wchar_t> path(32 * 1024, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrTitle = title;
  ofn.lpstrDefExt = default_ext;
  ofn.lpfnHook = NoteDialogReady;
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK;
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return std::wstring(path.data());
}

std::optional<std::wstring> AskOpenPath(HWND owner, const wchar_t* title, const wchar_t* filter) {
  return AskPath(false, owner, title, filter, nullptr);
}

std::optional<std::wstring> AskSavePath(HWND owner, const wchar_t* title, const wchar_t* filter,
                                        const wchar_t* default_ext) {
  return AskPath(true, owner, title, filter, default_ext);
}

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool IsOwnPath(const std::wstring& path) {
  if (IsSameFile(path, ExePath())) return true;
  Log(L"error", L"quoted program path " + path + L" is not " + ExePath());
  return false;
}

}  // namespace standin

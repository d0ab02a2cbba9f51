// The yardstick for Quillon's start-up time and memory: the least a Win32
// program with one visible window does. Built with the same toolchain and
// link flags as Quillon.exe, so what Quillon costs beyond it is its own.
// Built a second time as minimal_window_controls.exe with as many controls of
// the same kinds as Quillon's window has, in the system's font and nothing
// else: what that window costs at the least, to tell it from the rest of the
// program. Built a third time as minimal_window_fonts.exe, whose controls
// also carry the window's own fonts ("Small Fonts" at 6.75 points: regular,
// one bold, one italic) and whose drop-down is closed to the window's 19
// pixels: what the window's design itself costs.

#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

#ifdef QUILLON_BENCH_CONTROLS
// Quillon's window: three frames, a label, four option buttons, four push
// buttons, four check boxes and a drop-down list whose text can be typed.
void CreateControls(HWND window, HINSTANCE instance) {
  struct Control {
    const wchar_t* windowClass;
    DWORD style;
  };
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  const Control controls[] = {
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP},
      {L"Button", BS_AUTORADIOBUTTON | WS_GROUP},
      {L"Button", BS_AUTORADIOBUTTON},
      {L"Button", BS_AUTORADIOBUTTON | WS_GROUP},
      {L"Button", BS_AUTORADIOBUTTON},
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP},
      {L"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP},
      {L"Button", BS_CHECKBOX | WS_TABSTOP},
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP},
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP},
      {L"Button", BS_CHECKBOX | WS_TABSTOP},
      {L"Button", BS_CHECKBOX | WS_TABSTOP},
      {L"Button", BS_CHECKBOX | WS_TABSTOP},
      {L"Static", SS_LEFT},
      {L"Button", BS_GROUPBOX},
      {L"Button", BS_GROUPBOX},
      {L"Button", BS_GROUPBOX},
  };
#ifdef QUILLON_BENCH_FONTS
  // 6.75 points at 96 dots per inch; the fonts live as long as the process.
  const auto font = [](int weight, BOOL italic) {
    return ::CreateFontW(-9, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_SWISS, L"Small Fonts");
  };
  const HFONT regular = font(FW_NORMAL, FALSE);
  const HFONT bold = font(FW_BOLD, FALSE);
  const HFONT italic = font(FW_NORMAL, TRUE);
#endif
  int top = 4;
  int index = 0;
  for (const Control& c : controls) {
    const HWND control =
        ::CreateWindowExW(0, c.windowClass, L"Control", child | c.style, 8, top, 100,
                          c.style & CBS_DROPDOWN ? 120 : 13, window, nullptr, instance, nullptr);
    top += 13;
#ifdef QUILLON_BENCH_FONTS
    // Two push buttons carry the bold and the italic face, as two of Quillon's do.
    const HFONT face = index == 0 ? bold : index == 8 ? italic : regular;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(face), FALSE);
    if (c.style & CBS_DROPDOWN) {
      // The closed height follows the item height plus the frame.
      const int closed = 19;
      LRESULT item = closed - 2 * ::GetSystemMetrics(SM_CYFIXEDFRAME);
      for (int attempt = 0; attempt < 4 && item > 0; ++attempt) {
        ::SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
        RECT r{};
        ::GetWindowRect(control, &r);
        const int error = closed - (r.bottom - r.top);
        if (error == 0) break;
        item += error;
      }
    }
#else
    static_cast<void>(control);
#endif
    ++index;
  }
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"QuillonBenchMinimalWindow";
  if (::RegisterClassExW(&wc) == 0) return 1;
  const HWND window = ::CreateWindowExW(
      0, wc.lpszClassName, L"Minimal window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
      CW_USEDEFAULT, CW_USEDEFAULT, 240, 260, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
#ifdef QUILLON_BENCH_CONTROLS
  CreateControls(window, instance);
#endif
  ::ShowWindow(window, showCommand);
  ::UpdateWindow(window);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

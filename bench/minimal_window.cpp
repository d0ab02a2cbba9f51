// The yardstick for Quillon's start-up time and memory: the least a Win32
// program with one visible window does. Built with the same toolchain and
// link flags as Quillon.exe, so what Quillon costs beyond it is its own.
// Built a second time as minimal_window_controls.exe with as many controls of
// the same kinds as Quillon's window has, in the system's font and nothing
// else: what that window costs at the least, to tell it from the rest of the
// program. Built a third time as minimal_window_fonts.exe, whose controls
// also carry the window's own fonts, chosen as the window chooses them, and
// whose drop-down is closed to the window's 19 pixels: the window as its
// design has it, which the benchmark sets against Quillon's start-up round
// by round.

#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

#ifdef QUILLON_BENCH_FONTS
// The window's fonts, chosen as Quillon's window chooses them (the names and
// sizes are copied from src/app/win32/main_window.cpp and
// src/app/font_scaling.cpp, not included, so that this program stays a
// bare window): "Small Fonts" at 6.75 points, or "Tahoma" where that bitmap
// face has no size near the one asked for. (At a scaling other than 100 %
// Quillon also narrows the font to fit its captions; the benchmark runs at
// 96 dots per inch, where it does not.)
struct Fonts {
  HFONT regular, bold, italic;
};

HFONT MakeFont(const wchar_t* face, int height, int weight, BOOL italic) {
  return ::CreateFontW(-height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

// The height of the characters the font really gets on the screen.
int RealisedHeight(HFONT font) {
  const HDC screen = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(screen, font);
  TEXTMETRICW metrics{};
  const int height =
      ::GetTextMetricsW(screen, &metrics) ? metrics.tmHeight - metrics.tmInternalLeading : 0;
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  return height;
}

// The fonts live as long as the process.
Fonts MakeFonts() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  const int height = (675 * (dpi > 0 ? dpi : 96) + 3600) / 7200;  // 6.75 points
  const wchar_t* face = L"Small Fonts";
  HFONT regular = MakeFont(face, height, FW_NORMAL, FALSE);
  const int realised = RealisedHeight(regular);
  if (realised > 0 && realised * 10 < height * 9) {
    ::DeleteObject(regular);
    face = L"Tahoma";
    regular = MakeFont(face, height, FW_NORMAL, FALSE);
  }
  return {regular, MakeFont(face, height, FW_BOLD, FALSE), MakeFont(face, height, FW_NORMAL, TRUE)};
}
#endif

#ifdef QUILLON_BENCH_CONTROLS
// Quillon's window, in its order: three frames, a label, four option
// buttons, four push buttons, four check boxes and a drop-down list whose
// text can be typed; four controls start disabled and four checked, as
// Quillon's do when its window opens.
void CreateControls(HWND window, HINSTANCE instance) {
  struct Control {
    const wchar_t* windowClass;
    DWORD style;
    bool checked;
  };
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  const Control controls[] = {
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP, false},
      {L"Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, true},
      {L"Button", BS_AUTORADIOBUTTON, false},
      {L"Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, true},
      {L"Button", BS_AUTORADIOBUTTON, false},
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_DISABLED, false},
      {L"ComboBox", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_DISABLED, false},
      {L"Button", BS_CHECKBOX | WS_TABSTOP | WS_DISABLED, false},
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP, false},
      {L"Button", BS_PUSHBUTTON | WS_TABSTOP, false},
      {L"Button", BS_CHECKBOX | WS_TABSTOP, true},
      {L"Button", BS_CHECKBOX | WS_TABSTOP, false},
      {L"Button", BS_CHECKBOX | WS_TABSTOP, true},
      {L"Static", SS_LEFT | WS_DISABLED, false},
      {L"Button", BS_GROUPBOX, false},
      {L"Button", BS_GROUPBOX, false},
      {L"Button", BS_GROUPBOX, false},
  };
#ifdef QUILLON_BENCH_FONTS
  const Fonts fonts = MakeFonts();
#endif
  int top = 4;
  int index = 0;
  for (const Control& c : controls) {
    const HWND control =
        ::CreateWindowExW(0, c.windowClass, L"Control", child | c.style, 8, top, 100,
                          c.style & CBS_DROPDOWN ? 120 : 13, window, nullptr, instance, nullptr);
    top += 13;
    if (c.checked) ::SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
#ifdef QUILLON_BENCH_FONTS
    // The Start button is bold and the About button italic, as in Quillon.
    const HFONT face = index == 5 ? fonts.bold : index == 8 ? fonts.italic : fonts.regular;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(face), FALSE);
    if (c.style & CBS_DROPDOWN) {
      // The closed height follows the item height plus the frame, set and
      // measured again as Quillon's window does it.
      const int closed = 19;
      RECT r{};
      ::GetWindowRect(control, &r);
      LRESULT item = closed - 2 * ::GetSystemMetrics(SM_CYFIXEDFRAME);
      for (int attempt = 0; r.bottom - r.top != closed && attempt < 4 && item > 0; ++attempt) {
        ::SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
        ::GetWindowRect(control, &r);
        item += closed - (r.bottom - r.top);
      }
    }
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

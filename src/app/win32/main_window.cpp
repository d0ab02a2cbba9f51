#include "app/win32/main_window.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/font_scaling.h"
#include "app/frm_main.h"
#include "app/win32/resource_ids.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

constexpr wchar_t kClassName[] = L"QuillonMainWindow";

// The design's unit, the twip, is 1/1440 inch.
constexpr int kTwipsPerInch = 1440;
// "Small Fonts" at 6.75 points (DesignCharacterHeight).
constexpr wchar_t kFontFace[] = L"Small Fonts";
// "Small Fonts" is a bitmap face drawn for the common scalings only; where it
// has no size near the one asked for (150 %, 200 %), its text would stay
// small in a window that grew. This scalable face takes its place there.
constexpr wchar_t kScalableFontFace[] = L"Tahoma";

// Fixed size with a minimise box and no maximise box. No WS_CLIPCHILDREN:
// group boxes do not paint their inside, the window's background must.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

constexpr UINT kCommandTimerMs = 1000;
constexpr UINT kWorkingTimerMs = 500;

using enum ControlId;

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return WC_STATICW;
    case ControlKind::Combo:
      return WC_COMBOBOXW;
    default:
      return WC_BUTTONW;
  }
}

// The style a control is created with, in the state the model has for it:
// a control born disabled, or with its tab stop, needs no change (and none
// of the messages a change sends) before the window first shows.
DWORD StyleOf(const ControlDesign& d, const ControlState& state) {
  // Every control clips its siblings so that a covered control never paints
  // over the one lying on top of it.
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  if (d.startsGroup) style |= WS_GROUP;
  if (!state.enabled) style |= WS_DISABLED;
  switch (d.kind) {
    case ControlKind::PushButton:
      return style | WS_TABSTOP | BS_PUSHBUTTON;
    // The selected option button carries the tab stop (kept when mirrored),
    // so Tab enters a group at its selection.
    case ControlKind::OptionButton:
      return style | BS_AUTORADIOBUTTON | (state.value == 1 ? WS_TABSTOP : 0);
    // Not automatic: the model decides the new state, the view only shows it.
    case ControlKind::CheckBox:
      return style | WS_TABSTOP | BS_CHECKBOX;
    case ControlKind::Frame:
      return style | BS_GROUPBOX;
    case ControlKind::Label:
      return style | SS_LEFT;
    case ControlKind::Combo:
      return style | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
  }
  return style;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  const int n = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

std::wstring ComboItem(HWND combo, int index) {
  const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void SetTextIfDifferent(HWND window, const std::wstring& text) {
  if (WindowText(window) != text) ::SetWindowTextW(window, text.c_str());
}

int SystemDpi() {
  ScreenDc screen;
  const int dpi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

// The height of the characters (without the space above them) that the font
// really gets on the screen, in pixels; 0 when it cannot be told.
int RealisedCharacterHeight(HFONT font) {
  ScreenDc screen;
  if (screen.Get() == nullptr || font == nullptr) return 0;
  const SelectedObject selected(screen.Get(), font);
  TEXTMETRICW metrics{};
  if (!::GetTextMetricsW(screen.Get(), &metrics)) return 0;
  return metrics.tmHeight - metrics.tmInternalLeading;
}

// How wide the window's texts are together in `font`, in pixels; 0 when it
// cannot be told.
long CaptionsWidth(HFONT font) {
  ScreenDc screen;
  if (screen.Get() == nullptr || font == nullptr) return 0;
  const SelectedObject selected(screen.Get(), font);
  long width = 0;
  for (const ControlDesign& d : ControlTable()) {
    const std::wstring caption = ToWide(d.caption);
    SIZE size{};
    const int length = static_cast<int>(caption.size());
    if (length > 0 && ::GetTextExtentPoint32W(screen.Get(), caption.c_str(), length, &size))
      width += size.cx;
  }
  return width;
}

UniqueFont MakeFont(const wchar_t* face, int characterHeight, int weight, bool italic) {
  // A negative height asks for the characters' height rather than the cell's.
  return UniqueFont(::CreateFontW(-characterHeight, 0, 0, 0, weight, italic ? TRUE : FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
}

// Sets a flag for the life of a scope and puts back what it was.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
  ~FlagScope() { flag_ = old_; }

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

void ShowErrorBox(HWND owner, const char* what) {
  const std::wstring text = ToWide(what != nullptr ? what : "An unexpected error occurred.");
  ::MessageBoxW(owner, text.c_str(), ToWide(kAppName).c_str(), MB_OK | MB_ICONERROR);
}

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() {
  // The model may already be gone; the controls use the fonts, so the
  // window goes before them.
  frm_ = nullptr;
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

int MainWindow::Px(int twips) const {
  return ::MulDiv(twips, dpi_, kTwipsPerInch);
}

void MainWindow::Create(FrmMain& frm) {
  frm_ = &frm;
  dpi_ = SystemDpi();
  CreateFonts();

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MainWindow::WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_QUILLON));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLON), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("The main window's class could not be registered.");

  RECT frame{0, 0, Px(kClientWidthTwips), Px(kClientHeightTwips)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;

  // Centred on the primary screen's work area (not under the task bar).
  RECT area{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
    area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;

  taskbarButtonCreated_ = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
  const std::string caption = frm.Caption().empty() ? kRestingCaption : frm.Caption();
  ::CreateWindowExW(kWindowExStyle, kClassName, ToWide(caption).c_str(), kWindowStyle, x, y, width,
                    height, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) throw std::runtime_error("The main window could not be created.");
}

void MainWindow::Show(int showCommand) {
  if (hwnd_ == nullptr) return;
  ::ShowWindow(hwnd_, showCommand);
  ::UpdateWindow(hwnd_);
}

void MainWindow::CreateFonts() {
  int height = DesignCharacterHeight(dpi_);
  regularFont_ = MakeFont(kFontFace, height, FW_NORMAL, false);
  const wchar_t* face = kFontFace;
  if (NeedsScalableFace(height, RealisedCharacterHeight(regularFont_.Get()))) {
    face = kScalableFontFace;
    regularFont_ = MakeFont(face, height, FW_NORMAL, false);
  }
  // A face whose letters grow wider than the design's would no longer fit
  // its texts into the controls.
  if (dpi_ != kDesignDpi) {
    const UniqueFont design =
        MakeFont(kFontFace, DesignCharacterHeight(kDesignDpi), FW_NORMAL, false);
    const int fitting = FittingCharacterHeight(height, CaptionsWidth(regularFont_.Get()),
                                               CaptionsWidth(design.Get()), dpi_);
    if (fitting != height) {
      height = fitting;
      regularFont_ = MakeFont(face, height, FW_NORMAL, false);
    }
  }
  boldFont_ = MakeFont(face, height, FW_BOLD, false);
  italicFont_ = MakeFont(face, height, FW_NORMAL, true);
}

bool MainWindow::CreateControls() {
  // A new child window goes below its siblings, so creating the controls in
  // the design's order gives them its z-order, and with it its tab order.
  for (const ControlDesign& d : ControlTable()) {
    const ControlState& state = frm_->Control(d.id);
    const TwipsRect place = PlaceInWindow(d);
    int height = Px(place.height);
    // A drop-down's window height includes its opened list; the closed
    // height is set below from the design.
    if (d.kind == ControlKind::Combo) height *= 8;
    const std::string caption = state.caption.empty() ? std::string(d.caption) : state.caption;
    HWND control =
        ::CreateWindowExW(0, ClassOf(d.kind), ToWide(caption).c_str(), StyleOf(d, state),
                          Px(place.left), Px(place.top), Px(place.width), height, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(d.id)), instance_, nullptr);
    if (control == nullptr) return false;
    controls_[Index(d.id)] = control;
    HFONT font = d.face == ControlFace::Bold     ? boldFont_.Get()
                 : d.face == ControlFace::Italic ? italicFont_.Get()
                                                 : regularFont_.Get();
    if (font != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (d.kind == ControlKind::Combo) FixComboHeight(control, Px(place.height));
  }
  return true;
}

void MainWindow::FixComboHeight(HWND combo, int selectionHeightPx) {
  // The closed height follows the selection field's item height; how much
  // frame the system adds differs between versions, so measure and correct.
  // Corrections build on the value set, not on CB_GETITEMHEIGHT: Wine reports
  // a different value than the one it was given. Every setting lays the
  // whole drop-down out again, so the first one is a guess at the frame (a
  // fixed frame above and below) that is mostly right, not the reported
  // height that Wine always gets wrong.
  RECT r{};
  ::GetWindowRect(combo, &r);
  if (r.bottom - r.top == selectionHeightPx) return;
  LRESULT item = selectionHeightPx - 2 * ::GetSystemMetrics(SM_CYFIXEDFRAME);
  for (int attempt = 0; attempt < 4 && item > 0; ++attempt) {
    if (::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item) == CB_ERR) return;
    ::GetWindowRect(combo, &r);
    const int error = selectionHeightPx - (r.bottom - r.top);
    if (error == 0) return;
    item += error;
  }
}

// ---- mirroring the model ----

void MainWindow::ControlChanged(ControlId id) {
  ApplyControl(id);
}

void MainWindow::ApplyControl(ControlId id) {
  HWND control = Control(id);
  if (hwnd_ == nullptr || control == nullptr || frm_ == nullptr) return;
  const ControlState& state = frm_->Control(id);
  const ControlKind kind = DesignOf(id).kind;
  FlagScope applying(applying_);

  if (kind == ControlKind::Combo) {
    ApplyCombo(control, state);
  } else if (!state.caption.empty()) {
    SetTextIfDifferent(control, ToWide(state.caption));
  }
  if (kind == ControlKind::OptionButton || kind == ControlKind::CheckBox) {
    const bool on = state.value == 1;
    ::SendMessageW(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (kind == ControlKind::OptionButton) {
      const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
      const LONG_PTR wanted = on ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
      if (wanted != style) ::SetWindowLongPtrW(control, GWL_STYLE, wanted);
    }
  }
  const bool enabled = ::IsWindowEnabled(control) != FALSE;
  if (enabled != state.enabled) {
    if (!state.enabled) MoveFocusOffDisabled(control);
    ::EnableWindow(control, state.enabled ? TRUE : FALSE);
  }
}

void MainWindow::ApplyCombo(HWND combo, const ControlState& state) {
  const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  bool same = count == static_cast<LRESULT>(state.items.size());
  for (size_t i = 0; same && i < state.items.size(); ++i)
    same = ComboItem(combo, static_cast<int>(i)) == ToWide(state.items[i]);
  if (!same) {
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : state.items)
      ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
  }
  // Only a real change is written: rewriting the same text would move the
  // caret while the user types.
  SetTextIfDifferent(combo, ToWide(state.text));
}

void MainWindow::MoveFocusOffDisabled(HWND control) {
  if (::GetFocus() != control) return;
  HWND next = ::GetNextDlgTabItem(hwnd_, control, FALSE);
  ::SetFocus(next != nullptr && next != control ? next : hwnd_);
}

void MainWindow::CaptionChanged() {
  if (hwnd_ == nullptr || frm_ == nullptr) return;
  SetTextIfDifferent(hwnd_, ToWide(frm_->Caption()));
}

// Minimised without being deactivated: the program stays the one in front,
// which lets it bring the tools' windows to the front without taking the
// front from a program the user works in (SW_MINIMIZE would hand it to the
// next window).
void MainWindow::Minimise() {
  if (hwnd_ != nullptr) ::ShowWindow(hwnd_, SW_SHOWMINIMIZED);
}

void MainWindow::Restore() {
  if (hwnd_ == nullptr) return;
  ::ShowWindow(hwnd_, SW_RESTORE);
  // The system may refuse the foreground (another program has the user's
  // input); the window is shown restored either way.
  ::SetForegroundWindow(hwnd_);
}

void MainWindow::SetTimer(TimerId timer, bool on) {
  if (hwnd_ == nullptr) return;
  const auto id = static_cast<UINT_PTR>(timer);
  if (on) {
    const UINT ms = timer == TimerId::TimerCMD ? kCommandTimerMs : kWorkingTimerMs;
    if (::SetTimer(hwnd_, id, ms, nullptr) == 0)
      throw std::runtime_error("A timer of the main window could not be started.");
  } else {
    ::KillTimer(hwnd_, id);
  }
}

void MainWindow::ShowBusyProgress(bool busy) {
  taskbar_.Show(hwnd_, busy);
}

void MainWindow::Close() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void MainWindow::CloseIfRequested() {
  if (closeRequested_ && hwnd_ != nullptr && frm_ != nullptr && !frm_->JobRunning())
    ::DestroyWindow(hwnd_);
}

// ---- the window procedure ----

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

  // No exception may unwind through the system's code that called us.
  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, wParam, lParam);
  } catch (const JobCancelled&) {
    // The user closed the window during a job; closing follows below.
  } catch (const std::exception& e) {
    ShowErrorBox(self->hwnd_, e.what());
  } catch (...) {
    ShowErrorBox(self->hwnd_, nullptr);
  }
  if (msg == WM_COMMAND || msg == WM_TIMER) self->CloseIfRequested();
  return result;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (taskbarButtonCreated_ != 0 && msg == taskbarButtonCreated_) {
    taskbar_.ButtonCreated(hwnd_);
    return 0;
  }
  switch (msg) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    // Sent, so they reach a job's waits too, and a ShellWait.
    case WM_QUERYENDSESSION:
      return frm_ == nullptr || frm_->QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (frm_ != nullptr) frm_->EndSession(wParam != FALSE);
      return 0;
    case WM_ACTIVATE:
      // Minimised: the system's own handling.
      if (HIWORD(wParam) != 0) break;
      OnActivate(wParam);
      return 0;
    case WM_NEXTDLGCTL:
      // Sent by the dialog manager's keyboard handling to a window that is
      // not a dialog box.
      if (LOWORD(lParam) != 0)
        ::SetFocus(reinterpret_cast<HWND>(wParam));
      else
        ::SetFocus(::GetNextDlgTabItem(hwnd_, ::GetFocus(), wParam != 0));
      return 0;
    case WM_WTSSESSION_CHANGE:
      OnSessionChange(wParam);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

bool MainWindow::OnCreate() {
  if (!CreateControls()) return false;
  for (const ControlDesign& d : ControlTable()) ApplyControl(d.id);
  return true;
}

void MainWindow::OnCommand(int id, int code, HWND control) {
  if (applying_ || frm_ == nullptr) return;
  // Enter on a focused push button presses it, as in a dialog box.
  if (id == IDOK && control == nullptr) {
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(hwnd_, focus) &&
        (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) != 0)
      ::SendMessageW(focus, BM_CLICK, 0, 0);
    return;
  }
  if (id < kFirstControlId || id >= kFirstControlId + kControlCount) return;
  const auto which = static_cast<ControlId>(id);
  // A click message can reach a disabled button (BM_CLICK is sent, not
  // typed); the model's state is the one that counts.
  if (!frm_->Control(which).enabled) return;

  if (which == cmbAudQual) {
    if (code == CBN_EDITCHANGE) {
      frm_->SetQualityText(ToUtf8(WindowText(control)));
    } else if (code == CBN_SELCHANGE) {
      // The edit field still holds the old text at this point.
      const LRESULT index = ::SendMessageW(control, CB_GETCURSEL, 0, 0);
      if (index != CB_ERR)
        frm_->SetQualityText(ToUtf8(ComboItem(control, static_cast<int>(index))));
    }
    return;
  }
  if (code != BN_CLICKED) return;
  switch (which) {
    case cmdOpen:
      frm_->ClickOpen();
      return;
    case cmdAbout:
      frm_->ClickAbout();
      return;
    case cmdWFK:
      frm_->ClickWaitForKey();
      return;
    case cmdStart:
      frm_->ClickStart();  // runs a whole job
      return;
    default:
      break;
  }
  if (DesignOf(which).kind == ControlKind::OptionButton) frm_->SelectOption(which);
  // The new state is the model's to decide: one click is one change.
  if (DesignOf(which).kind == ControlKind::CheckBox)
    frm_->SetCheck(which, frm_->Control(which).value == 1 ? 0 : 1);
}

void MainWindow::OnTimer(UINT_PTR timer) {
  if (frm_ == nullptr) return;
  if (timer == static_cast<UINT_PTR>(TimerId::TimerCMD)) frm_->TickCommandTimer();
  if (timer == static_cast<UINT_PTR>(TimerId::TimerWorking)) frm_->TickWorkingTimer();
}

void MainWindow::OnClose() {
  if (frm_ == nullptr || frm_->QueryClose()) {
    ::DestroyWindow(hwnd_);
    return;
  }
  // A job is running: it stops at its next wait, and the window closes when
  // the reaction that runs it returns.
  closeRequested_ = true;
}

void MainWindow::OnActivate(WPARAM wParam) {
  // Keep the keyboard focus on the same control across a switch to another
  // program and back, as a dialog box does.
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(hwnd_, focus)) focusBeforeDeactivate_ = focus;
    return;
  }
  HWND focus = focusBeforeDeactivate_;
  if (focus == nullptr || !::IsWindow(focus) || !::IsWindowEnabled(focus))
    focus = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  ::SetFocus(focus != nullptr ? focus : hwnd_);
}

void MainWindow::ReportSessionTo(Win32Platform& platform) {
  platform_ = &platform;
  if (hwnd_ != nullptr) sessionNotifications_.emplace(hwnd_);
}

void MainWindow::OnSessionChange(WPARAM reason) {
  const std::optional<bool> locked = SessionLockedBy(reason);
  if (platform_ != nullptr && locked) platform_->SetSessionLocked(*locked);
}

void MainWindow::OnDestroy() {
  // Before the window goes, as the system asks.
  sessionNotifications_.reset();
  controls_.fill(nullptr);
  focusBeforeDeactivate_ = nullptr;
  ::PostQuitMessage(0);
}

}  // namespace quillon

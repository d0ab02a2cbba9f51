#pragma once
// The real main window: mirrors FrmMain's control model into Win32 controls
// and hands the user's clicks, keys and the timers back to FrmMain. It owns
// no job logic. A whole job runs inside one of its reactions and pumps
// messages in its pauses, so every handler here may be entered again while an
// outer one is still running, and the window may be destroyed underneath it.

#include <windows.h>

#include <array>
#include <optional>

#include "app/control_ids.h"
#include "app/main_view.h"
#include "app/win32/taskbar_progress.h"
#include "platform/win32/handles.h"
#include "platform/win32/session_notifications.h"

namespace quillon {

class FrmMain;
class Win32Platform;
struct ControlState;

// The program's one box for a failure that no job message reports: one that
// escapes a reaction of the window (owner: the window), or one that stops the
// program before or after it (no owner). Without a text it says only that an
// error occurred.
void ShowErrorBox(HWND owner, const char* what);

class MainWindow final : public MainView {
 public:
  explicit MainWindow(HINSTANCE instance);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Creates the window and its controls, hidden and centred on the screen,
  // and mirrors the model's current state into them. Throws
  // std::runtime_error when Windows refuses.
  void Create(FrmMain& frm);
  // Shows the window for the first time, as the program was asked to start
  // (WinMain's show command: normal, or minimised from a shortcut).
  void Show(int showCommand);
  // Null once the window is destroyed.
  HWND Handle() const { return hwnd_; }
  // Tells `platform` from now on when the session is locked and unlocked,
  // until the window is destroyed.
  void ReportSessionTo(Win32Platform& platform);

  // ---- MainView ----
  void ControlChanged(ControlId id) override;
  void CaptionChanged() override;
  void Minimise() override;
  void Restore() override;
  void SetTimer(TimerId timer, bool on) override;
  void ShowBusyProgress(bool busy) override;
  void Close() override;
  bool CloseRequested() override { return closeRequested_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  void OnCommand(int id, int code, HWND control);
  void OnTimer(UINT_PTR timer);
  void OnClose();
  void OnActivate(WPARAM wParam);
  void OnSessionChange(WPARAM reason);
  void OnDestroy();

  void CreateFonts();
  bool CreateControls();
  void ApplyControl(ControlId id);
  void ApplyCombo(HWND combo, const ControlState& state);
  void FixComboHeight(HWND combo, int selectionHeightPx);
  // Keeps the keyboard on an enabled control when the focused one is
  // disabled under it (Start during a job).
  void MoveFocusOffDisabled(HWND control);
  // After a reaction returns: the user closed the window while a job ran,
  // and the job has now stopped.
  void CloseIfRequested();
  int Px(int twips) const;
  HWND Control(ControlId id) const { return controls_[Index(id)]; }

  HINSTANCE instance_;
  FrmMain* frm_ = nullptr;
  HWND hwnd_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  UniqueFont regularFont_;
  UniqueFont boldFont_;
  UniqueFont italicFont_;
  int dpi_ = 96;
  bool closeRequested_ = false;
  // True while this window writes the model's state into its controls, so
  // the notifications that causes are not taken for the user's actions.
  bool applying_ = false;
  HWND focusBeforeDeactivate_ = nullptr;
  TaskbarProgress taskbar_;
  // The shell's message that the window's task-bar button exists (again).
  UINT taskbarButtonCreated_ = 0;
  Win32Platform* platform_ = nullptr;
  std::optional<SessionNotifications> sessionNotifications_;
};

}  // namespace quillon

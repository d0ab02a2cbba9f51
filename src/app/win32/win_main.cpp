// Quillon's entry point: wires the Win32 platform and the main window to the
// program logic and runs the message loop.

#include <windows.h>

#include "app/frm_main.h"
#include "app/win32/main_window.h"
#include "app/win32/startup.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  using namespace quillon;
  return RunProgram(
      [&] {
        Win32Platform platform;
        MainWindow window(instance);
        FrmMain frm(platform, window);
        ApplyWaitLimitsOverride(frm.Limits());
        window.Create(frm);
        platform.SetMainWindow(window.Handle());
        window.ReportSessionTo(platform);
        frm.Load();  // start-up runs before the window is first shown
        window.Show(showCommand);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
          if (window.Handle() == nullptr || !::IsDialogMessageW(window.Handle(), &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
          }
        }
        return frm.ExitCode();
      },
      [](const char* what) { ShowErrorBox(nullptr, what); });
}

// DVDSubEdit.exe: the subtitle editor with its character recognition. The
// program drives it through its File menu (Alt+F, three Down arrows, Enter
// reach "Open SUP file..."), the "Load IFO file" window it closes with
// Alt+F4, and two buttons of the main window: 1053 runs the recognition,
// 1056 saves the SRT file. Once a SUP file is open the main window's caption
// is that file's path.

#include <shlobj.h>

#include <iterator>

#include "stages/tool_windows.h"
#include "support/standin.h"
#include "tool_model/outside_tools.h"

namespace {

namespace tools = quillon::tools;
namespace tool_model = quillon::tool_model;

// The File menu's commands are numbered from here in the order of the menu.
constexpr UINT kFirstMenuCommand = 40001;
constexpr UINT kMenuOpenSup =
    kFirstMenuCommand + static_cast<UINT>(tool_model::kSubEditOpenSupEntry);
constexpr UINT kMenuExit =
    kFirstMenuCommand + static_cast<UINT>(std::size(tool_model::kSubEditFileMenu)) - 1;

constexpr UINT_PTR kRecognitionTimer = 1;
constexpr DWORD kUsualRecognitionMs = 500;
constexpr wchar_t kAuthor[] = L"Test Author";
constexpr wchar_t kOcrAuthor[] = L"Joerg Schulenburg)";

standin::Mode g_mode;
std::wstring g_sup;         // the open SUP file, empty before one is opened
bool g_recognized = false;  // the recognition ran for g_sup
HWND g_progress = nullptr;  // the recognition's progress window while it runs

// The editor keeps its settings here; the program deletes the file before
// each start, which the log shows ("settings found" when it did not).
void WriteSettings() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    standin::Log(L"error", L"no application-data folder");
    return;
  }
  const std::wstring path =
      std::wstring(folder) + L"\\" + standin::ToWide(tools::kSubEditSettingsFile);
  if (standin::IsFile(path)) standin::Log(L"settings found", path);
  if (standin::WriteWholeFile(path, "[DVDSubEdit]\r\nVersion=1.34\r\n")) {
    standin::Log(L"wrote", path);
  }
}

HMENU BuildMenu() {
  HMENU file = CreatePopupMenu();
  UINT id = kFirstMenuCommand;
  for (const char* entry : tool_model::kSubEditFileMenu) {
    if (*entry == '\0')
      AppendMenuW(file, MF_SEPARATOR, id++, nullptr);
    else
      AppendMenuW(file, MF_STRING, id++, standin::ToWide(entry).c_str());
  }
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  return bar;
}

void OnOpenSup(HWND window) {
  standin::Log(L"menu", L"Open SUP file...");
  const std::optional<std::wstring> sup =
      standin::AskOpenPath(window, L"Open SUP file", L"SUP files (*.sup)\0*.sup\0All files\0*.*\0");
  if (!sup) {
    standin::Log(L"cancelled", L"open dialog");
    return;
  }
  standin::Log(L"typed", *sup);
  if (!standin::IsFile(*sup)) {
    standin::Log(L"error", L"cannot open " + *sup);
    return;
  }
  g_sup = *sup;
  g_recognized = false;
  SetWindowTextW(window, g_sup.c_str());
  standin::Log(L"caption", g_sup);

  const std::wstring ifo_caption = standin::ToWide(tools::kLoadIfoCaption);
  standin::Log(L"ifo shown", ifo_caption);
  const std::optional<std::wstring> ifo =
      standin::AskOpenPath(window, ifo_caption.c_str(), L"IFO files (*.ifo)\0*.ifo\0");
  standin::Log(L"ifo closed", ifo.value_or(L""));
}

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

void OnRecognize(HWND window) {
  standin::Log(L"click", std::to_wstring(tools::kSubEditRecognizeButton));
  if (g_sup.empty() || g_progress) {
    standin::Log(L"error", g_sup.empty() ? L"no SUP file open" : L"recognition already running");
    return;
  }
  const std::wstring caption = standin::ToWide(tools::kOcrProgressCaptionPrefix) + kOcrAuthor;
  g_progress = standin::CreateTopLevelWindow(L"QuillonStandinOcrProgress", caption, ProgressProc,
                                             300, 60, window);
  standin::Show(g_progress, SW_SHOWNORMAL);
  standin::Log(L"recognition shown", caption);
  if (g_mode.kind == standin::ModeKind::kHang) {
    standin::Log(L"hang", L"the recognition never ends");
    return;
  }
  SetTimer(window, kRecognitionTimer, g_mode.DelayOr(kUsualRecognitionMs), nullptr);
}

void OnRecognized() {
  DestroyWindow(g_progress);
  g_progress = nullptr;
  g_recognized = true;
  standin::Log(L"recognition done", g_sup);
}

void OnSave(HWND window) {
  standin::Log(L"click", std::to_wstring(tools::kSubEditSaveButton));
  if (g_sup.empty()) {
    standin::Log(L"error", L"no SUP file open");
    return;
  }
  const std::optional<std::wstring> srt =
      standin::AskSavePath(window, L"Save SRT file", L"SubRip files (*.srt)\0*.srt\0",
                           standin::ToWide(tool_model::kSubEditSaveExtension).c_str());
  if (!srt) {
    standin::Log(L"cancelled", L"save dialog");
    return;
  }
  standin::Log(L"typed", *srt);
  std::string text;
  if (g_recognized) {
    text = "1\r\n00:00:01,000 --> 00:00:03,000\r\nText recognised from " + standin::ToUtf8(g_sup) +
           "\r\n\r\n";
  } else {
    standin::Log(L"error", L"saved before the recognition ran: no subtitles");
  }
  if (standin::WriteWholeFile(*srt, text)) standin::Log(L"wrote", *srt);
}

void OnCommand(HWND window, UINT id) {
  switch (id) {
    case kMenuOpenSup:
      OnOpenSup(window);
      break;
    case kMenuExit:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case tools::kSubEditRecognizeButton:
      OnRecognize(window);
      break;
    case tools::kSubEditSaveButton:
      OnSave(window);
      break;
    default: {
      wchar_t text[64] = {};
      if (GetMenuStringW(GetMenu(window), id, text, 64, MF_BYCOMMAND) > 0)
        standin::Log(L"menu", text);
      break;
    }
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(window, LOWORD(wparam));
      return 0;
    case WM_TIMER:
      KillTimer(window, wparam);
      OnRecognized();
      return 0;
    case WM_CLOSE:
      standin::Log(L"close");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  g_mode = standin::Start();
  WriteSettings();
  if (g_mode.kind == standin::ModeKind::kNoWindow) standin::RunWithoutWindow();
  const std::wstring caption = standin::ToWide(tools::kSubEditCaptionPrefix) + kAuthor;
  HWND window = standin::CreateTopLevelWindow(
      L"QuillonStandinDvdSubEdit", standin::MainCaption(g_mode, caption), WindowProc, 400, 120);
  SetMenu(window, BuildMenu());
  standin::CreateButton(window, tools::kSubEditRecognizeButton, L"Start OCR", 20, 30, 120, 28);
  standin::CreateButton(window, tools::kSubEditSaveButton, L"Save as SRT...", 160, 30, 120, 28);
  standin::Show(window, show);
  standin::Exit(standin::RunMessageLoop());
}

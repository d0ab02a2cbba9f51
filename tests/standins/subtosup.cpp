// SubToSup.exe: the VobSub to SUP converter. Its main window "SubToSup" has
// the open button (control 1002); the index typed into the file dialog is
// "converted" into one SUP file per subtitle stream beside it, and the box
// "SubToSup 0.9 Beta" then says that the conversion is done.

#include <vector>

#include "stages/tool_windows.h"
#include "support/standin.h"

namespace {

namespace tools = quillon::tools;

standin::Mode g_mode;
std::wstring g_index;  // the index the user opened

constexpr UINT_PTR kConvertTimer = 1;

// One SUP file per "id: " line of the index, named after the index and the
// stream's number: movie.idx gives movie_0x20.sup, movie_0x21.sup, ...
bool Convert(const std::wstring& index) {
  const std::optional<std::string> text = standin::ReadBytes(index);
  if (!text) {
    standin::Log(L"error", L"cannot open " + index);
    return false;
  }
  const size_t dot = index.rfind(L'.');
  const size_t slash = index.find_last_of(L"\\/");
  const std::wstring base =
      dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)
          ? index.substr(0, dot)
          : index;
  int stream = 0;
  size_t pos = 0;
  while (pos < text->size()) {
    size_t end = text->find('\n', pos);
    if (end == std::string::npos) end = text->size();
    std::string line = text->substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("id: ", 0) != 0) continue;
    wchar_t key[8];
    swprintf(key, 8, L"0x%02x", 0x20 + stream);
    const std::wstring sup = base + L"_" + key + L".sup";
    const std::string content = "SUP stream " + std::to_string(stream) + " (" + line + ") from " +
                                standin::ToUtf8(index) + "\r\n";
    if (!standin::WriteWholeFile(sup, content)) return false;
    standin::Log(L"wrote", sup);
    ++stream;
  }
  return true;
}

void OnOpenClicked(HWND window) {
  standin::Log(L"click", std::to_wstring(tools::kSubToSupOpenButton));
  const std::optional<std::wstring> index =
      standin::AskOpenPath(window, L"Open", L"VobSub index (*.idx)\0*.idx\0All files\0*.*\0");
  if (!index) {
    standin::Log(L"cancelled", L"open dialog");
    return;
  }
  g_index = *index;
  standin::Log(L"typed", g_index);
  if (g_mode.kind == standin::ModeKind::kHang) {
    standin::Log(L"hang", L"the conversion never ends");
    return;
  }
  SetTimer(window, kConvertTimer, g_mode.DelayOr(standin::kUsualDelayMs), nullptr);
}

void OnConverted(HWND window) {
  if (!Convert(g_index)) return;  // no "done" box: the program's wait must time out
  const std::wstring done_caption = standin::ToWide(tools::kSubToSupDoneCaption);
  standin::Log(L"done shown", done_caption);
  MessageBoxW(window, L"Conversion finished.", done_caption.c_str(), MB_OK);
  standin::Log(L"done dismissed", done_caption);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == tools::kSubToSupOpenButton && HIWORD(wparam) == BN_CLICKED) {
        OnOpenClicked(window);
      }
      return 0;
    case WM_TIMER:
      KillTimer(window, wparam);
      OnConverted(window);
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
  if (g_mode.kind == standin::ModeKind::kNoWindow) standin::RunWithoutWindow();
  HWND window = standin::CreateTopLevelWindow(
      L"QuillonStandinSubToSup",
      standin::MainCaption(g_mode, standin::ToWide(tools::kSubToSupCaption)), WindowProc, 300, 100);
  standin::CreateButton(window, tools::kSubToSupOpenButton, L"&Open...", 20, 30, 120, 28);
  standin::Show(window, show);
  standin::Exit(standin::RunMessageLoop());
}

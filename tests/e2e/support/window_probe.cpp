#include "support/window_probe.h"

#include <thread>

#include "platform/win32/handles.h"
#include "platform/win32/input_box_ids.h"
#include "support/window_search.h"

namespace quillon::e2e {
namespace {

// Another program's window answers within this time or counts as hung.
constexpr UINT kAnswerMs = 5000;

// The message box's own controls: its text, and its icon (Windows numbers
// the icon 20, Wine 1088).
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconIds[] = {20, 1088};

LRESULT SendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kAnswerMs, &result))
    return 0;
  return static_cast<LRESULT>(result);
}

// WM_GETTEXT, which the system carries across processes (GetWindowText only
// reads a control's stored title, which a combo box does not keep current).
std::wstring TextOf(HWND window) {
  if (window == nullptr) return {};
  const LRESULT length = SendWithLimit(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendWithLimit(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                       reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

bool SendKeyInputs(std::vector<INPUT> inputs) {
  const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  // Give the target's thread time to take the keys from its queue.
  std::this_thread::sleep_for(200ms);
  return sent == inputs.size();
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// A visible dialog box of the process with this title.
HWND FindOwnedDialog(DWORD processId, std::wstring_view title) {
  return test::FindProcessWindow(processId, L"#32770", title);  // the dialog box class
}

// ---- telling the icons apart ----
// An icon handle means nothing outside its own process, so the icon is
// compared by its pixels on the screen against the system icons drawn here.

// A memory bitmap selected into a memory device context.
class Canvas {
 public:
  Canvas(HDC compatible, int width, int height)
      : width_(width),
        height_(height),
        dc_(::CreateCompatibleDC(compatible)),
        bitmap_(::CreateCompatibleBitmap(compatible, width, height)),
        old_(::SelectObject(dc_, bitmap_)) {}
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(width_ * height_));
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) pixels.push_back(::GetPixel(dc_, x, y));
    return pixels;
  }

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

std::vector<COLORREF> ScreenPixels(const RECT& r) {
  ScreenDc screen;
  Canvas canvas(screen.Get(), r.right - r.left, r.bottom - r.top);
  ::BitBlt(canvas.Dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen.Get(), r.left, r.top,
           SRCCOPY);
  return canvas.Pixels();
}

std::vector<COLORREF> DrawnIcon(LPCWSTR systemIcon, COLORREF background, int width, int height) {
  ScreenDc screen;
  Canvas canvas(screen.Get(), width, height);
  const HBRUSH brush = ::CreateSolidBrush(background);
  const RECT all{0, 0, width, height};
  ::FillRect(canvas.Dc(), &all, brush);
  ::DeleteObject(brush);
  ::DrawIconEx(canvas.Dc(), 0, 0, ::LoadIconW(nullptr, systemIcon), 0, 0, 0, nullptr, DI_NORMAL);
  return canvas.Pixels();
}

BoxIcon MatchIcon(HWND iconControl) {
  RECT r{};
  ::GetWindowRect(iconControl, &r);
  if (r.right - r.left <= 0 || r.bottom - r.top <= 0) return BoxIcon::Unknown;
  const std::vector<COLORREF> shown = ScreenPixels(r);
  struct Candidate {
    LPCWSTR id;
    BoxIcon icon;
  };
  const Candidate candidates[] = {{IDI_INFORMATION, BoxIcon::Information},
                                  {IDI_WARNING, BoxIcon::Warning},
                                  {IDI_ERROR, BoxIcon::Error},
                                  {IDI_QUESTION, BoxIcon::Question}};
  for (const Candidate& c : candidates) {
    const std::vector<COLORREF> drawn =
        DrawnIcon(c.id, shown.front(), r.right - r.left, r.bottom - r.top);
    size_t same = 0;
    for (size_t i = 0; i < drawn.size(); ++i) same += drawn[i] == shown[i] ? 1 : 0;
    // The icons share many pixels; only a near-perfect match counts.
    if (same * 100 >= drawn.size() * 98) return c.icon;
  }
  return BoxIcon::Unknown;
}

BoxIcon IconOf(HWND box) {
  for (int id : kBoxIconIds) {
    const HWND control = ::GetDlgItem(box, id);
    if (control == nullptr) continue;
    if (!::IsWindowVisible(control) || SendWithLimit(control, STM_GETICON, 0, 0) == 0)
      return BoxIcon::None;
    // The box may not have painted yet: look again for a little while.
    BoxIcon icon = BoxIcon::Unknown;
    WaitUntil(3s, [&] {
      icon = MatchIcon(control);
      return icon != BoxIcon::Unknown;
    });
    return icon;
  }
  return BoxIcon::None;
}

}  // namespace

// ---- WindowProbe ----

std::wstring WindowProbe::Text() const {
  return TextOf(window_);
}

SIZE WindowProbe::ClientSize() const {
  RECT r{};
  ::GetClientRect(window_, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

std::wstring WindowProbe::ItemText(int id) const {
  return TextOf(Item(id));
}

int WindowProbe::ItemCheck(int id) const {
  return static_cast<int>(SendWithLimit(Item(id), BM_GETCHECK, 0, 0));
}

RECT WindowProbe::ItemRect(int id) const {
  RECT r{};
  ::GetWindowRect(Item(id), &r);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int WindowProbe::ItemAt(POINT client) const {
  const HWND child = ::ChildWindowFromPointEx(window_, client, CWP_SKIPINVISIBLE);
  return child != nullptr && child != window_ ? ::GetDlgCtrlID(child) : 0;
}

std::vector<std::wstring> WindowProbe::ComboItems(int id) const {
  const HWND combo = Item(id);
  std::vector<std::wstring> items;
  const LRESULT count = SendWithLimit(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendWithLimit(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendWithLimit(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    items.push_back(text);
  }
  return items;
}

void WindowProbe::SetItemText(int id, std::wstring_view text) const {
  const std::wstring copy(text);
  SendWithLimit(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

std::vector<int> WindowProbe::ZOrder() const {
  std::vector<int> ids;
  for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT))
    ids.push_back(::GetDlgCtrlID(child));
  return ids;
}

std::vector<int> WindowProbe::TabWalk() const {
  std::vector<int> ids;
  const HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE);
  HWND at = first;
  // The walk comes round to the first control again; the bound guards
  // against a broken chain.
  for (int i = 0; at != nullptr && i < 64; ++i) {
    ids.push_back(::GetDlgCtrlID(at));
    at = ::GetNextDlgTabItem(window_, at, FALSE);
    if (at == first) break;
  }
  return ids;
}

int WindowProbe::FocusedItem() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window_, nullptr), &info)) return 0;
  // A combo box's focus sits in its edit field: count the control itself.
  HWND focus = info.hwndFocus;
  while (focus != nullptr && ::GetParent(focus) != window_) focus = ::GetParent(focus);
  return focus != nullptr ? ::GetDlgCtrlID(focus) : 0;
}

void WindowProbe::Click(int id) const {
  ::PostMessageW(Item(id), BM_CLICK, 0, 0);
}

void WindowProbe::Close() const {
  ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool WindowProbe::Activate() const {
  return WaitUntil(5s, [&] {
    if (::GetForegroundWindow() == window_) return true;
    ::SetForegroundWindow(window_);
    return false;
  });
}

bool WindowProbe::PressAltKey(char letter) const {
  if (!Activate()) return false;
  const auto key = static_cast<WORD>(::toupper(static_cast<unsigned char>(letter)));
  return SendKeyInputs({Key(VK_MENU, false), Key(key, false), Key(key, true), Key(VK_MENU, true)});
}

bool WindowProbe::PressKey(WORD virtualKey) const {
  if (!Activate()) return false;
  return SendKeyInputs({Key(virtualKey, false), Key(virtualKey, true)});
}

// ---- message boxes ----

const char* ToString(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None:
      return "no icon";
    case BoxIcon::Information:
      return "information";
    case BoxIcon::Warning:
      return "warning";
    case BoxIcon::Error:
      return "error";
    case BoxIcon::Question:
      return "question";
    case BoxIcon::Unknown:
      break;
  }
  return "unknown icon";
}

bool SameBoxText(std::wstring_view shown, std::wstring_view expected) {
  auto trim = [](std::wstring_view text) {
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.remove_suffix(1);
    return text;
  };
  return trim(shown) == trim(expected);
}

std::optional<MessageBoxSeen> WaitForMessageBox(const QuillonProcess& process, Ms limit,
                                                std::wstring_view title) {
  HWND box = nullptr;
  if (!WaitUntil(limit, [&] {
        box = FindOwnedDialog(process.Id(), title);
        return box != nullptr && !TextOf(::GetDlgItem(box, kBoxTextId)).empty();
      }))
    return std::nullopt;
  MessageBoxSeen seen;
  seen.window = box;
  seen.text = TextOf(::GetDlgItem(box, kBoxTextId));
  seen.icon = IconOf(box);
  return seen;
}

bool PressDialogButton(HWND dialog, int buttonId, Ms limit) {
  ::SetForegroundWindow(dialog);
  ::PostMessageW(::GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
  return WaitUntil(limit, [&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
}

// ---- the "WaitForKey" input box ----

std::optional<InputBoxSeen> WaitForInputBox(const QuillonProcess& process, Ms limit) {
  HWND box = nullptr;
  if (!WaitUntil(limit,
                 [&] { return (box = FindOwnedDialog(process.Id(), L"WaitForKey")) != nullptr; }))
    return std::nullopt;
  InputBoxSeen seen;
  seen.window = box;
  seen.prompt = TextOf(::GetDlgItem(box, kInputBoxPromptId));
  seen.text = TextOf(::GetDlgItem(box, kInputBoxEditId));
  return seen;
}

bool AnswerInputBox(HWND box, std::wstring_view answer) {
  const std::wstring copy(answer);
  SendWithLimit(::GetDlgItem(box, kInputBoxEditId), WM_SETTEXT, 0,
                reinterpret_cast<LPARAM>(copy.c_str()));
  return PressDialogButton(box, IDOK);
}

bool CancelInputBox(HWND box) {
  return PressDialogButton(box, IDCANCEL);
}

std::optional<MessageBoxSeen> MessageBoxNow(const QuillonProcess& process) {
  const HWND box = FindOwnedDialog(process.Id(), L"Quillon");
  // Every box of the program says something: one without its text yet (or
  // any more, being taken down after its OK) is looked at again next time.
  if (box == nullptr || TextOf(::GetDlgItem(box, kBoxTextId)).empty()) return std::nullopt;
  // A box with a long path in it can be wider than the screen, its icon then
  // lying beyond the left edge where its pixels cannot be read.
  RECT r{};
  if (::GetWindowRect(box, &r) && r.left < 0)
    ::SetWindowPos(box, nullptr, 0, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MessageBoxSeen seen;
  seen.window = box;
  seen.text = TextOf(::GetDlgItem(box, kBoxTextId));
  seen.icon = IconOf(box);
  return seen;
}

std::optional<DWORD> RunToExit(const QuillonProcess& process, Ms limit,
                               std::vector<MessageBoxSeen>& seen, const std::function<void()>& each,
                               bool answerBoxes) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (auto code = process.WaitForExit(50ms)) return code;
    if (each) each();
    const auto box = MessageBoxNow(process);
    if (!box) continue;
    if (answerBoxes) {
      seen.push_back(*box);
      PressDialogButton(box->window, IDOK);
    } else if (seen.empty() || seen.back().window != box->window) {
      seen.push_back(*box);
    }
  }
  return process.WaitForExit(0ms);
}

}  // namespace quillon::e2e

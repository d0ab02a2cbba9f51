// The main window as Win32 shows it: controls, layout, keyboard, the About
// box and the keystroke-pause setting, read from the running Quillon.exe.

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

#include "maker.h"
#include "quillon_test.h"

namespace quillon::e2e {
namespace {

using enum ControlId;

struct ControlAtStart {
  ControlId id;
  const wchar_t* caption;  // combo box: its text
  bool enabled;
  int check;  // -1: not a check box or option button
};

// How the window opens: captions, enabled and checked states.
constexpr ControlAtStart kAtStart[] = {
    {cmdOpen, L"Select folder...", true, -1},
    {cmdAbout, L"about...", true, -1},
    {cmdWFK, L"WaitFor&Key", true, -1},
    {fraAud, L"Audio", true, -1},
    {optAudOrig, L"Original", true, 1},
    {optAudMP3, L"Convert to MP3", true, 0},
    {lblAudQual, L"Quality:", false, -1},
    {cmbAudQual, L"128", false, -1},
    {fraSub, L"Subtitles", true, -1},
    {optSubOrig, L"Original", true, 1},
    {optSubSRT, L"Convert to SRT", true, 0},
    {chkSubMux, L"Mux into AVI", false, 0},
    {fraOpt, L"Options", true, -1},
    {chkDelTemp, L"Delete temporary files", true, 1},
    {chkShutDown, L"Shut down computer", true, 0},
    {chkMux, L"&Mux all", true, 1},
    {cmdStart, L"Start", false, -1},
};

struct Placement {
  ControlId id;
  LONG left, top, width, height;  // client pixels at 96 DPI
};

// The design's twips divided by 15, frame children moved by their frame.
constexpr Placement kPlacements[] = {
    {cmdOpen, 8, 16, 89, 25},      {cmdWFK, 176, 16, 49, 17},      {cmdAbout, 176, 16, 49, 17},
    {fraAud, 8, 56, 105, 113},     {optAudOrig, 16, 80, 89, 17},   {optAudMP3, 16, 104, 89, 17},
    {lblAudQual, 16, 136, 33, 17}, {cmbAudQual, 56, 136, 41, 19},  {fraSub, 120, 56, 105, 113},
    {optSubOrig, 128, 80, 89, 17}, {optSubSRT, 128, 104, 89, 17},  {chkSubMux, 128, 136, 73, 17},
    {fraOpt, 8, 176, 145, 65},     {chkDelTemp, 16, 192, 113, 25}, {chkShutDown, 16, 216, 113, 17},
    {chkMux, 176, 184, 49, 17},    {cmdStart, 160, 184, 65, 57},
};

std::vector<int> Ids(std::initializer_list<ControlId> ids) {
  std::vector<int> numbers;
  for (ControlId id : ids) numbers.push_back(static_cast<int>(id));
  return numbers;
}

std::wstring AboutText() {
  const std::wstring rn = L"\r\n";
  return ToWide("Brindle MUX v1.0 by " QUILLON_MAKER_NAME) + rn + rn +
         L"Quillon is a GUI with automation capabilities. It uses a number of different tools "
         L"to convert a source movie folder created with any version of Brindle (1.x, 2.x or "
         L"3.x) into a single AVI file. The result is optimized to be played back with a "
         L"Stand-Alone hardware-based media player." +
         rn + rn +
         L"More precisely, Quillon opens a source movie folder containing an AVI, "
         L"WAV/AC3/MP3/OGG audio tracks and RAR-compressed VobSub subtitles. It can then convert "
         L"the audio to MP3 format and the subtitles to SRT (text) format (for Stand-Alone "
         L"compatibility). This output is found in the \"mux\" subfolder of the source movie "
         L"folder." +
         rn + rn +
         L"Since Quillon uses keyboard macros to automate some programs, it is strongly "
         L"recommended to leave the PC alone while it is working: keyboard and mouse activity "
         L"could interfere with them. Also, no windows other than the tools should pop-up "
         L"during the process." +
         rn + rn + L"If you like this program, please donate." + rn + rn +
         ToWide(QUILLON_MAKER_WEBSITE) + rn;
}

int ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

POINT Centre(const RECT& r) {
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class MainWindowTest : public QuillonTest {};

TEST_F(MainWindowTest, OpensWithTheDesignCaptionsAndStates) {
  const WindowProbe window = Start();
  EXPECT_EQ(window.Text(), L"Quillon v1.0");
  for (const ControlAtStart& c : kAtStart) {
    SCOPED_TRACE(::testing::Message() << "control " << Id(c.id));
    ASSERT_NE(window.Item(Id(c.id)), nullptr);
    EXPECT_EQ(window.ItemText(Id(c.id)), c.caption);
    EXPECT_EQ(window.ItemEnabled(Id(c.id)), c.enabled);
    EXPECT_TRUE(window.ItemVisible(Id(c.id)));
    if (c.check >= 0) {
      EXPECT_EQ(window.ItemCheck(Id(c.id)), c.check);
    }
  }
  EXPECT_EQ(
      window.ComboItems(Id(cmbAudQual)),
      (std::vector<std::wstring>{L"320", L"256", L"192", L"128", L"112", L"96", L"80", L"64"}));
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, LaysOutEveryControlInPixelsOfTheDesignAt96Dpi) {
  if (ScreenDpi() != 96) GTEST_SKIP() << "the pixel layout is checked at 96 DPI only";
  const WindowProbe window = Start();
  const SIZE client = window.ClientSize();
  EXPECT_EQ(client.cx, 236);
  EXPECT_EQ(client.cy, 257);
  for (const Placement& p : kPlacements) {
    SCOPED_TRACE(::testing::Message() << "control " << Id(p.id));
    const RECT r = window.ItemRect(Id(p.id));
    EXPECT_EQ(r.left, p.left);
    EXPECT_EQ(r.top, p.top);
    EXPECT_EQ(r.right - r.left, p.width);
    EXPECT_EQ(r.bottom - r.top, p.height);
  }
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, HasAFixedFrameWithMinimiseBoxCentredOnTheScreen) {
  const WindowProbe window = Start();
  const LONG style = window.Style();
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0) << "the window must not be resizable";
  EXPECT_NE(style & WS_SYSMENU, 0);

  RECT frame{};
  ::GetWindowRect(window.Handle(), &frame);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const POINT a = Centre(frame);
  const POINT b = Centre(work);
  EXPECT_LE(std::abs(a.x - b.x), 1) << "window centre x " << a.x << ", screen " << b.x;
  EXPECT_LE(std::abs(a.y - b.y), 1) << "window centre y " << a.y << ", screen " << b.y;

  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, KeepsWaitForKeyAndMuxAllCoveredYetEnabled) {
  const WindowProbe window = Start();
  // "WaitFor&Key" is wholly behind "about...", "&Mux all" behind Start: each
  // lies inside its cover, and each of its corners hits the cover.
  for (const auto& [hidden, cover] : {std::pair{cmdWFK, cmdAbout}, std::pair{chkMux, cmdStart}}) {
    SCOPED_TRACE(::testing::Message() << "control " << Id(hidden));
    const RECT under = window.ItemRect(Id(hidden));
    const RECT over = window.ItemRect(Id(cover));
    RECT inside{};
    EXPECT_TRUE(::IntersectRect(&inside, &under, &over));
    EXPECT_TRUE(::EqualRect(&inside, &under)) << "it reaches out from under its cover";
    for (POINT p : {POINT{under.left, under.top}, POINT{under.right - 1, under.top},
                    POINT{under.left, under.bottom - 1}, POINT{under.right - 1, under.bottom - 1},
                    Centre(under)})
      EXPECT_EQ(window.ItemAt(p), Id(cover));
  }

  for (ControlId id : {cmdWFK, chkMux}) {
    EXPECT_TRUE(window.ItemEnabled(Id(id)));
    EXPECT_TRUE(window.ItemVisible(Id(id)));
    EXPECT_NE(window.ItemStyle(Id(id)) & WS_TABSTOP, 0);
    EXPECT_NE(window.ItemStyle(Id(id)) & WS_CLIPSIBLINGS, 0) << "a covered control paints over";
  }
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, StacksTheControlsInTabOrderWithFramesUnderneath) {
  const WindowProbe window = Start();
  const std::vector<int> z = window.ZOrder();
  EXPECT_EQ(z, Ids({cmdOpen, optAudOrig, optAudMP3, optSubOrig, optSubSRT, cmdStart, cmbAudQual,
                    chkSubMux, cmdAbout, cmdWFK, chkDelTemp, chkShutDown, chkMux, lblAudQual,
                    fraAud, fraSub, fraOpt}));

  // With Start, the bit-rate box and "Mux into AVI" disabled, Tab skips them;
  // each option group is one stop, at its selected button.
  const std::vector<int> atStart =
      Ids({cmdOpen, optAudOrig, optSubOrig, cmdAbout, cmdWFK, chkDelTemp, chkShutDown, chkMux});
  EXPECT_EQ(window.TabWalk(), atStart);

  // The real keyboard takes the same road: the first control has the focus,
  // each Tab moves one stop on.
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.FocusedItem() == Id(cmdOpen); }))
      << "focus at " << window.FocusedItem();
  std::vector<int> visited = {window.FocusedItem()};
  for (size_t i = 1; i <= atStart.size(); ++i) {
    ASSERT_TRUE(window.PressKey(VK_TAB));
    WaitUntil(2s, [&] { return window.FocusedItem() != visited.back(); });
    visited.push_back(window.FocusedItem());
  }
  std::vector<int> round = atStart;
  round.push_back(Id(cmdOpen));  // and round again
  EXPECT_EQ(visited, round);
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, TabsThroughEveryControlInTheDesignOrderOnceAllAreEnabled) {
  // A folder given as the only argument is opened: its scan enables Start.
  const std::wstring source = folder_.MakeFolder(L"Film");
  const WindowProbe window = Start(source);
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.ItemEnabled(Id(cmdStart)); }))
      << "Start was not enabled by opening the folder";
  window.Click(Id(optAudMP3));
  window.Click(Id(optSubSRT));
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] {
    return window.ItemEnabled(Id(cmbAudQual)) && window.ItemEnabled(Id(chkSubMux));
  }));
  // The full order, each option group at its selected button.
  EXPECT_EQ(window.TabWalk(), Ids({cmdOpen, optAudMP3, optSubSRT, cmdStart, cmbAudQual, chkSubMux,
                                   cmdAbout, cmdWFK, chkDelTemp, chkShutDown, chkMux}));
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, OptionButtonsCarryTheirRulesIntoTheRealControls) {
  const WindowProbe window = Start();
  window.Click(Id(optAudMP3));
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.ItemEnabled(Id(cmbAudQual)); }));
  EXPECT_TRUE(window.ItemEnabled(Id(lblAudQual)));
  EXPECT_EQ(window.ItemCheck(Id(optAudMP3)), 1);
  EXPECT_EQ(window.ItemCheck(Id(optAudOrig)), 0);
  EXPECT_EQ(window.ItemText(Id(cmbAudQual)), L"128");

  window.Click(Id(optSubSRT));
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.ItemEnabled(Id(chkSubMux)); }));
  EXPECT_EQ(window.ItemCheck(Id(chkSubMux)), 1);
  // The user may take the check off again; one click is one change.
  window.Click(Id(chkSubMux));
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.ItemCheck(Id(chkSubMux)) == 0; }));

  window.Click(Id(optAudOrig));
  window.Click(Id(optSubOrig));
  ASSERT_TRUE(WaitUntil(kDialogLimit, [&] {
    return !window.ItemEnabled(Id(cmbAudQual)) && !window.ItemEnabled(Id(chkSubMux));
  }));
  EXPECT_FALSE(window.ItemEnabled(Id(lblAudQual)));
  EXPECT_EQ(window.ItemCheck(Id(chkSubMux)), 0);
  // Disabling the bit-rate box leaves its text alone.
  EXPECT_EQ(window.ItemText(Id(cmbAudQual)), L"128");
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, AltMTogglesMuxAllAndSaysSoEachTime) {
  const WindowProbe window = Start();
  ASSERT_TRUE(window.PressAltKey('M'));
  ExpectMessageBox(L"Mux All 0", BoxIcon::None);
  EXPECT_EQ(window.ItemCheck(Id(chkMux)), 0);

  ASSERT_TRUE(window.PressAltKey('M'));
  ExpectMessageBox(L"Mux All 1", BoxIcon::None);
  EXPECT_EQ(window.ItemCheck(Id(chkMux)), 1);
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, AboutShowsElevenLinesWithTheInformationIcon) {
  const WindowProbe window = Start();
  window.Click(Id(cmdAbout));
  const auto box = WaitForMessageBox(Process());
  ASSERT_TRUE(box.has_value());
  EXPECT_TRUE(SameBoxText(box->text, AboutText())) << ToUtf8(box->text);
  EXPECT_EQ(box->icon, BoxIcon::Information) << ToString(box->icon);
  // Eleven lines: ten line breaks inside (Windows may drop the last one).
  std::wstring inner = box->text;
  while (!inner.empty() && (inner.back() == L'\n' || inner.back() == L'\r')) inner.pop_back();
  EXPECT_EQ(std::count(inner.begin(), inner.end(), L'\n'), 10);
  ASSERT_TRUE(PressDialogButton(box->window));
  CloseAndExpectExitCode(window, 0);
}

TEST_F(MainWindowTest, WaitForKeyAnswerIsStoredAndOfferedAtTheNextStart) {
  StoredPauseScope keepTheUsersValue;
  WriteStoredPause(std::nullopt);

  WindowProbe window = Start();
  ASSERT_TRUE(window.PressAltKey('K'));
  auto box = WaitForInputBox(Process());
  ASSERT_TRUE(box.has_value()) << "Alt+K opened no WaitForKey box";
  EXPECT_EQ(box->text, L"1") << "nothing stored: the pause is 1";
  EXPECT_TRUE(SameBoxText(box->prompt, L"Pause between keystrokes (in seconds)\r\n"))
      << ToUtf8(box->prompt);
  ASSERT_TRUE(AnswerInputBox(box->window, L"3"));
  ASSERT_TRUE(WaitUntil(kDialogLimit, [] { return ReadStoredPause() == L"3"; }))
      << "stored: " << ToUtf8(ReadStoredPause().value_or(L"(nothing)"));
  CloseAndExpectExitCode(window, 0);

  window = Start();
  window.Click(Id(cmdWFK));
  box = WaitForInputBox(Process());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"3");
  ASSERT_TRUE(CancelInputBox(box->window));
  EXPECT_EQ(ReadStoredPause(), L"3") << "Cancel must not store anything";
  CloseAndExpectExitCode(window, 0);
}

}  // namespace
}  // namespace quillon::e2e

// The main window as Win32 shows it: controls, layout, keyboard, the About
// box and the keystroke-pause setting, read from the running Quillon.exe.

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/about_text.h"
#include "app/control_table.h"
#include "quillon_test.h"

namespace quillon::e2e {
namespace {

using enum ControlId;

std::vector<int> Ids(std::initializer_list<ControlId> ids) {
  std::vector<int> numbers;
  for (ControlId id : ids) numbers.push_back(static_cast<int>(id));
  return numbers;
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

// The program's own control table says how each control opens; the running
// window must show exactly that.
TEST_F(MainWindowTest, OpensWithTheDesignCaptionsAndStates) {
  const WindowProbe window = Start();
  EXPECT_EQ(window.Text(), L"Quillon v1.0");
  for (const ControlDesign& d : ControlTable()) {
    SCOPED_TRACE(::testing::Message() << "control " << d.name);
    ASSERT_NE(window.Item(Id(d.id)), nullptr);
    // The bit-rate box shows its chosen rate, not a caption.
    EXPECT_EQ(window.ItemText(Id(d.id)),
              d.kind == ControlKind::Combo ? std::wstring(L"128") : ToWide(d.caption));
    EXPECT_EQ(window.ItemEnabled(Id(d.id)), d.enabled);
    EXPECT_TRUE(window.ItemVisible(Id(d.id)));
    if (d.kind == ControlKind::CheckBox || d.kind == ControlKind::OptionButton) {
      EXPECT_EQ(window.ItemCheck(Id(d.id)), d.value);
    }
  }
  EXPECT_EQ(
      window.ComboItems(Id(cmbAudQual)),
      (std::vector<std::wstring>{L"320", L"256", L"192", L"128", L"112", L"96", L"80", L"64"}));
  CloseAndExpectExitCode(window, 0);
}

// At 96 DPI a pixel is 15 twips: the window puts each control where the
// program's own table says, a frame's children moved by their frame.
TEST_F(MainWindowTest, LaysOutEveryControlInPixelsOfTheDesignAt96Dpi) {
  if (ScreenDpi() != 96) GTEST_SKIP() << "the pixel layout is checked at 96 DPI only";
  constexpr int kTwipsPerPixel = 1440 / 96;
  const WindowProbe window = Start();
  const SIZE client = window.ClientSize();
  EXPECT_EQ(client.cx, kClientWidthTwips / kTwipsPerPixel);
  EXPECT_EQ(client.cy, kClientHeightTwips / kTwipsPerPixel);
  for (const ControlDesign& d : ControlTable()) {
    SCOPED_TRACE(::testing::Message() << "control " << d.name);
    const TwipsRect place = PlaceInWindow(d);
    const RECT r = window.ItemRect(Id(d.id));
    EXPECT_EQ(r.left, place.left / kTwipsPerPixel);
    EXPECT_EQ(r.top, place.top / kTwipsPerPixel);
    EXPECT_EQ(r.right - r.left, place.width / kTwipsPerPixel);
    EXPECT_EQ(r.bottom - r.top, place.height / kTwipsPerPixel);
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
  // The table lists the controls from the top of the z-order down.
  std::vector<int> table;
  for (const ControlDesign& d : ControlTable()) table.push_back(Id(d.id));
  EXPECT_EQ(window.ZOrder(), table);

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

TEST_F(MainWindowTest, AboutShowsTheProgramsTextWithTheInformationIcon) {
  const WindowProbe window = Start();
  window.Click(Id(cmdAbout));
  const auto box = WaitForMessageBox(Process());
  ASSERT_TRUE(box.has_value());
  // The program's own text (its words are checked by the unit tests), whole,
  // in a box titled "Quillon" with the information icon and an OK button.
  EXPECT_TRUE(SameBoxText(box->text, ToWide(AboutText()))) << ToUtf8(box->text);
  EXPECT_EQ(box->icon, BoxIcon::Information) << ToString(box->icon);
  ASSERT_TRUE(PressDialogButton(box->window, IDOK));
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

// The window automation primitives against scripted windows and the fake's
// virtual clock.

#include <gtest/gtest.h>

#include <vector>

#include "automation/window_automation.h"
#include "fakes/fake_platform.h"
#include "settings_stub.h"

namespace quillon {
namespace {

class AutomationTest : public BareJobTest {
 protected:
  AutomationTest() { job.SetKeyPause(2); }
  void WaitPresent(const CaptionPattern& caption) {
    job.WaitUntil(caption, WindowIs::Present, job.Limits().windowAppearMs);
  }
  void WaitGone(const CaptionPattern& caption) {
    job.WaitUntil(caption, WindowIs::Gone, job.Limits().toolRunMs);
  }
  // A window the macro works in, as after the wait for it.
  WindowHandle Target(const std::string& caption) {
    const WindowHandle window = fake.AddWindow(caption);
    WaitPresent(caption);
    fake.calls.clear();
    return window;
  }
};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const JobError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST_F(AutomationTest, WaitForCaptionReturnsAtOnceWhenTheWindowIsThere) {
  fake.AddWindow("SubToSup");
  WaitPresent("SubToSup");
  EXPECT_EQ(fake.now, 0u);
}

TEST_F(AutomationTest, WaitForCaptionPollsUntilTheWindowAppears) {
  fake.At(500, [this] { fake.AddWindow("Load IFO file"); });
  WaitPresent("Load IFO file");
  EXPECT_GE(fake.now, 500u);
  EXPECT_LE(fake.now, 500u + job.Limits().pollMs);
}

TEST_F(AutomationTest, WaitForNotCaptionReturnsAfterOnePollWhenNoWindowHasTheCaption) {
  fake.AddWindow("SubToSup 0.9 Beta");
  WaitGone("SubToSup");
  EXPECT_EQ(fake.now, 0u);
}

TEST_F(AutomationTest, WaitForNotCaptionWaitsForTheWindowToGo) {
  const WindowHandle progress = fake.AddWindow("Running OCR... (based on GOCR by X)");
  fake.At(42000, [this, progress] { fake.RemoveWindow(progress); });
  WaitGone(CaptionPattern("Running OCR... (based on GOCR by ", true));
  EXPECT_GE(fake.now, 42000u);
  // A long wait looks at the slower pace.
  EXPECT_LE(fake.now, 42000u + job.Limits().slowPollMs);
}

TEST_F(AutomationTest, AWindowThatNeverAppearsEndsTheWaitAfterTheLimit) {
  EXPECT_EQ(ErrorOf([this] { WaitPresent("SubToSup"); }),
            "The window \"SubToSup\" did not appear within 2 minutes.");
  EXPECT_EQ(fake.now, 120000u);
}

TEST_F(AutomationTest, AWindowThatNeverGoesEndsTheWaitAfterTheToolLimit) {
  fake.AddWindow("Running OCR... (based on GOCR by X)");
  job.Limits().toolRunMs = 90000;
  EXPECT_EQ(
      ErrorOf([this] { WaitGone(CaptionPattern("Running OCR... (based on GOCR by ", true)); }),
      "The window whose title begins with \"Running OCR... (based on GOCR by \" was still "
      "open after 90 seconds.");
  EXPECT_EQ(fake.now, 90000u);
}

TEST_F(AutomationTest, ClosingTheMainWindowStopsAWaitAtItsNextPoll) {
  fake.At(3000, [this] { settings.closeRequested = true; });
  EXPECT_THROW(WaitPresent("SubToSup"), JobCancelled);
  EXPECT_GE(fake.now, 3000u);
  EXPECT_LE(fake.now, 3000u + job.Limits().slowPollMs);
}

TEST_F(AutomationTest, AZeroPollIntervalStillLetsTimePass) {
  job.Limits().pollMs = 0;
  job.Limits().windowAppearMs = 50;
  EXPECT_THROW(WaitPresent("never"), JobError);
  EXPECT_EQ(fake.now, 50u);
}

TEST(WaitUntil, ChecksFirstThenPumpsAndNeverOvershootsTheLimit) {
  testing::FakePlatform fake;
  WaitLimits pace;
  pace.pollMs = 10;
  int checks = 0;
  const auto outcome = WaitUntil(
      fake, 25, pace, [&] { return ++checks > 100; }, [] { return false; });
  EXPECT_EQ(outcome, WaitOutcome::TimedOut);
  EXPECT_EQ(checks, 4);  // at 0, 10, 20 and 25 ms
  EXPECT_EQ(fake.now, 25u);
  EXPECT_EQ(WaitUntil(
                fake, 25, pace, [] { return true; }, [] { return true; }),
            WaitOutcome::Met);
}

// A window mostly comes a moment after the step that causes it; a wait that
// lasts is a conversion, where looking less often saves the processor.
TEST(WaitUntil, LooksOftenDuringTheFirstSecondAndLessOftenAfterIt) {
  testing::FakePlatform fake;
  WaitLimits pace;
  pace.pollMs = 10;
  pace.slowPollMs = 50;
  pace.slowPollAfterMs = 1000;
  std::vector<std::uint64_t> looks;
  const auto outcome = WaitUntil(
      fake, 1200, pace,
      [&] {
        looks.push_back(fake.now);
        return false;
      },
      [] { return false; });
  EXPECT_EQ(outcome, WaitOutcome::TimedOut);
  ASSERT_EQ(looks.size(), 101u + 4u);  // 0, 10, ..., 1000, then 1050, ..., 1200
  EXPECT_EQ(looks[1], 10u);
  EXPECT_EQ(looks[100], 1000u);
  EXPECT_EQ(looks[101], 1050u);
  EXPECT_EQ(looks.back(), 1200u);
}

// A window that comes at the end of a long wait is still acted on within
// 50 ms; one that comes at once, sooner.
TEST(WaitLimits, ALongWaitStillLooksTwentyTimesASecond) {
  const WaitLimits limits;
  EXPECT_LE(limits.slowPollMs, 50u);
  EXPECT_LT(limits.pollMs, limits.slowPollMs);
}

TEST(DurationText, ReadsNaturally) {
  EXPECT_EQ(DurationText(120000), "2 minutes");
  EXPECT_EQ(DurationText(60000), "1 minute");
  EXPECT_EQ(DurationText(3600000), "1 hour");
  EXPECT_EQ(DurationText(7200000), "2 hours");
  EXPECT_EQ(DurationText(90000), "90 seconds");
  EXPECT_EQ(DurationText(1000), "1 second");
  EXPECT_EQ(DurationText(250), "250 milliseconds");
}

TEST_F(AutomationTest, ClickThingActivatesTheWindowThenClicksItsControl) {
  fake.AddWindow("SubToSup");
  job.ClickThing("SubToSup", 1002);
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"ActivateWindow(SubToSup)", "ClickControl(SubToSup,1002)"}));
  EXPECT_EQ(fake.now, 0u);  // no pause of its own
}

TEST_F(AutomationTest, ClickThingUsesTheFirstOfSeveralWindowsWithTheCaption) {
  const WindowHandle first = fake.AddWindow("D:\\a.sup");
  fake.AddWindow("D:\\A.SUP");
  WindowHandle clicked = 0;
  fake.onClick = [&](WindowHandle window, int) { clicked = window; };
  job.ClickThing("D:\\a.sup", 1053);
  EXPECT_EQ(clicked, first);
}

TEST_F(AutomationTest, ClickThingWithoutTheWindowEndsTheJobAndClicksNothing) {
  EXPECT_EQ(ErrorOf([this] { job.ClickThing("D:\\mux\\a.sup", 1053); }),
            "The window \"D:\\mux\\a.sup\" was not found, so its button 1053 could not be "
            "clicked.");
  EXPECT_TRUE(fake.calls.empty());
}

// Windows keeps the front for the program the user works in: the job asks
// by flashing, tries again each second, and gives up only after as long as
// a tool may run.
TEST_F(AutomationTest, ARefusedActivationEndsTheJobOnlyAfterTheLongLimit) {
  fake.AddWindow("SubToSup");
  fake.AddWindow("Mail", 2);
  fake.userActiveUntil = UINT64_MAX;
  job.Limits().toolRunMs = 5000;
  EXPECT_EQ(ErrorOf([&] { job.ClickThing("SubToSup", 1002); }),
            "The window \"SubToSup\" could not be brought to the front within 5 seconds, so its "
            "button 1002 could not be clicked.");
  EXPECT_EQ(fake.Calls({"ActivateWindow(", "FlashWindow("}),
            (std::vector<std::string>{
                "ActivateWindow(refused SubToSup)", "FlashWindow(SubToSup)",
                "ActivateWindow(refused SubToSup)", "ActivateWindow(refused SubToSup)",
                "ActivateWindow(refused SubToSup)", "ActivateWindow(refused SubToSup)",
                "ActivateWindow(refused SubToSup)"}));
  EXPECT_TRUE(fake.Calls({"ClickControl("}).empty());
}

TEST_F(AutomationTest, RunActiveStartsWaitsPausesActivatesAndPausesAgain) {
  fake.AddFile("C:\\tools\\SubToSup.exe");
  fake.onStartProgram = [this](const std::string&, int) {
    fake.At(fake.now + 700, [this] { fake.AddWindow("SubToSup"); });
    return true;
  };
  job.RunActive("C:\\tools\\SubToSup.exe", "SubToSup", 1);
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"StartProgram(C:\\tools\\SubToSup.exe,1)", "WaitSeconds(2)",
                                      "ActivateWindow(SubToSup)", "WaitSeconds(2)"}));
  EXPECT_GE(fake.now, 700u + 4000u);
}

TEST_F(AutomationTest, RunActiveWithTheWindowAlreadyThereDoesNotWait) {
  fake.AddFile("C:\\tools\\SubToSup.exe");
  fake.AddWindow("SubToSup");
  job.SetKeyPause(0);
  job.RunActive("C:\\tools\\SubToSup.exe", "SubToSup", 1);
  EXPECT_EQ(fake.now, 0u);
  EXPECT_EQ(fake.Calls({"WaitSeconds("}),
            (std::vector<std::string>{"WaitSeconds(0)", "WaitSeconds(0)"}));
}

TEST_F(AutomationTest, RunActiveQuotesAPathWithABlankAndReadsThePauseEachTime) {
  // Unquoted, the tool would read its own path as two arguments. A path
  // without a blank goes as it is (below).
  fake.onStartProgram = [](const std::string&, int) { return true; };
  fake.AddWindow("SubToSup");
  fake.onPause = [this] { job.SetKeyPause(5); };
  job.RunActive("C:\\Program Files\\Q\\tools\\SubToSup.exe", "SubToSup", 1);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{
                            "StartProgram(\"C:\\Program Files\\Q\\tools\\SubToSup.exe\",1)",
                            "WaitSeconds(2)", "ActivateWindow(SubToSup)", "WaitSeconds(5)"}));
}

TEST_F(AutomationTest, RunActiveOfAMissingProgramEndsTheJobNamingIt) {
  EXPECT_EQ(ErrorOf([this] { job.RunActive("C:\\tools\\SubToSup.exe", "SubToSup", 1); }),
            "Could not start C:\\tools\\SubToSup.exe.");
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"StartProgram(C:\\tools\\SubToSup.exe,1)"}));
}

TEST_F(AutomationTest, RunActiveWhoseWindowNeverShowsEndsTheJobNamingTheWindow) {
  fake.AddFile("C:\\tools\\DVDSubEdit.exe");
  EXPECT_EQ(ErrorOf([this] {
              job.RunActive("C:\\tools\\DVDSubEdit.exe",
                            CaptionPattern("DVDSubEdit -- Version 1.34 By ", true), 1);
            }),
            "The window whose title begins with \"DVDSubEdit -- Version 1.34 By \" did not appear "
            "within 2 minutes.");
  EXPECT_TRUE(fake.Calls({"WaitSeconds("}).empty());
}

TEST_F(AutomationTest, PressKeysSendsTheParsedStrokesAsOneCall) {
  std::vector<KeyStroke> sent;
  fake.onKeys = [&](const std::vector<KeyStroke>& keys) { sent = keys; };
  Target("SubToSup");
  job.PressKeys("%{F4}");
  EXPECT_EQ(sent, (std::vector<KeyStroke>{{0x73, true}}));
  job.PressKeys("{DOWN 3}");
  EXPECT_EQ(sent, (std::vector<KeyStroke>(3, KeyStroke{0x28, false})));
  EXPECT_EQ(fake.calls,
            (std::vector<std::string>{"SendKeys(%{F4})", "SendKeys({DOWN}{DOWN}{DOWN})"}));
}

TEST_F(AutomationTest, PressKeysRefusesUnknownNotationWithoutSendingAnything) {
  EXPECT_THROW(job.PressKeys("{ENTRE}"), JobError);
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(AutomationTest, TypeTextSendsEveryCharacterAsItself) {
  const std::string path = "D:\\50% off+more^x~y{z}[a](b)\\Überfilm\\mux\\0x20";
  Target("Open");
  job.TypeText(path);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"SendText(" + path + ")"}));
}

// Keys go only to a window in front that is ready for them, and a step that
// opens or closes a window waits until it has: however short the keystroke
// pause, no key lands in a window that is still being built or going.
TEST_F(AutomationTest, KeysWaitUntilTheyCanLandAndTheirEffectIsSeen) {
  struct Case {
    const char* name;
    bool builtLate;  // the window in front takes keys only after 500 ms
    KeyEffect effect;
    bool effectSeen;  // the tool opens a new window, or closes its own, 300 ms after the keys
    const char* error;
  };
  const Case cases[] = {
      {"ready at once", false, KeyEffect::None, false, "(no error)"},
      {"still being built", true, KeyEffect::None, false, "(no error)"},
      {"opens a dialog", false, KeyEffect::OpensWindow, true, "(no error)"},
      {"closes its window", false, KeyEffect::ClosesWindow, true, "(no error)"},
      {"opens nothing", false, KeyEffect::OpensWindow, false,
       "No window came to the front after the keys \"{ENTER}\" within 2 minutes."},
      {"closes nothing", false, KeyEffect::ClosesWindow, false,
       "The window in front did not close after the keys \"{ENTER}\" within 2 minutes."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakePlatform world;
    SettingsStub worldSettings;
    Job worldJob{world, worldSettings};
    const WindowHandle tool = world.AddWindow("SubToSup");
    worldJob.WaitUntil("SubToSup", WindowIs::Present, worldJob.Limits().windowAppearMs);
    if (c.builtLate) {
      world.SetReadyForKeys(tool, false);
      world.At(500, [&] { world.SetReadyForKeys(tool, true); });
    }
    std::uint64_t sentAt = 0;
    int sends = 0;
    world.onKeys = [&](const std::vector<KeyStroke>&) {
      if (sends++ > 0) return;  // sent again for want of an effect
      sentAt = world.now;
      if (!c.effectSeen) return;
      world.At(world.now + 300, [&] {
        if (c.effect == KeyEffect::OpensWindow) world.AddWindow("Open");
        if (c.effect == KeyEffect::ClosesWindow) world.RemoveWindow(tool);
      });
    };
    EXPECT_EQ(ErrorOf([&] { worldJob.PressKeys("{ENTER}", c.effect); }), c.error);
    EXPECT_EQ(sentAt, c.builtLate ? 500u : 0u);
    if (c.effectSeen) {
      EXPECT_LT(world.now, 400u);
    }
  }
}

// A window is found by its title the moment it is built, often before it is
// in front: keys meant for it wait for it, rather than reach the window it
// came up over. Once it has closed, keys go to that window again.
TEST_F(AutomationTest, KeysAfterAWaitAreForTheWindowWaitedFor) {
  const WindowHandle editor = fake.AddWindow("Editor");
  const WindowHandle box = fake.AddWindow("Load IFO file");
  fake.ActivateWindow(editor);
  fake.At(300, [&] { fake.ActivateWindow(box); });
  WaitPresent(CaptionPattern("Editor"));
  std::vector<std::uint64_t> sentAt;
  fake.onKeys = [&](const std::vector<KeyStroke>&) {
    sentAt.push_back(fake.now);
    if (sentAt.size() == 1) fake.At(fake.now + 200, [&] { fake.RemoveWindow(box); });
  };
  WaitPresent(CaptionPattern("Load IFO file"));
  job.PressKeys("%{F4}", KeyEffect::ClosesWindow);
  job.PressKeys("%{F4}", KeyEffect::None);
  EXPECT_EQ(sentAt, (std::vector<std::uint64_t>{300, 500}));
  EXPECT_EQ(fake.ForegroundWindow(), editor);
}

// A window that came back from a dialog behind another one (or without the
// focus) is brought to the front for its keys once it has stayed unready for
// a second; the keys never go to the window that happens to be in front.
TEST_F(AutomationTest, AWindowLeftUnreadyIsBroughtToTheFrontForItsKeys) {
  const WindowHandle editor = fake.AddWindow("Editor");
  WaitPresent(CaptionPattern("Editor"));
  fake.AddWindow("Other program");
  std::vector<std::uint64_t> sentAt;
  fake.onKeys = [&](const std::vector<KeyStroke>&) { sentAt.push_back(fake.now); };
  job.PressKeys("%F");
  EXPECT_EQ(sentAt, std::vector<std::uint64_t>{1000});
  EXPECT_EQ(fake.ForegroundWindow(), editor);
}

// Keys that opened no menu, or left their dialog open, are sent again a
// moment later to the same window; the job ends only when that never helps.
TEST_F(AutomationTest, KeysWithoutTheirEffectAreSentAgain) {
  // Keys still queued behind a busy tool are not sent twice: they go again
  // only once the window has read them.
  const struct {
    KeyEffect effect;
    std::uint64_t readAt;
    std::uint64_t againAt;
  } cases[] = {{KeyEffect::OpensMenu, 0, 250},
               {KeyEffect::ClosesWindow, 0, 250},
               {KeyEffect::ClosesWindow, 600, 750}};
  for (const auto& [effect, readAt, againAt] : cases) {
    testing::FakePlatform world;
    world.keysTakenIn = readAt == 0;
    world.At(readAt, [&world] { world.keysTakenIn = true; });
    SettingsStub worldSettings;
    Job worldJob{world, worldSettings};
    const WindowHandle tool = world.AddWindow("Load IFO file");
    worldJob.WaitUntil("Load IFO file", WindowIs::Present, worldJob.Limits().windowAppearMs);
    std::vector<std::uint64_t> sentAt;
    world.onKeys = [&](const std::vector<KeyStroke>&) {
      sentAt.push_back(world.now);
      if (sentAt.size() != 2) return;
      if (effect == KeyEffect::OpensMenu) world.menuOpenIn = tool;
      if (effect == KeyEffect::ClosesWindow) world.RemoveWindow(tool);
    };
    worldJob.PressKeys("%F", effect);
    EXPECT_EQ(sentAt, (std::vector<std::uint64_t>{0, againAt}));
  }
  Target("Editor");
  EXPECT_EQ(ErrorOf([this] { job.PressKeys("%F", KeyEffect::OpensMenu); }),
            "No menu opened after the keys \"%F\" within 2 minutes.");
}

// Keys go to the window they are for or nowhere: neither to whatever else is
// in front, nor anywhere once that window has gone.
TEST_F(AutomationTest, KeysForAWindowNeverReadyOrGoneAreNotSentAndEndTheJob) {
  const WindowHandle editor = Target("Editor");
  fake.SetReadyForKeys(editor, false);
  fake.AddWindow("Mail", 2);
  EXPECT_EQ(ErrorOf([this] { job.PressKeys("%F"); }),
            "The window meant to take the keys \"%F\" was not in front and ready within 2 "
            "minutes.");
  fake.RemoveWindow(editor);
  EXPECT_EQ(ErrorOf([this] { job.TypeText("D:\\mux\\movie.idx"); }),
            "The window meant to take the text \"D:\\mux\\movie.idx\" had closed.");
  EXPECT_TRUE(fake.received.empty());
}

}  // namespace
}  // namespace quillon

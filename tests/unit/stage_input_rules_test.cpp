// Whole jobs under the rules of the Windows our users run, which Wine does
// not show: the front changes hands at any moment, Windows keeps the front
// for a user at work, the session locks, keys are held down, a tool is
// busy. Under each, no key or text reaches a window it was not meant for,
// and the job either goes on or stops with a message naming its step.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>

#include "stage_fixture.h"

namespace quillon {
namespace {

constexpr std::uint32_t kMail = 2;     // the user's own program
constexpr std::uint32_t kQuillon = 3;  // this program's main window
constexpr std::uint64_t kForever = std::numeric_limits<std::uint64_t>::max();
constexpr char kLog[] = "C:\\Users\\me\\AppData\\Local\\Quillon\\last-job.log";
constexpr char kSup[] = "D:\\Rips\\Film\\mux\\vob_0x20.sup";

class InputRulesTest;

struct RuleCase {
  const char* name;
  std::function<void(InputRulesTest&)> world;
  // The one box the user sees at the end, without the log's place.
  std::string message;
  std::vector<std::string> logHas;
  std::vector<std::string> callsHave;  // calls that must be there, each once
};

void PrintTo(const RuleCase& c, std::ostream* os) {
  *os << c.name;
}

class InputRulesTest : public WholeJobTest, public ::testing::WithParamInterface<RuleCase> {
 public:
  InputRulesTest() {
    KeepLog();
    AddSubtitles();
    ChooseSource({"0x80.ac3"});
    fake.calls.clear();
  }

  // Another program's window comes to the front.
  void Raise(const char* caption, std::uint32_t process) { fake.AddWindow(caption, process); }
  // Runs `then` once the tools have taken the `nth` keys `keys`.
  void After(const std::string& keys, int nth, std::function<void()> then) {
    fake.onKeys = [this, tool = fake.onKeys, keys, nth, then,
                   seen = 0](const std::vector<KeyStroke>& sent) mutable {
      tool(sent);
      if (testing::FakePlatform::KeyText(sent) == keys && ++seen == nth) then();
    };
  }
  WindowHandle LoadedEditor() { return fake.FindCaption(kSup); }
  using WholeJobTest::fake;
  using WholeJobTest::frm;
};

TEST_P(InputRulesTest, NoKeyStraysAndTheJobGoesOnOrSaysWhereItStopped) {
  const RuleCase& c = GetParam();
  c.world(*this);
  frm.StartJob();
  EXPECT_EQ(Messages(), std::vector<std::string>{"ShowMessage(Quillon," + c.message + ")"});
  for (const std::string& input : fake.received) {
    EXPECT_NE(input.rfind("Mail <-", 0), 0u) << input;
    EXPECT_NE(input.rfind("Quillon <-", 0), 0u) << input;
  }
  const std::string log = fake.FileContent(kLog).value_or("");
  for (const std::string& line : c.logHas) EXPECT_NE(log.find(line), std::string::npos) << line;
  for (const std::string& call : c.callsHave) EXPECT_EQ(fake.Calls({call}).size(), 1u) << call;
}

const std::string kLogPlaceText =
    "\r\nThe job log is in C:\\Users\\me\\AppData\\Local\\Quillon\\last-job.log.";

std::string CaseName(const ::testing::TestParamInfo<RuleCase>& info) {
  return info.param.name;
}

const std::string kDone = "information,Done!";
const std::string kStopped = "error,The job stopped while ";

// The front changes hands between the job's last look and its input.
INSTANTIATE_TEST_SUITE_P(
    FrontChanges, InputRulesTest,
    ::testing::Values(
        RuleCase{"MailComesForwardBeforeThePathIsTyped",
                 [](InputRulesTest& rig) {
                   rig.fake.beforeInput = [&rig] { rig.Raise("Mail", kMail); };
                 },
                 kDone,
                 {"Not ready for keys: the window they are for brought to the front again"},
                 {}},
        RuleCase{"MailComesForwardWhileTheMenuIsOpen",
                 [](InputRulesTest& rig) {
                   rig.After("%F", 1, [&rig] {
                     rig.fake.beforeInput = [&rig] { rig.Raise("Mail", kMail); };
                   });
                 },
                 kDone,
                 {},
                 {}},
        // Not the window the keys opened: the tool's dialog stays behind,
        // and the job stops rather than type the path into this one.
        RuleCase{"QuillonComesForwardAsTheOpenDialogOpens",
                 [](InputRulesTest& rig) {
                   rig.After("{ENTER}", 3, [&rig] { rig.Raise("Quillon", kQuillon); });
                 },
                 kStopped + "opening " + kSup +
                     " in DVDSubEdit:\r\nNo window came to the front after the keys \"{ENTER}\" "
                     "within 2 minutes." +
                     kLogPlaceText,
                 {},
                 {}},
        RuleCase{"TheOpenDialogClosesBeforeThePathIsTyped",
                 [](InputRulesTest& rig) {
                   rig.After("{ENTER}", 3, [&rig] {
                     rig.fake.beforeInput = [&rig] {
                       rig.fake.RemoveWindow(rig.fake.FindCaption("Open SUP file"));
                     };
                   });
                 },
                 kStopped + "opening " + kSup +
                     " in DVDSubEdit:\r\nThe window meant to take the text \"" + kSup +
                     "\" had closed." + kLogPlaceText,
                 {},
                 {}}),
    CaseName);

// Windows keeps the front for the program the user works in.
INSTANTIATE_TEST_SUITE_P(
    UserAtWork, InputRulesTest,
    ::testing::Values(
        RuleCase{"ForTheFirstMinute",
                 [](InputRulesTest& rig) {
                   rig.Raise("Mail", kMail);
                   rig.fake.userActiveUntil = 60000;
                 },
                 kDone,
                 {"Waiting for the front: Windows keeps the window \"SubToSup\" behind the "
                  "program in use",
                  "In front after 5"},
                 {"FlashWindow(SubToSup)"}},
        // Longer than the two minutes a step has: the clock of a step kept
        // from the front runs for as long as a tool may run.
        RuleCase{"ForFiveMinutesFromJustBeforeThePath",
                 [](InputRulesTest& rig) {
                   rig.fake.beforeInput = [&rig] {
                     rig.Raise("Mail", kMail);
                     rig.fake.userActiveUntil = rig.fake.now + 5 * 60 * 1000;
                   };
                 },
                 kDone,
                 {},
                 {"FlashWindow(Open)"}},
        RuleCase{"AllNight",
                 [](InputRulesTest& rig) {
                   rig.Raise("Mail", kMail);
                   rig.fake.userActiveUntil = kForever;
                   rig.frm.Limits().toolRunMs = 10 * 60 * 1000;
                 },
                 kStopped +
                     "starting SubToSup:\r\nThe window \"SubToSup\" could not be brought to the "
                     "front within 10 minutes, so the keys meant for it could not be sent." +
                     kLogPlaceText,
                 {},
                 {"FlashWindow(SubToSup)"}}),
    CaseName);

// The session locks, or a secure desktop shows: the step's clock stops.
INSTANTIATE_TEST_SUITE_P(
    Locked, InputRulesTest,
    ::testing::Values(RuleCase{"TenMinutesWithTheMenuOpen",
                               [](InputRulesTest& rig) {
                                 rig.After("%F", 1, [&rig] {
                                   rig.fake.desktopLocked = true;
                                   rig.fake.At(rig.fake.now + 10 * 60 * 1000,
                                               [&rig] { rig.fake.desktopLocked = false; });
                                 });
                               },
                               kDone,
                               {"Paused: the session is locked or a secure desktop shows",
                                "Went on after 599"},
                               {}},
                      RuleCase{"TwoHoursFromTheStart",
                               [](InputRulesTest& rig) {
                                 rig.fake.desktopLocked = true;
                                 rig.fake.At(2 * 60 * 60 * 1000,
                                             [&rig] { rig.fake.desktopLocked = false; });
                               },
                               kDone,
                               {"Went on after "},
                               {}}),
    CaseName);

// The user holds Ctrl: the keys wait a moment, then let it go themselves.
INSTANTIATE_TEST_SUITE_P(HeldKeys, InputRulesTest,
                         ::testing::Values(RuleCase{"CtrlLetGoSoon",
                                                    [](InputRulesTest& rig) {
                                                      rig.fake.heldKeys = "Ctrl";
                                                      rig.fake.heldKeysUntil = 1500;
                                                    },
                                                    kDone,
                                                    {},
                                                    {}},
                                           RuleCase{"CtrlStuck",
                                                    [](InputRulesTest& rig) {
                                                      rig.fake.heldKeys = "Ctrl";
                                                      rig.fake.heldKeysUntil = kForever;
                                                    },
                                                    kDone,
                                                    {},
                                                    {"LetGo(Ctrl)"}}),
                         CaseName);

// The editor's thread is busy when the recognition is clicked: the click
// waits in its queue, and the job waits for the work to start.
INSTANTIATE_TEST_SUITE_P(
    BusyTool, InputRulesTest,
    ::testing::Values(
        RuleCase{"FiveSeconds",
                 [](InputRulesTest& rig) {
                   rig.After("%{F4}", 2,
                             [&rig] { rig.fake.Busy(rig.LoadedEditor(), rig.fake.now + 6000); });
                 },
                 kDone,
                 {},
                 {"ClickControl(" + std::string(kSup) + ",1053)"}},
        RuleCase{"TenMinutes",
                 [](InputRulesTest& rig) {
                   rig.After("%{F4}", 2, [&rig] {
                     rig.fake.Busy(rig.LoadedEditor(), rig.fake.now + 10 * 60 * 1000);
                   });
                 },
                 kStopped + "recognising the text of " + kSup +
                     " in DVDSubEdit:\r\nNothing showed that the click on button 1053 of the "
                     "window \"" +
                     kSup + "\" started the tool's work within 2 minutes." + kLogPlaceText,
                 {"No sign of the window whose title begins with \"Running OCR"},
                 {}}),
    CaseName);

}  // namespace
}  // namespace quillon

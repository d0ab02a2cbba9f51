#include "app/pause_value.h"

#include <limits>

#include "app_fixture.h"

namespace quillon {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(ParsePauseSeconds, AcceptsDecimalNumbersAndRoundsHalvesToEven) {
  struct Row {
    const char* text;
    std::int32_t expected;
  };
  const Row table[] = {
      {"3", 3},
      {"0", 0},
      {"-2", -2},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"-3.5", -4},
      {"0.5", 0},
      {"1.5", 2},
      {"2.50000", 2},
      {"2.5000001", 3},
      {"2.4999999", 2},
      {"2.51", 3},
      {"-0.4", 0},
      {"-0", 0},
      {"+3", 3},
      {"3.", 3},
      {".5", 0},
      {".6", 1},
      {"007", 7},
      {"000000000000000000003", 3},
      {" 4 ", 4},
      {"\t4\t", 4},
      {"2147483647", kMax},
      {"2147483647.4", kMax},
      {"-2147483648", kMin},
      {"-2147483648.5", kMin},  // the half goes to the even neighbour, which fits
      {"-2147483647.5", kMin},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.text);
    const auto value = ParsePauseSeconds(row.text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, row.expected);
  }
}

TEST(ParsePauseSeconds, RejectsWhatIsNotAPlainDecimalNumberOrDoesNotFit) {
  const char* const table[] = {
      "",
      " ",
      "abc",
      "1e3",
      "1E3",
      "0x10",
      "1,5",
      "3 4",
      "- 3",
      "+",
      "-",
      ".",
      "3..5",
      "3.5.1",
      "--3",
      "3-",
      "2147483648",
      "-2147483649",
      "2147483647.5",
      "-2147483648.6",
      "99999999999",
      "12345678901234567890",
  };
  for (const char* text : table) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParsePauseSeconds(text).has_value());
  }
}

TEST(StoredPauseSeconds, MissingEmptyOrBadValuesMeanOneSecond) {
  EXPECT_EQ(StoredPauseSeconds(std::nullopt), 1);
  EXPECT_EQ(StoredPauseSeconds(std::string()), 1);
  EXPECT_EQ(StoredPauseSeconds(std::string("junk")), 1);
  EXPECT_EQ(StoredPauseSeconds(std::string("-2147483649")), 1);
  EXPECT_EQ(StoredPauseSeconds(std::string("5")), 5);
  EXPECT_EQ(StoredPauseSeconds(std::string("0")), 0);
}

class WaitForKeyTest : public AppTest {
 protected:
  void SetUp() override {
    fake.settings[kKey] = "5";
    frm.Load();
    fake.calls.clear();
  }
  static constexpr const char* kKey = "Quillon\\Options\\WaitForKey";
};

TEST_F(WaitForKeyTest, AskingShowsTheCurrentPause) {
  fake.inputAnswers.push_back(std::nullopt);
  frm.ClickWaitForKey();
  EXPECT_EQ(fake.calls, (std::vector<std::string>{
                            "InputBox(WaitForKey,Pause between keystrokes (in seconds)\r\n,5)"}));
}

TEST_F(WaitForKeyTest, AnAcceptedAnswerIsUsedAndStoredRounded) {
  struct Row {
    const char* answer;
    std::int32_t seconds;
    const char* stored;
  };
  const Row table[] = {
      {"3", 3, "3"},    {"2.5", 2, "2"}, {"3.5", 4, "4"},    {"0", 0, "0"},
      {"-2", -2, "-2"}, {" 4 ", 4, "4"}, {"-2.5", -2, "-2"}, {"-2147483648", kMin, "-2147483648"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.answer);
    fake.calls.clear();
    fake.inputAnswers.push_back(std::string(row.answer));
    frm.ClickWaitForKey();
    EXPECT_EQ(frm.job().KeyPause(), row.seconds);
    EXPECT_EQ(fake.settings[kKey], row.stored);
    EXPECT_EQ(
        fake.Calls({"WriteSetting"}),
        (std::vector<std::string>{std::string("WriteSetting(") + kKey + "=" + row.stored + ")"}));
    EXPECT_TRUE(Messages().empty());
  }
}

TEST_F(WaitForKeyTest, ARefusedAnswerWarnsAndChangesNothing) {
  for (const char* answer : {"abc", "1e3", "2147483648", "-2147483649", "1,5"}) {
    SCOPED_TRACE(answer);
    fake.calls.clear();
    fake.inputAnswers.push_back(std::string(answer));
    frm.ClickWaitForKey();
    EXPECT_EQ(frm.job().KeyPause(), 5);
    EXPECT_EQ(fake.settings[kKey], "5");
    EXPECT_TRUE(fake.Calls({"WriteSetting"}).empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string("ShowMessage(Quillon,warning,\"") + answer +
                                 "\" is not a number of seconds.\r\nPlease enter a whole number "
                                 "of seconds between -2147483648 and 2147483647.)");
  }
}

TEST_F(WaitForKeyTest, CancelOrAnEmptyAnswerChangesNothing) {
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>("  ")}) {
    fake.inputAnswers.push_back(answer);
    frm.ClickWaitForKey();
  }
  EXPECT_EQ(frm.job().KeyPause(), 5);
  EXPECT_EQ(fake.settings[kKey], "5");
  EXPECT_TRUE(fake.Calls({"WriteSetting"}).empty());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fake.Calls({"InputBox"}).size(), 3u);
}

TEST_F(WaitForKeyTest, TheStoredAnswerIsWhatTheNextStartShows) {
  fake.inputAnswers.push_back(std::string("3"));
  frm.ClickWaitForKey();

  RecordingView nextView(fake);
  FrmMain next(fake, nextView);
  nextView.Attach(&next);
  next.Load();
  EXPECT_EQ(next.job().KeyPause(), 3);
  fake.calls.clear();
  fake.inputAnswers.push_back(std::nullopt);
  next.ClickWaitForKey();
  EXPECT_EQ(fake.calls.back(), "InputBox(WaitForKey,Pause between keystrokes (in seconds)\r\n,3)");
}

}  // namespace
}  // namespace quillon

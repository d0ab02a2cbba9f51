// The time-limit override that tests of the whole program use
// (QUILLON_WAIT_LIMITS="<appearMs>,<runMs>[,<boxMs>]").

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/win32/startup.h"

namespace quillon {
namespace {

struct Case {
  const wchar_t* text;
  bool accepted;
  std::uint32_t appearMs;
  std::uint32_t runMs;
  std::uint32_t boxMs = 0;  // 0: not given
};

TEST(WaitLimitsOverrideTest, TakesTwoOrThreePositiveWholeNumbersAndNothingElse) {
  const Case cases[] = {
      {L"5000,60000", true, 5000, 60000},
      {L"1,1", true, 1, 1},
      {L"4294967295,7", true, 4294967295u, 7},
      {L"4294967296,7", false, 0, 0},  // beyond 32 bits
      {L"0,100", false, 0, 0},         // no time at all would fail every tool
      {L"100", false, 0, 0},
      {L"100,", false, 0, 0},
      {L",100", false, 0, 0},
      {L" 100,200", false, 0, 0},
      {L"100, 200", false, 0, 0},
      {L"-1,200", false, 0, 0},
      {L"+1,200", false, 0, 0},
      {L"1e3,200", false, 0, 0},
      {L"100,200,300", true, 100, 200, 300},
      {L"100,200,0", false, 0, 0},
      {L"100,200,", false, 0, 0},
      {L"100,200,300,400", false, 0, 0},
      {L"", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "text: \"" << c.text << "\"");
    const auto parsed = ParseWaitLimits(c.text);
    ASSERT_EQ(parsed.has_value(), c.accepted);
    if (!c.accepted) continue;
    EXPECT_EQ(parsed->windowAppearMs, c.appearMs);
    EXPECT_EQ(parsed->toolRunMs, c.runMs);
    EXPECT_EQ(parsed->unattendedBoxMs.value_or(0), c.boxMs);
  }
}

// A program that could not start ran no job: a batch run must not read it
// as one that only missed a result (1).
TEST(RunProgramTest, AFailureToStartIsReportedAndEndsAsAJobThatDidNotStart) {
  std::string reported;
  const auto report = [&](const char* what) { reported = what; };
  EXPECT_EQ(RunProgram(
                []() -> int {
                  throw std::runtime_error(
                      "The main window could not be "
                      "created.");
                },
                report),
            3);
  EXPECT_EQ(reported, "The main window could not be created.");
  reported.clear();
  EXPECT_EQ(RunProgram([] { return 4; }, report), 4);
  EXPECT_EQ(reported, "");
}

}  // namespace
}  // namespace quillon

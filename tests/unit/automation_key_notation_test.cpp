#include "automation/key_notation.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

constexpr std::uint16_t kEnter = 0x0D;
constexpr std::uint16_t kDown = 0x28;
constexpr std::uint16_t kF4 = 0x73;

TEST(KeyNotation, TheMacrosSequences) {
  EXPECT_EQ(ParseKeyNotation("{ENTER}"), (std::vector<KeyStroke>{{kEnter, false}}));
  EXPECT_EQ(ParseKeyNotation("%{F4}"), (std::vector<KeyStroke>{{kF4, true}}));
  EXPECT_EQ(ParseKeyNotation("%F"), (std::vector<KeyStroke>{{'F', true}}));
  EXPECT_EQ(ParseKeyNotation("{DOWN 3}"),
            (std::vector<KeyStroke>{{kDown, false}, {kDown, false}, {kDown, false}}));
}

TEST(KeyNotation, AltHoldsForTheNextKeyOnly) {
  EXPECT_EQ(ParseKeyNotation("%fx{enter}"),
            (std::vector<KeyStroke>{{'F', true}, {'X', false}, {kEnter, false}}));
  EXPECT_EQ(ParseKeyNotation("%{DOWN 2}{F4}"),
            (std::vector<KeyStroke>{{kDown, true}, {kDown, true}, {kF4, false}}));
  EXPECT_EQ(ParseKeyNotation("7%1"), (std::vector<KeyStroke>{{'7', false}, {'1', true}}));
  EXPECT_TRUE(ParseKeyNotation("").empty());
}

TEST(KeyNotation, NamesIgnoreCase) {
  EXPECT_EQ(ParseKeyNotation("{Enter}{down 1}{f4}"),
            (std::vector<KeyStroke>{{kEnter, false}, {kDown, false}, {kF4, false}}));
}

class RejectedKeysTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RejectedKeysTest, EndsWithAClearError) {
  const std::string keys = GetParam();
  try {
    ParseKeyNotation(keys);
    ADD_FAILURE() << "accepted " << keys;
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("\"" + keys + "\""), std::string::npos)
        << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Sequences, RejectedKeysTest,
                         ::testing::Values("{ENTER", "{}", "{NOSUCHKEY}", "{DOWN x}", "{DOWN 0}",
                                           "{DOWN 101}", "{DOWN -1}", "{DOWN }", "{DOWN 3 4}", "%",
                                           "%%F", "F%", "+F", "^C", "~", "a b", "C:\\x", "(", "ä"));

}  // namespace
}  // namespace quillon

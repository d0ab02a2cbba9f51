// How the main window's font follows the system's scaling.

#include <gtest/gtest.h>

#include "app/font_scaling.h"

namespace quillon {
namespace {

TEST(FontScaling, TheDesignHeightGrowsWithTheScaling) {
  struct Case {
    int dpi;
    int height;
  };
  // 6.75 points: 9 px at 100 %, rounded to the nearest pixel elsewhere.
  for (const Case c : {Case{96, 9}, Case{120, 11}, Case{144, 14}, Case{192, 18}, Case{288, 27}})
    EXPECT_EQ(DesignCharacterHeight(c.dpi), c.height) << c.dpi;
}

TEST(FontScaling, ABitmapFaceThatCannotGrowGivesWayToAScalableOne) {
  struct Case {
    int wanted;
    int realised;
    bool scalable;
  };
  for (const Case c : {
           Case{9, 9, false},    // 100 %: the bitmap face has the size
           Case{11, 10, false},  // within a tenth
           Case{11, 9, true},    // 125 %: stuck at 9 px
           Case{14, 9, true},    // 150 %
           Case{18, 9, true},    // 200 %
           Case{18, 18, false},  // a face that scales
           Case{14, 0, false},   // not measurable: keep the design's face
       })
    EXPECT_EQ(NeedsScalableFace(c.wanted, c.realised), c.scalable) << c.wanted << " " << c.realised;
}

TEST(FontScaling, TextsKeepTheirShareOfTheControls) {
  // At 150 % the texts may be half as wide again as at 100 %.
  EXPECT_EQ(FittingCharacterHeight(14, 900, 600, 144), 14);   // exactly the share
  EXPECT_EQ(FittingCharacterHeight(14, 850, 600, 144), 14);   // narrower: untouched
  EXPECT_EQ(FittingCharacterHeight(14, 1000, 600, 144), 12);  // 14 * 900 / 1000, down
  EXPECT_EQ(FittingCharacterHeight(18, 1500, 600, 192), 14);  // 18 * 1200 / 1500, down
  EXPECT_EQ(FittingCharacterHeight(9, 600, 600, 96), 9);      // the design itself
}

TEST(FontScaling, UnknownWidthsKeepTheHeightAndItNeverVanishes) {
  EXPECT_EQ(FittingCharacterHeight(14, 0, 600, 144), 14);
  EXPECT_EQ(FittingCharacterHeight(14, 900, 0, 144), 14);
  EXPECT_EQ(FittingCharacterHeight(14, 900, 600, 0), 14);
  EXPECT_EQ(FittingCharacterHeight(14, 1000000, 1, 96), 1);
}

}  // namespace
}  // namespace quillon

#include "app/font_scaling.h"

#include <algorithm>
#include <cstdint>

namespace quillon {
namespace {

constexpr int kFontHundredthsOfPoint = 675;
constexpr int kHundredthsOfPointPerInch = 72 * 100;

// a * b / c, rounded to the nearest whole number, without overflow.
std::int64_t Scale(std::int64_t a, std::int64_t b, std::int64_t c) {
  return (a * b + c / 2) / c;
}

}  // namespace

int DesignCharacterHeight(int dpi) {
  return static_cast<int>(Scale(kFontHundredthsOfPoint, dpi, kHundredthsOfPointPerInch));
}

bool NeedsScalableFace(int wantedHeight, int realisedHeight) {
  return realisedHeight > 0 && realisedHeight * 10 < wantedHeight * 9;
}

int FittingCharacterHeight(int height, long textWidth, long designTextWidth, int dpi) {
  if (textWidth <= 0 || designTextWidth <= 0 || dpi <= 0) return height;
  const std::int64_t allowed = Scale(designTextWidth, dpi, kDesignDpi);
  if (textWidth <= allowed) return height;
  // Text width grows in proportion to the character height.
  return std::max<int>(1, static_cast<int>(std::int64_t{height} * allowed / textWidth));
}

}  // namespace quillon

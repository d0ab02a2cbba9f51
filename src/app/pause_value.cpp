#include "app/pause_value.h"

#include <limits>

namespace quillon {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int32_t> ParsePauseSeconds(const std::string& text) {
  std::size_t pos = 0;
  std::size_t end = text.size();
  while (pos < end && IsBlank(text[pos])) ++pos;
  while (end > pos && IsBlank(text[end - 1])) --end;

  bool negative = false;
  if (pos < end && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const std::size_t wholeStart = pos;
  while (pos < end && IsDigit(text[pos])) ++pos;
  std::string whole = text.substr(wholeStart, pos - wholeStart);
  std::string fraction;
  if (pos < end && text[pos] == '.') {
    const std::size_t fractionStart = ++pos;
    while (pos < end && IsDigit(text[pos])) ++pos;
    fraction = text.substr(fractionStart, pos - fractionStart);
  }
  if (pos != end || (whole.empty() && fraction.empty())) return std::nullopt;

  // Work on the digits themselves, so that no binary fraction decides how a
  // half rounds and no length of digits can overflow.
  whole.erase(0, whole.find_first_not_of('0'));
  if (whole.size() > 10) return std::nullopt;
  std::int64_t magnitude = 0;
  for (char c : whole) magnitude = magnitude * 10 + (c - '0');

  if (!fraction.empty()) {
    const bool restNonZero = fraction.find_first_not_of('0', 1) != std::string::npos;
    const char first = fraction[0];
    const bool up = first > '5' || (first == '5' && (restNonZero || magnitude % 2 == 1));
    if (up) ++magnitude;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t StoredPauseSeconds(const std::optional<std::string>& stored) {
  if (!stored || stored->empty()) return 1;
  return ParsePauseSeconds(*stored).value_or(1);
}

}  // namespace quillon

#include "job/name_order.h"

#include <cstdint>
#include <vector>

namespace quillon {

namespace {

// Lower-case letters and their capitals, as runs: every `stride`-th
// character from `first` to `last` has its capital `delta` away. The simple
// (one for one) mappings of Unicode for Latin, Greek and Cyrillic.
struct CaseRun {
  char32_t first;
  char32_t last;
  int stride;
  int delta;
};

constexpr CaseRun kCaseRuns[] = {
    {0x0061, 0x007A, 1, -32},  {0x00B5, 0x00B5, 1, 743},  {0x00E0, 0x00F6, 1, -32},
    {0x00F8, 0x00FE, 1, -32},  {0x00FF, 0x00FF, 1, 121},  {0x0101, 0x012F, 2, -1},
    {0x0131, 0x0131, 1, -232}, {0x0133, 0x0137, 2, -1},   {0x013A, 0x0148, 2, -1},
    {0x014B, 0x0177, 2, -1},   {0x017A, 0x017E, 2, -1},   {0x017F, 0x017F, 1, -300},
    {0x01A1, 0x01A5, 2, -1},   {0x01CE, 0x01DC, 2, -1},   {0x01DF, 0x01EF, 2, -1},
    {0x01F9, 0x021F, 2, -1},   {0x0223, 0x0233, 2, -1},   {0x0247, 0x024F, 2, -1},
    {0x0371, 0x0373, 2, -1},   {0x0377, 0x0377, 1, -1},   {0x037B, 0x037D, 1, 130},
    {0x03AC, 0x03AC, 1, -38},  {0x03AD, 0x03AF, 1, -37},  {0x03B1, 0x03C1, 1, -32},
    {0x03C2, 0x03C2, 1, -31},  {0x03C3, 0x03CB, 1, -32},  {0x03CC, 0x03CC, 1, -64},
    {0x03CD, 0x03CE, 1, -63},  {0x03D0, 0x03D0, 1, -62},  {0x03D1, 0x03D1, 1, -57},
    {0x03D5, 0x03D5, 1, -47},  {0x03D6, 0x03D6, 1, -54},  {0x03D7, 0x03D7, 1, -8},
    {0x03D9, 0x03EF, 2, -1},   {0x03F0, 0x03F0, 1, -86},  {0x03F1, 0x03F1, 1, -80},
    {0x03F2, 0x03F2, 1, 7},    {0x03F3, 0x03F3, 1, -116}, {0x03F5, 0x03F5, 1, -96},
    {0x03F8, 0x03F8, 1, -1},   {0x03FB, 0x03FB, 1, -1},   {0x0430, 0x044F, 1, -32},
    {0x0450, 0x045F, 1, -80},  {0x0461, 0x0481, 2, -1},   {0x048B, 0x04BF, 2, -1},
    {0x04C2, 0x04CE, 2, -1},   {0x04CF, 0x04CF, 1, -15},  {0x04D1, 0x052F, 2, -1},
    {0x1E01, 0x1E95, 2, -1},   {0x1E9B, 0x1E9B, 1, -59},  {0x1EA1, 0x1EFF, 2, -1},
    {0xFF41, 0xFF5A, 1, -32},
};

char32_t SimpleUpper(char32_t c) {
  for (const CaseRun& run : kCaseRuns) {
    if (c < run.first) break;
    if (c <= run.last && (c - run.first) % static_cast<char32_t>(run.stride) == 0)
      return static_cast<char32_t>(static_cast<std::int32_t>(c) + run.delta);
  }
  return c;
}

// The next character of a UTF-8 text; a byte that starts no well-formed
// character stands for itself.
char32_t Decode(const std::string& text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || at + static_cast<std::size_t>(extra) > text.size()) return lead;
  char32_t c = lead & (0x3Fu >> extra);
  for (int k = 0; k < extra; ++k) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(k)]);
    if ((next & 0xC0) != 0x80) return lead;
    c = (c << 6) | (next & 0x3Fu);
  }
  at += static_cast<std::size_t>(extra);
  return c;
}

// The name as Windows compares it: upper-cased UTF-16 units.
std::vector<char16_t> CompareKey(const std::string& name) {
  std::vector<char16_t> units;
  units.reserve(name.size());
  for (std::size_t at = 0; at < name.size();) {
    const char32_t c = SimpleUpper(Decode(name, at));
    if (c < 0x10000) {
      units.push_back(static_cast<char16_t>(c));
    } else {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return units;
}

}  // namespace

bool NameBefore(const std::string& a, const std::string& b) {
  const auto keyA = CompareKey(a);
  const auto keyB = CompareKey(b);
  if (keyA != keyB) return keyA < keyB;
  return a < b;
}

}  // namespace quillon

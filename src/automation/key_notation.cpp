#include "automation/key_notation.h"

#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace quillon {

namespace {

struct NamedKey {
  std::string_view name;
  std::uint16_t virtualKey;
};

// Windows virtual-key codes of the keys a macro may name.
constexpr NamedKey kNamedKeys[] = {
    {"ENTER", 0x0D},  {"TAB", 0x09},   {"ESC", 0x1B},    {"ESCAPE", 0x1B}, {"BACKSPACE", 0x08},
    {"BS", 0x08},     {"SPACE", 0x20}, {"PGUP", 0x21},   {"PGDN", 0x22},   {"END", 0x23},
    {"HOME", 0x24},   {"LEFT", 0x25},  {"UP", 0x26},     {"RIGHT", 0x27},  {"DOWN", 0x28},
    {"INSERT", 0x2D}, {"INS", 0x2D},   {"DELETE", 0x2E}, {"DEL", 0x2E},    {"F1", 0x70},
    {"F2", 0x71},     {"F3", 0x72},    {"F4", 0x73},     {"F5", 0x74},     {"F6", 0x75},
    {"F7", 0x76},     {"F8", 0x77},    {"F9", 0x78},     {"F10", 0x79},    {"F11", 0x7A},
    {"F12", 0x7B},
};

constexpr int kMaxRepeat = 100;

[[noreturn]] void Reject(const std::string& keys, const std::string& why) {
  throw std::invalid_argument("The key sequence \"" + keys + "\" cannot be sent: " + why + ".");
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// "{NAME}" or "{NAME n}" starting at `open`; appends the strokes and returns
// the offset after the closing brace.
std::size_t ParseBraces(const std::string& keys, std::size_t open, bool alt,
                        std::vector<KeyStroke>& out) {
  const std::size_t close = keys.find('}', open + 1);
  if (close == std::string::npos) Reject(keys, "a \"{\" is not closed");
  const std::string inside = keys.substr(open + 1, close - open - 1);
  const std::size_t space = inside.find(' ');
  const std::string name = Upper(inside.substr(0, space));

  int repeat = 1;
  if (space != std::string::npos) {
    const std::string count = inside.substr(space + 1);
    if (count.empty() || count.size() > 3 ||
        count.find_first_not_of("0123456789") != std::string::npos)
      Reject(keys, "\"" + count + "\" is not a repeat count");
    repeat = std::stoi(count);
    if (repeat < 1 || repeat > kMaxRepeat)
      Reject(keys, "a key can be repeated 1 to " + std::to_string(kMaxRepeat) + " times");
  }

  for (const auto& key : kNamedKeys) {
    if (key.name != name) continue;
    out.insert(out.end(), static_cast<std::size_t>(repeat), KeyStroke{key.virtualKey, alt});
    return close + 1;
  }
  Reject(keys, "\"" + inside.substr(0, space) + "\" is not a key name");
}

}  // namespace

std::vector<KeyStroke> ParseKeyNotation(const std::string& keys) {
  std::vector<KeyStroke> strokes;
  bool alt = false;
  std::size_t at = 0;
  while (at < keys.size()) {
    const char c = keys[at];
    if (c == '%') {
      if (alt) Reject(keys, "\"%\" must be followed by a key");
      alt = true;
      ++at;
      continue;
    }
    if (c == '{') {
      at = ParseBraces(keys, at, alt, strokes);
    } else if (std::isalnum(static_cast<unsigned char>(c))) {
      // Letter keys carry the code of the upper-case letter; Alt+f and Alt+F
      // are the same key.
      strokes.push_back(
          KeyStroke{static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(c))), alt});
      ++at;
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      Reject(keys, "only letters, digits and names in braces are keys");
    } else {
      Reject(keys, std::string("\"") + c + "\" is not a key of the notation");
    }
    alt = false;
  }
  if (alt) Reject(keys, "\"%\" must be followed by a key");
  return strokes;
}

}  // namespace quillon

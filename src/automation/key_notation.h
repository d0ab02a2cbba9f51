#pragma once
// The key notation of the keyboard macros: "{ENTER}", "%{F4}", "%F",
// "{DOWN 3}". "%" holds Alt down for the one key that follows; a name in
// braces is a named key and a number after the name repeats that key; a
// letter or digit outside braces is that key. Text is never written in this
// notation: paths go through TypeText, character for character.

#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon {

// The key strokes of `keys`, in order. Throws std::invalid_argument, naming
// the sequence, for anything outside the notation (an unknown name, an
// unclosed brace, a "%" with no key after it, a punctuation character, a
// repeat over 100).
std::vector<KeyStroke> ParseKeyNotation(const std::string& keys);

}  // namespace quillon

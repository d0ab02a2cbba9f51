#pragma once
// The keystroke pause as text: what the "WaitFor&Key" dialog accepts and what
// the settings store holds.

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// A decimal number with an optional sign and fraction ("3", "-2", "2.5",
// "+.5"), blanks around it allowed, rounded to whole seconds with an exact
// half going to the even neighbour. Nothing else is a number here: no
// exponent, no thousands separator, no locale's decimal comma. nullopt when
// the text is not such a number or its rounded value does not fit 32 bits.
std::optional<std::int32_t> ParsePauseSeconds(const std::string& text);

// The value read from the settings store: 1 when it is missing, empty or not
// a number the dialog would accept.
std::int32_t StoredPauseSeconds(const std::optional<std::string>& stored);

}  // namespace quillon

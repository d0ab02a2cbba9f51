#pragma once
#include <string>

namespace quillon {

// The text of the "about..." message: eleven lines, each ended by CR LF.
std::string AboutText();

}  // namespace quillon

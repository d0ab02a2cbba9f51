#pragma once
// The order in which the file lists show names: the one Windows uses when it
// compares file names without regard to case.

#include <string>

namespace quillon {

// True when `a` comes before `b`: UTF-16 units compared one by one after
// simple upper-casing (Latin, Greek and Cyrillic letters), so "é" sorts
// with "É" and not after every ASCII name. Names equal but for case keep a
// fixed order, by their bytes.
bool NameBefore(const std::string& a, const std::string& b);

}  // namespace quillon

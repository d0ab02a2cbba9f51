#pragma once

#include <string>

namespace quillon {

// Writes `text` (UTF-8) to `path` in the system's ANSI code page, replacing
// any file of that name. Throws PlatformError, leaving no file behind, when the
// code page cannot hold every character or the file cannot be written.
void WriteAnsiTextFile(const std::string& path, const std::string& text);

}  // namespace quillon

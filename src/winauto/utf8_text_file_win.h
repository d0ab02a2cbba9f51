#pragma once
// The program's own text files, such as the job log: UTF-8 bytes written as
// given. (Files for the outside tools go through ansi_text_file_win.h.)

#include <string>

namespace quillon {

// Replaces `path` with `text`. Throws JobError naming the path and the
// system's reason when the file cannot be made or written.
void WriteUtf8TextFile(const std::string& path, const std::string& text);

// Adds `text` to the end of `path`, making the file when it is missing. The
// file is opened and closed again for every call, so whatever was added
// stays on disk even if the program is ended the moment after. Throws
// JobError like WriteUtf8TextFile.
void AppendUtf8TextFile(const std::string& path, const std::string& text);

}  // namespace quillon

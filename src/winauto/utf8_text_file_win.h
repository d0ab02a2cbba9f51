#pragma once
// The program's own text files, such as the job log: UTF-8 bytes written as
// given. (Files for the outside tools go through ansi_text_file_win.h.)

#include <memory>
#include <string>

#include "winauto/platform.h"

namespace quillon {

// Replaces `path` with an empty file held open for writing, readable but
// not writable by others while held; nullptr when another program holds it
// (a sharing violation). Every Append goes to the system at once, so what
// was added stays on disk even if the program is ended the moment after.
// Throws JobError naming the path and the system's reason otherwise.
std::unique_ptr<HeldTextFile> HoldUtf8TextFile(const std::string& path);

}  // namespace quillon

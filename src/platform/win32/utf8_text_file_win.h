#pragma once
// The program's own text files, such as the job log: UTF-8 bytes written as
// given. (Files for the outside tools go through ansi_text_file_win.h.)

#include <memory>
#include <string>

#include "platform/platform.h"

namespace quillon {

// Replaces `path` with an empty file and holds it for this program until the
// returned object goes; nullptr when another program (another copy of this
// one) holds it. Every Append opens the file, adds to its end and closes it
// again, so whatever was added stays on disk even if the program is ended the
// moment after. Throws PlatformError naming the path and the system's reason when
// the file cannot be made or written.
std::unique_ptr<HeldTextFile> HoldUtf8TextFile(const std::string& path);

}  // namespace quillon

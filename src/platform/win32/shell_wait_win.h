#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace quillon {

// Starts `commandLine` and blocks, without dispatching window messages, until
// the process ends or `timeoutMs` passes; then the process is ended and the
// outcome says it did not finish. A wait that fails ends the process as well,
// and the outcome says why it failed. A program that cannot be started
// returns at once, silently, with started == false.
ProcessOutcome ShellWait(const std::string& commandLine, int showStyle, std::uint32_t timeoutMs);

}  // namespace quillon

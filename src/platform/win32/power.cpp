// Staying awake while a job runs: Windows' idle sleep would stall a batch
// job for the whole night.

#include <memory>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

class AwakeWhileHeld : public AwakeScope {
  StayAwake awake_;
};

}  // namespace

std::unique_ptr<AwakeScope> Win32Platform::KeepAwake() {
  return std::make_unique<AwakeWhileHeld>();
}

}  // namespace quillon

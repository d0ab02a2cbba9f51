#include "platform/add_backslash.h"

namespace quillon {

std::string AddBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + '\\';
}

}  // namespace quillon

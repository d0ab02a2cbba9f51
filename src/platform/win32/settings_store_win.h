#pragma once
// The per-user application settings: HKEY_CURRENT_USER\Software\VB and VBA
// Program Settings\<app>\<section>, one REG_SZ value per key.

#include <optional>
#include <string>

namespace quillon {

// nullopt when the value (or its key) is missing or is not a string.
std::optional<std::string> ReadSetting(const std::string& app, const std::string& section,
                                       const std::string& key);
// Throws PlatformError when the value cannot be stored.
void WriteSetting(const std::string& app, const std::string& section, const std::string& key,
                  const std::string& value);

}  // namespace quillon

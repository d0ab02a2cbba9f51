// The per-user application settings: HKEY_CURRENT_USER\Software\VB and VBA
// Program Settings\<app>\<section>, one REG_SZ value per key.

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

std::wstring SectionKeyPath(const std::string& app, const std::string& section) {
  return L"Software\\VB and VBA Program Settings\\" + ToWide(app) + L"\\" + ToWide(section);
}

}  // namespace

std::optional<std::string> Win32Platform::ReadSetting(const std::string& app,
                                                      const std::string& section,
                                                      const std::string& key) {
  UniqueRegKey sectionKey;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(app, section).c_str(), 0, KEY_QUERY_VALUE,
                      sectionKey.Put()) != ERROR_SUCCESS)
    return std::nullopt;
  const std::wstring name = ToWide(key);
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  // Room for a terminating NUL that the stored data may lack.
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  value.resize(bytes / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return ToUtf8(value);
}

void Win32Platform::WriteSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value) {
  const std::wstring path = SectionKeyPath(app, section);
  UniqueRegKey sectionKey;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, sectionKey.Put(), nullptr);
  if (status == ERROR_SUCCESS) {
    const std::wstring data = ToWide(value);
    status = ::RegSetValueExW(sectionKey.Get(), ToWide(key).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }
  if (status != ERROR_SUCCESS) {
    throw PlatformError("Could not store the setting " + Quoted(key) +
                        " under HKEY_CURRENT_USER\\" + ToUtf8(path) + ": " +
                        SystemErrorText(static_cast<unsigned long>(status)));
  }
}

}  // namespace quillon

// The per-user settings store, in the classic application-settings area.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"

namespace quillon {
namespace {

constexpr char kApp[] = "QuillonWin32Test";
constexpr wchar_t kAppKey[] = L"Software\\VB and VBA Program Settings\\QuillonWin32Test";
constexpr wchar_t kSectionKey[] =
    L"Software\\VB and VBA Program Settings\\QuillonWin32Test\\Options";

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey); }
  Win32Platform platform_;
};

TEST_F(SettingsStoreTest, MissingValueReadsAsNothing) {
  EXPECT_EQ(platform_.ReadSetting(kApp, "Options", "WaitForKey"), std::nullopt);
  platform_.WriteSetting(kApp, "Options", "Other", "1");
  EXPECT_EQ(platform_.ReadSetting(kApp, "Options", "WaitForKey"), std::nullopt);
  EXPECT_EQ(platform_.ReadSetting(kApp, "Elsewhere", "Other"), std::nullopt);
}

TEST_F(SettingsStoreTest, WrittenValueIsAStringAtTheClassicPlace) {
  platform_.WriteSetting(kApp, "Options", "WaitForKey", "3");
  wchar_t data[16] = {};
  DWORD bytes = sizeof data;
  DWORD type = 0;
  ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kSectionKey, L"WaitForKey", RRF_RT_ANY, &type, data,
                           &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data), L"3");
  EXPECT_EQ(platform_.ReadSetting(kApp, "Options", "WaitForKey"), "3");
}

TEST_F(SettingsStoreTest, RoundTripsAnyText) {
  for (const std::string& value : {std::string("12"), std::string(""), std::string("-4.5"),
                                   std::string("Fïlm 片"), std::string(300, '9')}) {
    platform_.WriteSetting(kApp, "Options", "WaitForKey", value);
    EXPECT_EQ(platform_.ReadSetting(kApp, "Options", "WaitForKey"), value);
  }
}

TEST_F(SettingsStoreTest, ValueOfAnotherTypeReadsAsNothing) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSectionKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.Put(), nullptr),
            ERROR_SUCCESS);
  const DWORD number = 5;
  ASSERT_EQ(::RegSetValueExW(key.Get(), L"WaitForKey", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&number), sizeof number),
            ERROR_SUCCESS);
  EXPECT_EQ(platform_.ReadSetting(kApp, "Options", "WaitForKey"), std::nullopt);
}

TEST_F(SettingsStoreTest, StringStoredWithoutTerminatorIsReadWhole) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSectionKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.Put(), nullptr),
            ERROR_SUCCESS);
  const wchar_t digits[] = {L'4', L'2'};
  ASSERT_EQ(::RegSetValueExW(key.Get(), L"WaitForKey", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(digits), sizeof digits),
            ERROR_SUCCESS);
  EXPECT_EQ(platform_.ReadSetting(kApp, "Options", "WaitForKey"), "42");
}

}  // namespace
}  // namespace quillon

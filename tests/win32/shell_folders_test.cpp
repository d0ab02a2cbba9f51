// The shell's folders: special-folder lookup, the trailing-backslash rule and
// the folder picker.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <thread>

#include "platform/add_backslash.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

TEST(GetSpecialFolder, ApplicationDataWithoutTrailingBackslash) {
  Win32Platform platform;
  const std::string appData = platform.GetSpecialFolder(SpecialFolder::AppData);
  ASSERT_FALSE(appData.empty());
  EXPECT_NE(appData.back(), '\\');

  wchar_t expected[MAX_PATH] = {};
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, expected),
            S_OK);
  EXPECT_EQ(ToWide(appData), expected);
  wchar_t environment[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"APPDATA", environment, MAX_PATH) > 0) {
    EXPECT_EQ(::CompareStringOrdinal(ToWide(appData).c_str(), -1, environment, -1, TRUE),
              CSTR_EQUAL);
  }
  EXPECT_TRUE(platform.FolderExists(appData));
}

TEST(GetSpecialFolder, LocalApplicationDataIsItsOwnFolder) {
  Win32Platform platform;
  wchar_t expected[MAX_PATH] = {};
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, expected),
            S_OK);
  EXPECT_EQ(ToWide(platform.GetSpecialFolder(SpecialFolder::LocalAppData)), expected);
}

TEST(AddBackslash, AddsExactlyOneWhenMissing) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\movies", "C:\\movies\\"},
      {"C:\\movies\\", "C:\\movies\\"},
      {"", "\\"},
      {"C:\\", "C:\\"},
      {"C:\\movies\\\\", "C:\\movies\\\\"},
      {"D:\\Fïlm 片", "D:\\Fïlm 片\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(AddBackslash(c.path), c.expected) << c.path;
}

TEST(BrowseForFolder, CancelGivesEmptyTextAndTheDialogShowsTheTitle) {
  const DWORD self = ::GetCurrentThreadId();
  std::wstring titleSeen;
  bool found = false;
  std::thread user([&] {
    const HWND dialog = test::WaitForThreadDialog(self, L"", 10000);
    found = dialog != nullptr;
    if (!dialog) return;
    for (HWND child : test::ChildWindows(dialog)) {
      if (test::TextOf(child) == L"Select source movie folder") titleSeen = test::TextOf(child);
    }
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  Win32Platform platform;
  const std::string chosen = platform.BrowseForFolder("Select source movie folder");
  user.join();
  EXPECT_TRUE(found);
  EXPECT_EQ(chosen, "");
  EXPECT_EQ(titleSeen, L"Select source movie folder");
}

}  // namespace
}  // namespace quillon

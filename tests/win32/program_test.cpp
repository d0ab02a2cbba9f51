// The program's own command line, folder and working folder.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

TEST(ArgumentsAfterProgramName, SkipsTheNameAsCreateProcessReadsIt) {
  struct Case {
    std::wstring_view raw;
    std::wstring_view expected;
  };
  const Case cases[] = {
      // quoted program path with blanks
      {LR"("C:\Program Files\Quillon\Quillon.exe" ?D:\Film?1?192?1?1?1?0?1?)",
       LR"(?D:\Film?1?192?1?1?1?0?1?)"},
      // unquoted
      {LR"(C:\Quillon\Quillon.exe ?D:\Film?0??0?0?1?0?0?)", LR"(?D:\Film?0??0?0?1?0?0?)"},
      {LR"(Quillon.exe ?x?)", LR"(?x?)"},
      // no arguments, with and without trailing blanks
      {LR"("C:\Program Files\Quillon\Quillon.exe")", L""},
      {LR"("C:\Program Files\Quillon\Quillon.exe"   )", L""},
      {LR"(Quillon.exe)", L""},
      {L"", L""},
      // the separating blanks and tabs go; everything after stays verbatim
      {L"Quillon.exe \t  ?a b? \"c\" ?  ", L"?a b? \"c\" ?  "},
      {LR"("C:\a b\Quillon.exe" "D:\Dropped Folder")", LR"("D:\Dropped Folder")"},
      {LR"("C:\a b\Quillon.exe" ?"quoted"?"?\"?)", LR"(?"quoted"?"?\"?)"},
      // a quoted name ends at its closing quote even without a blank after it
      {LR"("C:\a b\Quillon.exe"?x?)", LR"(?x?)"},
      // an unquoted name ends at a tab as well
      {L"Quillon.exe\t?x?", L"?x?"},
      // a quote inside an unquoted name does not start a quoted part
      {LR"(Quil"lon.exe ?x?)", LR"(?x?)"},
      // an unterminated quote swallows everything
      {LR"("C:\a b\Quillon.exe ?x?)", L""},
      // blanks before the name
      {LR"(  Quillon.exe ?x?)", LR"(?x?)"},
      // text that looks like a switch or a path is still just text
      {LR"(Quillon.exe /? -h C:\)", LR"(/? -h C:\)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgumentsAfterProgramName(c.raw), c.expected) << ToUtf8(c.raw);
  }
}

TEST(ArgumentsAfterProgramName, ReturnsAViewIntoTheRawText) {
  const std::wstring raw = L"\"C:\\x y\\q.exe\"  ?tail?";
  const std::wstring_view rest = ArgumentsAfterProgramName(raw);
  EXPECT_EQ(rest.data(), raw.data() + 16);
}

TEST(FolderOfPath, CutsTheFileNameAndKeepsARootsBackslash) {
  struct Case {
    std::wstring_view path;
    std::wstring_view folder;
  };
  const Case cases[] = {
      {LR"(C:\Programs\Quillon\Quillon.exe)", LR"(C:\Programs\Quillon)"},
      {LR"(C:\Quillon.exe)", LR"(C:\)"},
      {LR"(\\server\share\Quillon.exe)", LR"(\\server\share)"},
      {LR"(Quillon.exe)", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << ToUtf8(c.path);
}

TEST(BaseNameWithoutExtension, NamesTheSharedTimer) {
  EXPECT_EQ(BaseNameWithoutExtension(LR"(C:\Programs\Quillon\Quillon.exe)"), L"Quillon");
  EXPECT_EQ(BaseNameWithoutExtension(LR"(C:\a.b\my.tool.exe)"), L"my.tool");
  EXPECT_EQ(BaseNameWithoutExtension(LR"(C:\a.b\noext)"), L"noext");
  EXPECT_EQ(BaseNameWithoutExtension(L"Quillon.exe"), L"Quillon");
}

TEST(Win32Platform, ExecutableFolderIsWhereThisProgramLies) {
  Win32Platform platform;
  const std::string folder = platform.ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(ToWide(folder) + L"\\", test::TestProgramFolder());
  EXPECT_TRUE(platform.FileExists(folder + "\\quillon_win32_tests.exe"));
}

TEST(Win32Platform, WorkingFolderIsTheCurrentDirectory) {
  test::ScratchFolder scratch(L"working_folder");
  wchar_t before[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, before);
  std::wstring target = scratch.Path();
  target.pop_back();
  ASSERT_TRUE(::SetCurrentDirectoryW(target.c_str()));
  Win32Platform platform;
  const std::string seen = platform.WorkingFolder();
  ::SetCurrentDirectoryW(before);
  EXPECT_EQ(ToWide(seen), target);
}

}  // namespace
}  // namespace quillon

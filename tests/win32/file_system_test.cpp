// Files and folders: what exists, what a folder holds, and the operations
// whose failures end a job with a message naming the paths.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return folder_.Utf8Path() + name; }
  std::wstring W(const std::string& name) const { return ToWide(P(name)); }
  void Write(const std::string& name, const std::string& bytes) const {
    test::WriteBytes(W(name), bytes);
  }
  std::string Read(const std::string& name) const { return test::ReadBytes(W(name)).value_or(""); }
  bool Exists(const std::string& name) const {
    return ::GetFileAttributesW(W(name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // Runs `action`, which must throw PlatformError; returns its message.
  template <typename Action>
  std::string PlatformErrorOf(Action action) {
    try {
      action();
    } catch (const PlatformError& error) {
      return error.what();
    }
    ADD_FAILURE() << "no PlatformError";
    return {};
  }

  test::ScratchFolder folder_{L"file_system"};
  Win32Platform platform_;
};

TEST_F(FileSystemTest, FileAndFolderExistenceAreTold) {
  Write("movie.idx", "x");
  ASSERT_TRUE(::CreateDirectoryW(W("subtitles").c_str(), nullptr));
  EXPECT_TRUE(platform_.FileExists(P("movie.idx")));
  EXPECT_TRUE(platform_.FileExists(P("MOVIE.IDX")));
  EXPECT_FALSE(platform_.FileExists(P("subtitles")));
  EXPECT_FALSE(platform_.FileExists(P("movie.rar")));
  EXPECT_TRUE(platform_.FolderExists(P("subtitles")));
  EXPECT_TRUE(platform_.FolderExists(P("subtitles\\")));
  EXPECT_FALSE(platform_.FolderExists(P("movie.idx")));
  EXPECT_FALSE(platform_.FolderExists(P("mux\\")));
}

TEST_F(FileSystemTest, ListFolderGivesNamesAndFlags) {
  Write("movie.avi", "");
  Write("0x80 Audio.ac3", "");
  Write("Fïlm 片.wav", "");
  Write("hidden.ini", "");
  Write("system.sys", "");
  ASSERT_TRUE(::CreateDirectoryW(W("subtitles").c_str(), nullptr));
  ASSERT_TRUE(::SetFileAttributesW(W("hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(::SetFileAttributesW(W("system.sys").c_str(), FILE_ATTRIBUTE_SYSTEM));

  std::vector<FolderEntry> entries = platform_.ListFolder(folder_.Utf8Path());
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  struct Expected {
    const char* name;
    bool isFolder, hidden, system;
  };
  const Expected expected[] = {
      {"0x80 Audio.ac3", false, false, false}, {"Fïlm 片.wav", false, false, false},
      {"hidden.ini", false, true, false},      {"movie.avi", false, false, false},
      {"subtitles", true, false, false},       {"system.sys", false, false, true},
  };
  ASSERT_EQ(entries.size(), std::size(expected));
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(entries[i].name, expected[i].name);
    EXPECT_EQ(entries[i].isFolder, expected[i].isFolder);
    EXPECT_EQ(entries[i].hidden, expected[i].hidden);
    EXPECT_EQ(entries[i].system, expected[i].system);
  }
}

TEST_F(FileSystemTest, ListFolderWithOrWithoutBackslashAndOfNothing) {
  Write("a.sup", "");
  std::string withoutBackslash = folder_.Utf8Path();
  withoutBackslash.pop_back();
  ASSERT_EQ(platform_.ListFolder(withoutBackslash).size(), 1u);
  EXPECT_EQ(platform_.ListFolder(withoutBackslash)[0].name, "a.sup");
  EXPECT_TRUE(platform_.ListFolder(P("no such folder\\")).empty());
  ASSERT_TRUE(::CreateDirectoryW(W("empty").c_str(), nullptr));
  EXPECT_TRUE(platform_.ListFolder(P("empty")).empty());
}

TEST_F(FileSystemTest, CopyFileReplacesTheTarget) {
  Write("movie.idx", "new index");
  Write("mux_movie.idx", "an older, longer index");
  platform_.CopyFile(P("movie.idx"), P("mux_movie.idx"));
  EXPECT_EQ(Read("mux_movie.idx"), "new index");
  EXPECT_EQ(Read("movie.idx"), "new index");
}

// What the fake platform models: a file off a disc is read-only, its copy
// is too, and it cannot be deleted until the attribute goes. (Windows also
// refuses to copy over it; Wine lets the administrator do that.)
TEST_F(FileSystemTest, AReadOnlyFileStaysSoInItsCopyUntilClearReadOnly) {
  Write("movie.idx", "index");
  ASSERT_TRUE(::SetFileAttributesW(W("movie.idx").c_str(), FILE_ATTRIBUTE_READONLY));
  platform_.CopyFile(P("movie.idx"), P("copy.idx"));
  EXPECT_NE(::GetFileAttributesW(W("copy.idx").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_THROW(platform_.DeleteFile(P("copy.idx")), PlatformError);
  platform_.ClearReadOnly(P("copy.idx"));
  platform_.ClearReadOnly(P("copy.idx"));  // a file without it stays as it is
  platform_.CopyFile(P("movie.idx"), P("copy.idx"));
  platform_.ClearReadOnly(P("copy.idx"));
  platform_.DeleteFile(P("copy.idx"));
  EXPECT_FALSE(Exists("copy.idx"));
  EXPECT_EQ(platform_.FileSize(P("movie.idx")), 5u);
  EXPECT_EQ(platform_.FileSize(P("missing.idx")), std::nullopt);
  platform_.ClearReadOnly(P("movie.idx"));
}

TEST_F(FileSystemTest, FailuresThrowPlatformErrorNamingThePathsAndTheReason) {
  Write("file.txt", "keep");
  ASSERT_TRUE(::CreateDirectoryW(W("full").c_str(), nullptr));
  Write("full\\inside.txt", "");

  struct Case {
    const char* what;
    std::function<void()> action;
    std::string prefix;
  };
  const Case cases[] = {
      {"copy of a missing file", [&] { platform_.CopyFile(P("missing.idx"), P("copy.idx")); },
       "Could not copy \"" + P("missing.idx") + "\" to \"" + P("copy.idx") + "\": "},
      {"copy into a missing folder",
       [&] { platform_.CopyFile(P("file.txt"), P("nowhere\\file.txt")); },
       "Could not copy \"" + P("file.txt") + "\" to \"" + P("nowhere\\file.txt") + "\": "},
      {"delete of a missing file", [&] { platform_.DeleteFile(P("missing.idx")); },
       "Could not delete \"" + P("missing.idx") + "\": "},
      {"create of an existing folder", [&] { platform_.CreateFolder(P("full")); },
       "Could not create the folder \"" + P("full") + "\": "},
      {"remove of a folder that is not empty", [&] { platform_.RemoveFolder(P("full")); },
       "Could not remove the folder \"" + P("full") + "\": "},
      {"remove of a missing folder", [&] { platform_.RemoveFolder(P("missing")); },
       "Could not remove the folder \"" + P("missing") + "\": "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = PlatformErrorOf(c.action);
    EXPECT_EQ(message.substr(0, c.prefix.size()), c.prefix);
    // The system's reason follows, as one line.
    EXPECT_GT(message.size(), c.prefix.size());
    EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
  }
  // Nothing was touched by the failures.
  EXPECT_EQ(Read("file.txt"), "keep");
  EXPECT_TRUE(Exists("full\\inside.txt"));
  EXPECT_FALSE(Exists("copy.idx"));
}

// A virus scanner's or the indexer's moment with a fresh file: the caller
// can tell it from other failures and try again.
TEST_F(FileSystemTest, AFileAnotherProgramHoldsFailsAsHeld) {
  Write("held.mp3", "x");
  UniqueHandle held(
      ::CreateFileW(W("held.mp3").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_THROW(platform_.DeleteFile(P("held.mp3")), FileHeldError);
  EXPECT_THROW(platform_.CopyFile(P("held.mp3"), P("copy.mp3")), FileHeldError);
  held.Reset();
  platform_.DeleteFile(P("held.mp3"));
  EXPECT_FALSE(Exists("held.mp3"));
  // A missing file is not held.
  try {
    platform_.DeleteFile(P("held.mp3"));
  } catch (const FileHeldError&) {
    ADD_FAILURE() << "a missing file counts as held";
  } catch (const PlatformError&) {
  }
}

TEST_F(FileSystemTest, CreateRemoveAndDeleteWork) {
  platform_.CreateFolder(P("mux\\"));
  EXPECT_TRUE(platform_.FolderExists(P("mux")));
  Write("mux\\movie.amg", "");
  platform_.DeleteFile(P("mux\\movie.amg"));
  EXPECT_FALSE(Exists("mux\\movie.amg"));
  platform_.RemoveFolder(P("mux\\"));
  EXPECT_FALSE(Exists("mux"));
}

TEST_F(FileSystemTest, WriteAnsiTextFileWritesCrLfTextByteForByteAndReplaces) {
  Write("movie.amg", std::string(200, 'x'));
  const std::string script = "CLEAR\r\nLOAD D:\\Rips\\Film\\movie.avi\r\nSTART D:\\a.avi\r\n";
  platform_.WriteAnsiTextFile(P("movie.amg"), script);
  EXPECT_EQ(Read("movie.amg"), script);
  platform_.WriteAnsiTextFile(P("empty.txt"), "");
  EXPECT_TRUE(Exists("empty.txt"));
  EXPECT_EQ(Read("empty.txt"), "");
}

TEST_F(FileSystemTest, WriteAnsiTextFileUsesTheSystemCodePage) {
  if (::GetACP() != 1252) GTEST_SKIP() << "code page " << ::GetACP();
  EXPECT_TRUE(platform_.AnsiCanHold("LOAD D:\\Fïlm é\r\n"));
  platform_.WriteAnsiTextFile(P("movie.amg"), "LOAD D:\\Fïlm é\r\n");
  EXPECT_EQ(Read("movie.amg"), "LOAD D:\\F\xEFlm \xE9\r\n");
}

TEST_F(FileSystemTest, WriteAnsiTextFileRefusesCharactersTheCodePageLacksAndWritesNothing) {
  const UINT codePage = ::GetACP();
  if (codePage == CP_UTF8 || codePage == 932 || codePage == 936 || codePage == 949 ||
      codePage == 950) {
    GTEST_SKIP() << "code page " << codePage << " holds the test character";
  }
  const std::string text = "LOAD D:\\片\\movie.avi\r\n";
  EXPECT_FALSE(platform_.AnsiCanHold(text));
  std::string message = PlatformErrorOf([&] { platform_.WriteAnsiTextFile(P("new.amg"), text); });
  EXPECT_NE(message.find("\"" + P("new.amg") + "\""), std::string::npos) << message;
  EXPECT_FALSE(Exists("new.amg"));

  // Nor is an existing file of that name touched.
  Write("old.amg", "old script");
  message = PlatformErrorOf([&] { platform_.WriteAnsiTextFile(P("old.amg"), text); });
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(Read("old.amg"), "old script");

  // A best-fit look-alike is no way out either ("ł" would become "l").
  if (codePage == 1252) {
    EXPECT_FALSE(platform_.AnsiCanHold("Łódź"));
    message = PlatformErrorOf([&] { platform_.WriteAnsiTextFile(P("fit.amg"), "Łódź\r\n"); });
    EXPECT_FALSE(Exists("fit.amg"));
  }
}

TEST_F(FileSystemTest, WriteAnsiTextFileIntoAMissingFolderThrows) {
  const std::string message =
      PlatformErrorOf([&] { platform_.WriteAnsiTextFile(P("nowhere\\movie.amg"), "x\r\n"); });
  EXPECT_EQ(message.rfind("Could not write \"" + P("nowhere\\movie.amg") + "\": ", 0), 0u)
      << message;
}

}  // namespace
}  // namespace quillon

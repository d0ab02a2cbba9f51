#include "folder/file_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "winauto/add_backslash.h"

namespace quillon {
namespace {

TEST(AddBackslash, AddsExactlyOne) {
  EXPECT_EQ(AddBackslash("C:\\movies"), "C:\\movies\\");
  EXPECT_EQ(AddBackslash("C:\\movies\\"), "C:\\movies\\");
  EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
  EXPECT_EQ(AddBackslash(""), "\\");
}

TEST(FileList, ListsMatchingFilesInCaseInsensitiveOrder) {
  testing::FakePlatform fake;
  fake.AddFile("D:\\Film\\movie.wav");
  fake.AddFile("D:\\Film\\MOVIE.AC3");
  fake.AddFile("D:\\Film\\a.ogg.wav");
  fake.AddFile("D:\\Film\\movie.avi");
  fake.AddFile("D:\\Film\\hidden.mp3", "", true);
  fake.AddFile("D:\\Film\\system.mp3", "", false, true);
  fake.AddFolder("D:\\Film\\x.wav");
  FileList list(fake);
  list.SetPattern("*.wav;*.ac3;*.mp3;*.ogg");
  list.SetFolder("D:\\Film\\");
  ASSERT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(0), "a.ogg.wav");
  EXPECT_EQ(list.List(1), "MOVIE.AC3");
  EXPECT_EQ(list.List(2), "movie.wav");
  EXPECT_EQ(list.List(3), "");
  EXPECT_EQ(list.List(-1), "");
}

}  // namespace
}  // namespace quillon

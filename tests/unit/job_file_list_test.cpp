#include "job/file_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "platform/add_backslash.h"

namespace quillon {
namespace {

constexpr char kAudioPattern[] = "*.wav;*.ac3;*.mp3;*.ogg";

TEST(AddBackslash, AddsExactlyOne) {
  EXPECT_EQ(AddBackslash("C:\\movies"), "C:\\movies\\");
  EXPECT_EQ(AddBackslash("C:\\movies\\"), "C:\\movies\\");
  EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
  EXPECT_EQ(AddBackslash(""), "\\");
}

std::vector<std::string> Entries(const FileList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.ListCount(); ++i) out.push_back(list.List(i));
  return out;
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
  list.SetPattern(kAudioPattern);
  list.SetFolder("D:\\Film\\");
  ASSERT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(0), "a.ogg.wav");
  EXPECT_EQ(list.List(1), "MOVIE.AC3");
  EXPECT_EQ(list.List(2), "movie.wav");
  EXPECT_EQ(list.List(3), "");
  EXPECT_EQ(list.List(-1), "");
}

// As Windows orders file names: UTF-16 units after upper-casing, for every
// script's letters and not only ASCII ("_" then sorts after the letters).
TEST(FileList, OrderIgnoresCaseAndKeepsTheNamesAsOnDisk) {
  testing::FakePlatform fake;
  for (const char* name :
       {"b.WAV", "A.ogg", "c.Mp3", "0x81.ac3", "0x80.AC3", "a_b.wav", "aab.wav", "Ясно.ac3",
        "яблоко.ac3", "Ωb.wav", "ωa.wav", "éclair.ac3", "Émile.ac3", "zulu.ac3"})
    fake.AddFile(std::string("D:\\Film\\") + name);
  FileList list(fake);
  list.SetPattern(kAudioPattern);
  list.SetFolder("D:\\Film\\");
  EXPECT_EQ(Entries(list),
            (std::vector<std::string>{"0x80.AC3", "0x81.ac3", "A.ogg", "aab.wav", "a_b.wav",
                                      "b.WAV", "c.Mp3", "zulu.ac3", "éclair.ac3", "Émile.ac3",
                                      "ωa.wav", "Ωb.wav", "яблоко.ac3", "Ясно.ac3"}));
}

TEST(FileList, ReadsTheDiskOnlyWhenTheFolderOrPatternIsSet) {
  testing::FakePlatform fake;
  fake.AddFile("D:\\Film\\0x80.ac3");
  fake.AddFile("D:\\Film\\0x81.ac3");
  FileList list(fake);
  list.SetPattern(kAudioPattern);
  list.SetFolder("D:\\Film\\");
  ASSERT_EQ(list.ListCount(), 2);

  fake.AddFile("D:\\Film\\0x79.wav");
  fake.DeleteFile("D:\\Film\\0x81.ac3");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"0x80.ac3", "0x81.ac3"}));

  list.SetFolder("D:\\Film\\");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"0x79.wav", "0x80.ac3"}));

  list.SetPattern("*.ac3");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"0x80.ac3"}));
}

TEST(FileList, AnotherFolderReplacesTheEntries) {
  testing::FakePlatform fake;
  fake.AddFile("D:\\One\\a.sup");
  fake.AddFile("D:\\Two\\b.sup");
  FileList list(fake);
  list.SetPattern("*.sup");
  list.SetFolder("D:\\One\\");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"a.sup"}));
  list.SetFolder("D:\\Two\\");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"b.sup"}));
  list.SetFolder("D:\\Missing\\");
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.List(0), "");
}

TEST(FileList, ClearForgetsWithoutReadingTheDisk) {
  testing::FakePlatform fake;
  fake.AddFile("D:\\One\\a.sup");
  FileList list(fake);
  list.SetPattern("*.sup");
  list.SetFolder("D:\\One\\");
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.Folder(), "D:\\One\\");
}

struct MatchCase {
  const char* name;
  const char* pattern;
  bool matches;
};

class MatchesPatternTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchesPatternTest, Matches) {
  const auto& c = GetParam();
  EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Wildcards, MatchesPatternTest,
    ::testing::Values(
        MatchCase{"movie.wav", kAudioPattern, true}, MatchCase{"MOVIE.AC3", kAudioPattern, true},
        MatchCase{"x.Ogg", kAudioPattern, true}, MatchCase{"a.ogg.wav", kAudioPattern, true},
        MatchCase{"movie.avi", kAudioPattern, false}, MatchCase{"movie.wave", kAudioPattern, false},
        MatchCase{"movie.wav.bak", kAudioPattern, false}, MatchCase{".wav", kAudioPattern, true},
        MatchCase{"wav", kAudioPattern, false}, MatchCase{"vob_0x20.sup", "*.sup", true},
        MatchCase{"vob_0x20.SUP", "*.sup", true},
        MatchCase{"a.wav", "*.ac3; *.wav", true},  // blanks around a wildcard
        MatchCase{"a.wav", ";;*.wav;", true},      // empty wildcards match nothing
        MatchCase{"a.wav", "", false}, MatchCase{"ä.wav", "?.wav", true},  // "?" is one character
        MatchCase{"日本.wav", "??.wav", true}, MatchCase{"日本.wav", "?.wav", false},
        MatchCase{"ab.wav", "?.wav", false}, MatchCase{"Café.wav", "*é.wav", true},
        MatchCase{"a.b.c", "*.*", true}));

struct KeyCase {
  const char* entry;
  const char* trackKey;
  const char* subtitleKey;
};

class KeysTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeysTest, CountCharactersNotBytes) {
  const auto& c = GetParam();
  EXPECT_EQ(TrackKey(c.entry), c.trackKey) << c.entry;
  EXPECT_EQ(SubtitleKey(c.entry), c.subtitleKey) << c.entry;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, KeysTest,
    ::testing::Values(KeyCase{"0x80 main.ac3", "0x80", "main"},
                      KeyCase{"vob_0x20.sup", "vob_", "0x20"}, KeyCase{"a.sup", "a.su", "a.su"},
                      KeyCase{"12345678", "1234", "1234"}, KeyCase{"123456789", "1234", "2345"},
                      KeyCase{"ab", "ab", "ab"}, KeyCase{"", "", ""},
                      // Two-byte characters: "Ünïc" is four characters, six bytes.
                      KeyCase{"Ünïcode.wav", "Ünïc", "code"},
                      // Three-byte characters.
                      KeyCase{"日本語のトラック.ac3", "日本語の", "トラック"},
                      KeyCase{"über_ü日.sup", "über", "r_ü日"},
                      KeyCase{"ä_日本.sup", "ä_日本", "ä_日本"}, KeyCase{"é.sup", "é.su", "é.su"},
                      // A four-byte character (outside the basic plane).
                      KeyCase{"\U0001F3B5abc.wav", "\U0001F3B5abc", "\U0001F3B5abc"}));

}  // namespace
}  // namespace quillon

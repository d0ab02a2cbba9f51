// The program's own UTF-8 text files (the job log): bytes exactly as given,
// a replacing write, appends that make a missing file, and failures that
// name the path.

#include <gtest/gtest.h>
#include <windows.h>

#include "test_support.h"
#include "winauto/handles_win.h"
#include "winauto/utf_win.h"
#include "winauto/win32_platform_win.h"

namespace quillon {
namespace {

class TextFileTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return folder_.Utf8Path() + name; }
  std::string Read(const std::string& name) const { return test::ReadFileBytes(ToWide(P(name))); }

  test::ScratchFolder folder_;
  Win32Platform platform_;
};

// Non-ASCII in the path and the text, CR LF kept, no code-page conversion
// (the ANSI writer would refuse the Cyrillic and CJK characters).
TEST_F(TextFileTest, WritesReplacesAndAppendsTheBytesAsGiven) {
  const std::string name = "Журнал 片.log";
  const std::string first = "\xEF\xBB\xBFQuillon v1.0 job on D:\\Фильм\\\r\n";
  platform_.WriteTextFile(P(name), "an earlier job's much longer log\r\n");
  platform_.WriteTextFile(P(name), first);
  EXPECT_EQ(Read(name), first) << "the earlier content must be gone, not overwritten in part";

  platform_.AppendTextFile(P(name), "[0:00.000] Text: C:\\a%b+c^d~e{f}\r\n");
  platform_.AppendTextFile(P(name), "");
  platform_.AppendTextFile(P(name), "[0:01.000] Done!\r\n");
  EXPECT_EQ(Read(name), first + "[0:00.000] Text: C:\\a%b+c^d~e{f}\r\n[0:01.000] Done!\r\n");

  platform_.AppendTextFile(P("new.log"), "made by an append\r\n");
  EXPECT_EQ(Read("new.log"), "made by an append\r\n");
}

// A reader that keeps the file open (an editor showing the log) does not
// stop the next line.
TEST_F(TextFileTest, AppendsWhileAnotherProgramReadsTheFile) {
  platform_.WriteTextFile(P("open.log"), "one\r\n");
  UniqueHandle reader(::CreateFileW(ToWide(P("open.log")).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader);
  platform_.AppendTextFile(P("open.log"), "two\r\n");
  reader.Reset();
  EXPECT_EQ(Read("open.log"), "one\r\ntwo\r\n");
}

TEST_F(TextFileTest, FailuresNameThePath) {
  const std::string missing = P("no such folder\\last-job.log");
  for (const bool append : {false, true}) {
    try {
      if (append)
        platform_.AppendTextFile(missing, "x");
      else
        platform_.WriteTextFile(missing, "x");
      ADD_FAILURE() << "writing into a missing folder succeeded";
    } catch (const JobError& error) {
      EXPECT_NE(std::string(error.what()).find("\"" + missing + "\""), std::string::npos)
          << error.what();
    }
  }
  EXPECT_EQ(::GetFileAttributesW(ToWide(P("no such folder")).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace quillon

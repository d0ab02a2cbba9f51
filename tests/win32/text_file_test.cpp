// The program's own UTF-8 text files (the job log): bytes exactly as given,
// a file replaced and held while written, and failures that name the path.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "test_support.h"

namespace quillon {
namespace {

class TextFileTest : public ::testing::Test {
 protected:
  std::string P(const std::string& name) const { return folder_.Utf8Path() + name; }
  std::string Read(const std::string& name) const {
    return test::ReadBytes(ToWide(P(name))).value_or("");
  }

  test::ScratchFolder folder_{L"text_file"};
  Win32Platform platform_;
};

// Non-ASCII in the path and the text, CR LF kept, no code-page conversion
// (the ANSI writer would refuse the Cyrillic and CJK characters).
TEST_F(TextFileTest, ReplacesTheFileAndAppendsTheBytesAsGiven) {
  const std::string name = "Журнал 片.log";
  const std::string first = "\xEF\xBB\xBFQuillon v1.0 job on D:\\Фильм\\\r\n";
  platform_.HoldTextFile(P(name))->Append("an earlier job's much longer log\r\n");
  {
    const auto log = platform_.HoldTextFile(P(name));
    ASSERT_TRUE(log);
    EXPECT_EQ(Read(name), "") << "the earlier content must be gone, not overwritten in part";
    log->Append(first);
    log->Append("[0:00.000] Text: C:\\a%b+c^d~e{f}\r\n");
    log->Append("");
    log->Append("[0:01.000] Done!\r\n");
    // On disk line by line, not when the file is let go.
    EXPECT_EQ(Read(name), first + "[0:00.000] Text: C:\\a%b+c^d~e{f}\r\n[0:01.000] Done!\r\n");
  }
}

// A reader that keeps the file open (an editor showing the log) does not
// stop the next line; a second writer (another copy's job) is turned away
// without touching the file until the first lets it go.
TEST_F(TextFileTest, ReadersShareAHeldFileAndASecondWriterIsTurnedAway) {
  auto log = platform_.HoldTextFile(P("open.log"));
  ASSERT_TRUE(log);
  log->Append("one\r\n");
  UniqueHandle reader(::CreateFileW(ToWide(P("open.log")).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(reader);
  log->Append("two\r\n");
  reader.Reset();
  EXPECT_EQ(platform_.HoldTextFile(P("open.log")), nullptr);
  EXPECT_EQ(Read("open.log"), "one\r\ntwo\r\n");
  log.reset();
  EXPECT_NE(platform_.HoldTextFile(P("open.log")), nullptr);
}

TEST_F(TextFileTest, FailuresNameThePath) {
  const std::string missing = P("no such folder\\last-job.log");
  try {
    platform_.HoldTextFile(missing);
    ADD_FAILURE() << "writing into a missing folder succeeded";
  } catch (const PlatformError& error) {
    EXPECT_NE(std::string(error.what()).find("\"" + missing + "\""), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(::GetFileAttributesW(ToWide(P("no such folder")).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace quillon

// What every stage uses from the job: its pause, running a tool and hearing
// how it ended, and noting the results it should have produced.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings_stub.h"

namespace quillon {
namespace {

using JobHelpersTest = BareJobTest;

TEST_F(JobHelpersTest, PauseWaitsAndStopsOnceTheWindowIsClosing) {
  job.Pause(3);
  EXPECT_EQ(fake.calls.back(), "WaitSeconds(3)");
  settings.closeRequested = true;
  EXPECT_THROW(job.Pause(2), JobCancelled);
  EXPECT_EQ(fake.calls.back(), "WaitSeconds(2)");
}

TEST_F(JobHelpersTest, RunToolRecordsAToolThatCannotStart) {
  job.RunTool("\"C:\\App\\tools\\UnRAR.exe\" e \"a b.rar\"", "C:\\App\\tools\\UnRAR.exe");
  EXPECT_EQ(fake.calls.back(), "ShellWait(\"C:\\App\\tools\\UnRAR.exe\" e \"a b.rar\",1)");
  EXPECT_EQ(job.Report().Problems(),
            (std::vector<std::string>{"Could not start C:\\App\\tools\\UnRAR.exe"}));

  fake.AddFile("C:\\App\\tools\\UnRAR.exe");
  job.RunTool("\"C:\\App\\tools\\UnRAR.exe\" e x", "C:\\App\\tools\\UnRAR.exe");
  EXPECT_EQ(job.Report().Problems().size(), 1u);
}

TEST_F(JobHelpersTest, RunToolEndsTheJobWhenTheToolOutlivesItsTimeLimitOrItsWaitFails) {
  const struct {
    const char* waitFailure;
    bool stillRunning;
    const char* error;
  } rows[] = {
      {"", true,
       "C:\\App\\tools\\BeSweet.exe did not finish within the time limit of 1 hour and could "
       "not be stopped."},
      {"Access is denied.", true,
       "The wait for C:\\App\\tools\\BeSweet.exe to finish failed and it could not be stopped, "
       "so it may still be running: Access is denied."},
      // Last: the time limit again for the rest of the test.
      {"", false,
       "C:\\App\\tools\\BeSweet.exe did not finish within the time limit of 1 hour and was "
       "stopped."},
  };
  for (const auto& row : rows) {
    fake.onShellWait = [&row](const std::string&, int) {
      ProcessOutcome outcome{true, false, 0};
      outcome.waitFailure = row.waitFailure;
      outcome.stillRunning = row.stillRunning;
      return outcome;
    };
    try {
      job.RunTool("\"B.exe\"", "C:\\App\\tools\\BeSweet.exe");
      ADD_FAILURE() << "no error";
    } catch (const JobError& error) {
      EXPECT_STREQ(error.what(), row.error);
    }
  }
  job.Limits().toolRunMs = 90000;
  EXPECT_THROW(
      {
        try {
          job.RunTool("\"B.exe\"", "B.exe");
        } catch (const JobError& error) {
          EXPECT_STREQ(error.what(),
                       "B.exe did not finish within the time limit of 90 seconds and was "
                       "stopped.");
          throw;
        }
      },
      JobError);
  EXPECT_TRUE(job.Report().Empty());
}

// A tool that failed after opening its output leaves an empty file: no
// result either.
TEST_F(JobHelpersTest, ExpectResultNotesMissingAndEmptyFiles) {
  fake.AddFile("D:\\Rips\\Film\\mux\\0x80.mp3", "mp3");
  fake.AddFile("D:\\Rips\\Film\\mux\\0x82.mp3", "");
  EXPECT_TRUE(job.ExpectResult("D:\\Rips\\Film\\mux\\0x80.mp3"));
  EXPECT_TRUE(job.Report().Empty());
  EXPECT_FALSE(job.ExpectResult("D:\\Rips\\Film\\mux\\0x81.mp3"));
  EXPECT_FALSE(job.ExpectResult("D:\\Rips\\Film\\mux\\0x82.mp3"));
  EXPECT_EQ(job.Report().Problems(),
            (std::vector<std::string>{"Missing result: D:\\Rips\\Film\\mux\\0x81.mp3",
                                      "Missing result: D:\\Rips\\Film\\mux\\0x82.mp3 (empty)"}));
}

}  // namespace
}  // namespace quillon

// The job log: what a whole job writes, line by line as it goes, how each
// way of ending shows in it and in the end message, and that a log which
// cannot be written changes nothing about the job.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stage_fixture.h"

namespace quillon {
namespace {

constexpr char kLocal[] = "C:\\Users\\me\\AppData\\Local";
constexpr char kLog[] = "C:\\Users\\me\\AppData\\Local\\Quillon\\last-job.log";
constexpr char kLogPlace[] =
    "\r\nThe job log is in C:\\Users\\me\\AppData\\Local\\Quillon\\last-job.log.";
constexpr char kBeSweet[] = "C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe";
constexpr char kAviMux[] = "C:\\App\\tools\\AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe";
constexpr std::uint64_t kToolMs = 1500;

class JobLogTest : public WholeJobTest {
 protected:
  JobLogTest() {
    fake.localAppDataFolder = kLocal;
    fake.AddFolder(kLocal);
    // Every console tool takes a second and a half.
    fake.onShellWait = [this, run = fake.onShellWait](const std::string& cmd, int style) {
      fake.now += kToolMs;
      if (onTool) onTool(cmd);
      return toolOutcome ? toolOutcome(cmd) : run(cmd, style);
    };
  }

  // Audio to MP3 (kept as it is when not `mp3`), subtitles only when added,
  // temporary files kept: the log ends with the job's end.
  void StartJob(bool mp3 = true) {
    ChooseSource({"1eng.ac3"});
    frm.SelectOption(mp3 ? ControlId::optAudMP3 : ControlId::optAudOrig);
    frm.SetCheck(ControlId::chkDelTemp, 0);
    fake.calls.clear();
    frm.ClickStart();
  }

  std::string Log() const { return fake.FileContent(kLog).value_or("(no log)"); }

  // The log's lines after its heading, without their time stamps; the
  // indented lines that continue one are lines of their own.
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    const std::string log = Log();
    const auto first = log.find("\r\n[");
    if (first == std::string::npos) return out;
    for (std::size_t at = first + 2; at < log.size();) {
      const auto end = log.find("\r\n", at);
      std::string line = log.substr(at, end - at);
      if (line.rfind("[", 0) == 0) line.erase(0, line.find("] ") + 2);
      out.push_back(line.substr(line.find_first_not_of(' ')));
      if (end == std::string::npos) break;
      at = end + 2;
    }
    return out;
  }

  // Takes the last job's mux folder away, so that the next job can start.
  void ClearMuxFolder() {
    for (const auto& file : fake.FilesBelow(kMux)) fake.DeleteFile(file);
    fake.RemoveFolder(kMux);
  }

  // Runs when a console tool runs, after its time has passed.
  std::function<void(const std::string& cmd)> onTool;
  // Replaces the scripted tools' outcome.
  std::function<ProcessOutcome(const std::string& cmd)> toolOutcome;
};

TEST_F(JobLogTest, ASmallJobLogsItsOptionsStepsCommandLinesOutcomesAndEnd) {
  // Written as the job goes: while the muxer runs, its line is on disk.
  std::string logWhileMuxing;
  onTool = [&](const std::string& cmd) {
    if (cmd.find(kAviMux) != std::string::npos) logWhileMuxing = Log();
  };
  StartJob();

  const std::string besweetRun = std::string("Run: \"") + kBeSweet +
                                 "\" -core( -input \"D:\\Rips\\Film\\1eng.ac3\" -output "
                                 "\"D:\\Rips\\Film\\mux\\1eng.mp3\" ) -lame( -b 128)\r\n";
  const std::string muxRun =
      std::string("Run: \"") + kAviMux + "\" \"D:\\Rips\\Film\\mux\\movie.amg\"\r\n";
  EXPECT_EQ(Log(),
            "\xEF\xBB\xBF"
            "Quillon v1.0 job on D:\\Rips\\Film\\\r\n"
            "Options: audio MP3 at 128 kbit/s, subtitles SRT muxed into the AVI, mux all, keep "
            "temporary files, no shut-down, keystroke pause 1 s, interactive\r\n"
            "[0:00.000] Step: converting the audio\r\n"
            "[0:00.000] Step: converting the audio track D:\\Rips\\Film\\1eng.ac3\r\n"
            "[0:00.000] " +
                besweetRun +
                "[0:01.500] BeSweet.exe: exit code 0 after 1500 ms\r\n"
                "[0:01.500] Step: muxing the movie\r\n"
                "[0:01.500] Step: writing the mux script D:\\Rips\\Film\\mux\\movie.amg\r\n"
                "[0:01.500] Step: muxing the movie\r\n"
                "[0:01.500] " +
                muxRun +
                "[0:03.000] AVIMux_GUI.exe: exit code 0 after 1500 ms\r\n"
                "[0:03.000] Step: waiting before the clean-up\r\n"
                "[0:03.000] Pause 1 s\r\n"
                "[0:04.000] Step: ending the job\r\n"
                "[0:04.000] Done!\r\n");
  EXPECT_EQ(logWhileMuxing.substr(logWhileMuxing.size() - muxRun.size()), muxRun);
  // "Done!" stays as it is; the log's folder was made for it.
  EXPECT_EQ(Messages(), (std::vector<std::string>{"ShowMessage(Quillon,information,Done!)"}));
  EXPECT_EQ(fake.Calls({"CreateFolder"}),
            (std::vector<std::string>{"CreateFolder(D:\\Rips\\Film\\mux\\)",
                                      "CreateFolder(C:\\Users\\me\\AppData\\Local\\Quillon)"}));
}

TEST_F(JobLogTest, TheRecognitionLogsItsProgramsWaitsClicksTextsAndKeys) {
  AddSubtitles();
  fake.AddFile(kSettingsFile, "left by an earlier run");
  StartJob(/*mp3=*/false);
  const std::vector<std::string> wanted = {
      "Step: extracting the subtitles",
      "Run: \"C:\\App\\tools\\UnRAR.exe\" e \"D:\\Rips\\Film\\movie.rar\" "
      "\"D:\\Rips\\Film\\mux\\\"",
      "UnRAR.exe: exit code 0 after 1500 ms",
      "Step: starting SubToSup",
      "Start: C:\\App\\tools\\SubToSup\\SubToSup.exe",
      "Wait: the window \"SubToSup\" to appear (at most 2 minutes)",
      "The window \"SubToSup\" appeared after 300 ms",
      "Pause 1 s",
      "Click: button 1002 of the window \"SubToSup\"",
      "Text: D:\\Rips\\Film\\mux\\movie.idx",
      "Keys: {ENTER}",
      "Wait: the window \"SubToSup 0.9 Beta\" to appear (at most 1 hour)",
      "The window \"SubToSup 0.9 Beta\" appeared after 4000 ms",
      "Keys: %{F4}",
      "Step: starting DVDSubEdit for D:\\Rips\\Film\\mux\\vob_0x20.sup",
      "Delete: C:\\Users\\me\\AppData\\Roaming\\DVDSubEdit.ini",
      "Pause 1 s",
      "Start: C:\\App\\tools\\DVDSubEdit1.34\\DVDSubEdit.exe",
      "Keys: {DOWN 3}",
      "Click: button 1053 of the window \"D:\\Rips\\Film\\mux\\vob_0x20.sup\"",
      "Wait: the window whose title begins with \"Running OCR... (based on GOCR by \" to go (at "
      "most 1 hour)",
      "The window whose title begins with \"Running OCR... (based on GOCR by \" was gone after "
      "5000 ms",
      "Text: D:\\Rips\\Film\\mux\\0x20",
      "Done!"};
  // In this order, among the rest.
  const std::vector<std::string> events = Events();
  std::size_t at = 0;
  for (const auto& line : wanted) {
    while (at < events.size() && events[at] != line) ++at;
    ASSERT_LT(at, events.size()) << "missing or out of order: " << line << "\n" << Log();
  }
}

TEST_F(JobLogTest, AToolThatCannotStartAndAMissingResultEndTheLogAndTheWarning) {
  fake.DeleteFile(kBeSweet);
  toolOutcome = [](const std::string& cmd) {
    // The muxer crashes: the system's status comes back as its exit code.
    if (cmd.find(kAviMux) != std::string::npos) return ProcessOutcome{true, true, 0xC0000005u};
    ProcessOutcome missing;
    missing.startFailure = "The system cannot find the file specified.";
    return missing;
  };
  StartJob();

  const std::vector<std::string> events = Events();
  EXPECT_EQ(std::vector<std::string>(events.begin() + 2, events.begin() + 4),
            (std::vector<std::string>{"Run: \"" + std::string(kBeSweet) +
                                          "\" -core( -input \"D:\\Rips\\Film\\1eng.ac3\" -output "
                                          "\"D:\\Rips\\Film\\mux\\1eng.mp3\" ) -lame( -b 128)",
                                      "BeSweet.exe: could not be started: The system "
                                      "cannot find the file specified."}));
  const std::string problems =
      std::string("Could not start ") + kBeSweet +
      "\r\nMissing result: D:\\Rips\\Film\\mux\\1eng.mp3\r\n" + kAviMux +
      " crashed (exception 0xC0000005)\r\nMissing result: D:\\Rips\\Film\\mux\\movie.avi\r\n"
      "The converted files and the mux script are in D:\\Rips\\Film\\mux\\ for muxing by hand.";
  const std::string log = Log();
  const std::string indent(11, ' ');
  EXPECT_NE(log.find("] AVIMux_GUI.exe: exit code 3221225477 (0xC0000005) after 1500 ms\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.substr(log.find("] Finished with problems:") + 2),
            "Finished with problems:\r\n" + indent + "Could not start " + kBeSweet + "\r\n" +
                indent + "Missing result: D:\\Rips\\Film\\mux\\1eng.mp3\r\n" + indent + kAviMux +
                " crashed (exception 0xC0000005)\r\n" + indent +
                "Missing result: D:\\Rips\\Film\\mux\\movie.avi\r\n" + indent +
                "The converted files and the mux script are in D:\\Rips\\Film\\mux\\ for "
                "muxing by hand.\r\n");
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"ShowMessage(Quillon,warning,The job finished with "
                                      "problems:\r\n" +
                                      problems + kLogPlace + ")"}));
}

// How a job that stops shows at the end of its log and in its message.
enum class StopKind {
  ToolOverItsTimeLimit,
  WaitForAToolThatFails,
  WindowThatNeverAppears,
  WindowClosedDuringAPause
};

struct Stop {
  const char* name;
  StopKind kind;
  std::vector<std::string> lastEvents;
  const char* message;  // nullptr: no message
};

class JobLogStopTest : public JobLogTest, public ::testing::WithParamInterface<Stop> {};

const Stop kStops[] = {
    {"ToolOverItsTimeLimit",
     StopKind::ToolOverItsTimeLimit,
     {"BeSweet.exe: stopped after the time limit of 10 minutes, after 600000 ms",
      "The job stopped while converting the audio track D:\\Rips\\Film\\1eng.ac3:",
      "C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe did not finish within the time limit of 10 "
      "minutes and was stopped."},
     "The job stopped while converting the audio track D:\\Rips\\Film\\1eng.ac3:\r\n"
     "C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe did not finish within the time limit of 10 "
     "minutes and was stopped."},
    {"WaitForAToolThatFails",
     StopKind::WaitForAToolThatFails,
     {"BeSweet.exe: the wait for its end failed after 1500 ms: The handle is invalid.",
      "The job stopped while converting the audio track D:\\Rips\\Film\\1eng.ac3:",
      "The wait for C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe to finish failed, so it was "
      "stopped: The handle is invalid."},
     "The job stopped while converting the audio track D:\\Rips\\Film\\1eng.ac3:\r\n"
     "The wait for C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe to finish failed, so it was "
     "stopped: The handle is invalid."},
    {"WindowThatNeverAppears",
     StopKind::WindowThatNeverAppears,
     {"Wait: the window \"SubToSup\" to appear (at most 2 minutes)",
      "The window \"SubToSup\" did not appear: gave up after 120000 ms",
      "The job stopped while starting SubToSup:",
      "The window \"SubToSup\" did not appear within 2 minutes."},
     "The job stopped while starting SubToSup:\r\n"
     "The window \"SubToSup\" did not appear within 2 minutes."},
    {"WindowClosedDuringAPause",
     StopKind::WindowClosedDuringAPause,
     {"Pause 1 s", "Cancelled: the main window was closed during the job."},
     nullptr},
};

TEST_P(JobLogStopTest, TheLogEndsWithWhatStoppedTheJob) {
  const Stop& stop = GetParam();
  switch (stop.kind) {
    case StopKind::ToolOverItsTimeLimit:
      frm.Limits().toolRunMs = 600000;
      toolOutcome = [this](const std::string&) {
        fake.now += 600000 - kToolMs;
        return ProcessOutcome{true, false, 0};
      };
      break;
    case StopKind::WaitForAToolThatFails:
      toolOutcome = [](const std::string&) {
        ProcessOutcome outcome{true, false, 0};
        outcome.waitFailure = "The handle is invalid.";
        return outcome;
      };
      break;
    case StopKind::WindowThatNeverAppears:
      script.converterShowsWindow = false;
      AddSubtitles();
      break;
    case StopKind::WindowClosedDuringAPause:
      fake.onPause = [this] { view.closeRequested = true; };
      break;
  }
  StartJob();
  // The message's own lines follow as indented lines of the log.
  const std::vector<std::string> events = Events();
  ASSERT_GE(events.size(), stop.lastEvents.size());
  EXPECT_EQ(std::vector<std::string>(events.end() - static_cast<long>(stop.lastEvents.size()),
                                     events.end()),
            stop.lastEvents)
      << Log();
  if (stop.message == nullptr) {
    EXPECT_TRUE(Messages().empty());
  } else {
    EXPECT_EQ(Messages(), (std::vector<std::string>{"ShowMessage(Quillon,error," +
                                                    std::string(stop.message) + kLogPlace + ")"}));
  }
}

INSTANTIATE_TEST_SUITE_P(Stops, JobLogStopTest, ::testing::ValuesIn(kStops),
                         [](const auto& param) { return std::string(param.param.name); });

// Whatever goes wrong with the log, the job does the same things in the same
// order; only a log that exists is named in the end message.
enum class Broken { NoLocalAppDataFolder, LocalAppDataFolderMissing, LogLocked, LinesFailLater };

class BrokenLogTest : public JobLogTest, public ::testing::WithParamInterface<Broken> {};

TEST_P(BrokenLogTest, TheJobGoesOnAsWithAWorkingLog) {
  script.avimuxWrites = false;  // a warning at the end
  StartJob();
  const auto withoutLogFolder = [](const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const auto& call : calls)
      if (call.find("\\Quillon)") == std::string::npos) out.push_back(call);
    return out;
  };
  std::vector<std::string> expected = withoutLogFolder(fake.calls);
  ClearMuxFolder();

  bool logNamed = false;
  switch (GetParam()) {
    case Broken::NoLocalAppDataFolder:
      fake.localAppDataFolder.clear();
      break;
    case Broken::LocalAppDataFolderMissing:
      fake.localAppDataFolder = "C:\\Users\\gone\\AppData\\Local";
      break;
    case Broken::LogLocked:
      // An earlier job's log that cannot be replaced is not added to either.
      fake.AddFile(kLog, "an earlier job's log\r\n");
      fake.LockFile(kLog);
      break;
    case Broken::LinesFailLater:
      onTool = [this](const std::string&) { fake.LockFile(kLog); };
      logNamed = true;
      break;
  }
  StartJob();

  if (!logNamed) {
    const auto place = expected.back().find(kLogPlace);
    ASSERT_NE(place, std::string::npos) << expected.back();
    expected.back().erase(place, std::string(kLogPlace).size());
  }
  EXPECT_EQ(withoutLogFolder(fake.calls), expected);
  if (GetParam() == Broken::LogLocked) {
    EXPECT_EQ(Log(), "an earlier job's log\r\n");
  }
  if (GetParam() == Broken::LinesFailLater) {
    const std::string log = Log();
    EXPECT_EQ(log.substr(log.rfind("] ") + 2, 12), "Run: \"C:\\App") << log;
  }
}

std::string BrokenName(const ::testing::TestParamInfo<Broken>& param) {
  static const char* const kNames[] = {"NoLocalAppDataFolder", "LocalAppDataFolderMissing",
                                       "LogLocked", "LinesFailLater"};
  return kNames[static_cast<int>(param.param)];
}

INSTANTIATE_TEST_SUITE_P(Logs, BrokenLogTest,
                         ::testing::Values(Broken::NoLocalAppDataFolder,
                                           Broken::LocalAppDataFolderMissing, Broken::LogLocked,
                                           Broken::LinesFailLater),
                         BrokenName);

TEST_F(JobLogTest, EachJobReplacesTheLogAndAJobThatDoesNotStartLeavesIt) {
  StartJob(/*mp3=*/true);
  ClearMuxFolder();
  StartJob(/*mp3=*/false);
  const std::string second = Log();
  EXPECT_EQ(second.find("BeSweet"), std::string::npos) << second;
  EXPECT_EQ(second.rfind("\xEF\xBB\xBFQuillon v1.0 job on D:\\Rips\\Film\\\r\nOptions: audio "
                         "original,",
                         0),
            0u)
      << second;

  // The mux folder is still there: this job does not start.
  fake.calls.clear();
  frm.ClickStart();
  EXPECT_EQ(Log(), second);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].find("job log"), std::string::npos) << Messages()[0];
}

// A job of another copy of the program holds the log: this job writes one
// of its own beside it, names that one, and leaves the other alone.
TEST_F(JobLogTest, AJobBesideAnotherCopysJobKeepsALogOfItsOwn) {
  const std::string running = "another copy's job, still running\r\n";
  fake.AddFile(kLog, running);
  fake.HoldFile(kLog);
  script.avimuxWrites = false;  // a warning, which names the log
  StartJob();
  const std::string own = std::string(kLocal) + "\\Quillon\\last-job-2.log";
  EXPECT_EQ(fake.FileContent(kLog), running);
  EXPECT_EQ(fake.FileContent(own).value_or("").rfind("\xEF\xBB\xBFQuillon v1.0 job on", 0), 0u);
  ASSERT_FALSE(Messages().empty());
  EXPECT_NE(Messages().back().find("The job log is in " + own + "."), std::string::npos)
      << Messages().back();
}

}  // namespace
}  // namespace quillon

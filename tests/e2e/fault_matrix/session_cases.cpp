// The program among others: a second copy running a job at the same time,
// the window closed in the middle of a job or before it, a batch run that no
// one answers, and the program installed under a folder whose name holds a
// blank ("Program Files").

#include <thread>

#include "app/control_ids.h"
#include "fault_matrix/matrix.h"
#include "support/leftover_processes.h"

namespace quillon::fault {

namespace {

using e2e::BoxIcon;

bool Logged(JobContext& context, const std::string& text) {
  return context.Log().Text().find(text) != std::string::npos;
}

// Where a job writes its log while another copy's job holds the usual one.
std::wstring SecondLogPath() {
  const std::wstring log = e2e::JobLogFile();
  return log.substr(0, log.size() - 4) + L"-2.log";
}

// Asks the running program's main window to close, once the tools' log
// shows `moment`, as a user closing it then would.
std::function<void(JobContext&)> CloseWhen(std::string moment) {
  return [moment](JobContext& context) {
    if (context.step != 0 || !Logged(context, moment)) return;
    const HWND window = context.process->FindTopLevel(e2e::kMainWindowClass, L"");
    if (window == nullptr) return;
    e2e::WindowProbe(window).Close();
    context.step = 1;
  };
}

// The second copy's job, in a folder of its own: MP3 without muxing, so
// that after its start it shows no window that could take the first copy's
// keystrokes, and its one-second pause falls among the first copy's pauses.
void RunSecondCopy(std::optional<DWORD>& code, std::string& problem) {
  try {
    e2e::TestFolder folder(L"second-copy-b");
    e2e::QuillonHarness second(folder);
    second.Install();
    second.SetToolMode(kBeSweetTool, "delay=3000");
    const e2e::SourceFolder source(folder.Path(), L"Other Film");
    Fill(source, Fixture::AudioOnly);
    const Snapshot before = TakeSnapshot(source.Path());
    const auto [exitCode, boxes] = second.RunBatch(
        e2e::BatchLine(source.PathWithoutBackslash(), L"1?128?0?0?0?0?0"), 90s, L"20000,20000");
    code = exitCode;
    if (boxes.size() != 1 || !TextMatches(boxes[0].text, L"Mux All 0"))
      problem += "the second copy did not show just its \"Mux All 0\" notice; ";
    const auto left = e2e::ListFolder(source.Path() + L"mux");
    if (left != std::vector<std::wstring>{L"0x80.mp3", L"0x81.mp3"}) {
      problem += "the second copy's mux folder holds";
      for (const auto& name : left) problem += " " + ToUtf8(name);
      problem += "; ";
    }
    for (const auto& change : SnapshotChanges(before, TakeSnapshot(source.Path()), true, {}))
      problem += "the second copy's source folder: " + change + "; ";
    if (!e2e::EndProcessesUnder(folder.Path()).empty())
      problem += "the second copy left a program running; ";
  } catch (const std::exception& error) {
    problem += std::string("the second copy could not be run: ") + error.what();
  }
}

}  // namespace

std::vector<Case> SessionCases() {
  std::vector<JobCase> jobs;
  {
    // Copy A runs a whole job with its subtitle macro and a keystroke pause
    // of one second; while A waits for a long recognition, copy B (same
    // program name, so the same named timer) starts an audio job in another
    // folder, whose pauses fall among A's. Both jobs end as asked.
    JobCase job;
    job.name = "second-copy-during-a-job";
    job.fixture = Fixture::OneStream;
    job.modes = {{kDvdSubEditTool, "delay=8000"}};
    job.limit = 150s;
    job.prepare = [](JobContext&) {
      e2e::WriteStoredPause(L"1");
      ::DeleteFileW(SecondLogPath().c_str());  // an earlier run's
    };
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.during = [](JobContext& context) {
      if (context.step != 0 || !Logged(context, "DVDSubEdit recognition shown")) return;
      context.step = 1;
      std::optional<DWORD> code;
      std::string problem;
      RunSecondCopy(code, problem);
      context.verdict.Saw("the second copy ended with exit code " +
                          (code ? std::to_string(*code) : std::string("none")));
      context.verdict.Check(code == std::optional<DWORD>(0), "the second copy did not end with 0");
      if (!problem.empty()) context.verdict.Fail(problem);
      context.verdict.Check(context.process->Running(),
                            "the first copy ended while the second one ran");
    };
    job.check = [](JobContext& context) {
      context.verdict.Check(context.step == 1, "the second copy was never started");
      const std::string avi = e2e::ReadBytes(context.Mux() + L"movie.avi").value_or("");
      context.verdict.Check(
          avi.find("subtitle " + ToUtf8(context.Mux()) + "0x20.srt") != std::string::npos,
          "the first copy's AVI lacks its subtitles:\n" + avi);
      // Each job keeps its own log: the second one, finding the first one's
      // held, writes the next name.
      const std::string first = e2e::ReadBytes(e2e::JobLogFile()).value_or("");
      context.verdict.Check(
          first.find(" job on " + ToUtf8(context.places.source) + "\r\n") != std::string::npos &&
              first.find("Batch mode: the program ends with exit code 0.") != std::string::npos,
          "the first copy's log is not whole:\n" + first);
      context.verdict.Check(
          e2e::ReadBytes(SecondLogPath()).value_or("").find("Other Film") != std::string::npos,
          "the second copy's job has no log of its own");
    };
    jobs.push_back(job);
  }
  {
    // Closed while the recognition runs: the program ends at once with code
    // 4, the editor it was driving goes too, and no script or movie is left
    // that could pass for a finished job.
    JobCase job;
    job.name = "close-during-recognition";
    job.modes = {{kDvdSubEditTool, "delay=6000"}};
    job.during = CloseWhen("DVDSubEdit recognition shown");
    job.exitCode = 4;
    job.mux = kAfterSup;
    job.check = [](JobContext& context) {
      context.verdict.Check(context.step == 1, "the window was never closed");
    };
    jobs.push_back(job);
  }
  {
    // Closed while the muxer runs: the job stops at the pause after it,
    // before the clean-up. The script and the movie are complete.
    JobCase job;
    job.name = "close-during-muxing";
    job.modes = {{kAviMuxTool, "delay=2000"}};
    job.during = CloseWhen("AVIMux_GUI script");
    job.exitCode = 4;
    job.mux = std::vector<std::wstring>{
        L"0x20.srt",  L"0x21.srt",  L"0x80.mp3",  L"0x81.mp3",       L"movie.amg",
        L"movie.avi", L"movie.idx", L"movie.sub", L"movie_0x20.sup", L"movie_0x21.sup"};
    job.check = [](JobContext& context) {
      context.verdict.Check(context.step == 1, "the window was never closed");
      const std::string script = e2e::ReadBytes(context.Mux() + L"movie.amg").value_or("");
      const std::string end = "START " + ToUtf8(context.Mux()) + "movie.avi\r\n";
      context.verdict.Check(script.size() >= end.size() &&
                                script.compare(script.size() - end.size(), end.size(), end) == 0,
                            "movie.amg is not a whole script:\n" + script);
      context.verdict.Check(!e2e::ReadBytes(context.Mux() + L"movie.avi").value_or("").empty(),
                            "movie.avi is empty");
    };
    jobs.push_back(job);
  }
  {
    // "&Mux all" is unchecked in the second before the clean-up, after a mux
    // that left the SRT files beside the AVI: they are in nothing else, so
    // they stay.
    JobCase job;
    job.name = "mux-all-unchecked-before-clean-up";
    job.settings.subMux = false;
    job.during = [](JobContext& context) {
      if (context.step != 0 || !Logged(context, "AVIMux_GUI exit")) return;
      const HWND window = context.process->FindTopLevel(e2e::kMainWindowClass, L"");
      if (window == nullptr) return;
      e2e::WindowProbe(window).Click(static_cast<int>(ControlId::chkMux));
      context.step = 1;
    };
    job.exitCode = 0;
    job.boxes = {{BoxIcon::None, L"Mux All 0"}};
    job.mux = std::vector<std::wstring>{L"0x20.srt", L"0x21.srt", L"movie.amg", L"movie.avi"};
    jobs.push_back(job);
  }
  {
    // A batch run left alone: its "Mux All 0" notice and then its error box
    // (an earlier job's mux folder) close themselves, and the program ends
    // with the error's exit code.
    JobCase job;
    job.name = "batch-boxes-close-themselves";
    job.settings.mux = false;
    job.waitLimits = L"20000,20000,1500";
    job.answerBoxes = false;
    job.limit = 30s;
    job.prepare = [](JobContext& context) { ::CreateDirectoryW(context.Mux().c_str(), nullptr); };
    job.exitCode = 3;
    job.boxes = {{BoxIcon::None, L"Mux All 0"},
                 {BoxIcon::Error,
                  L"The job was not started, because its mux folder already exists:\r\n{mux}\r\n"
                  L"Move or rename that folder, then start again."}};
    job.mux = std::vector<std::wstring>{};
    job.check = ExpectNoTool;
    jobs.push_back(job);
  }
  {
    // Closed from outside while the "Mux All 0" notice of a batch run waits:
    // the program ends at once with code 4, and its job never starts.
    JobCase job;
    job.name = "close-during-mux-all-notice";
    job.settings.mux = false;
    job.answerBoxes = false;
    job.limit = 30s;
    job.during = [](JobContext& context) {
      if (context.step != 0 || context.boxes.empty()) return;
      const HWND window = context.process->FindTopLevel(e2e::kMainWindowClass, L"");
      if (window == nullptr) return;
      e2e::WindowProbe(window).Close();
      context.step = 1;
    };
    job.exitCode = 4;
    job.boxes = {{BoxIcon::None, L"Mux All 0"}};
    job.check = [](JobContext& context) {
      context.verdict.Check(context.step == 1, "the window was never closed");
      ExpectNoTool(context);
    };
    jobs.push_back(job);
  }
  {
    // Installed under "Program Files": the two GUI tools are started by
    // their paths alone, quoted for the blank, so that they do not read
    // their own paths as two arguments. A "Program.exe" beside that folder
    // (any program of that name) must never be the one that starts.
    JobCase job;
    job.name = "installed-under-program-files";
    job.installUnder = L"Program Files\\Quillon\\";
    job.prepare = [](JobContext& context) {
      const std::wstring decoy = context.places.folder + L"Program.exe";
      if (!::CopyFileW((context.places.tools + L"UnRAR.exe").c_str(), decoy.c_str(), FALSE))
        context.verdict.Fail("could not place " + ToUtf8(decoy));
    };
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.logHas = {L"SubToSup start \"{tools}SubToSup\\SubToSup.exe\"\n",
                  L"DVDSubEdit start \"{tools}DVDSubEdit1.34\\DVDSubEdit.exe\"\n"};
    job.logLacks = {L"Program start"};
    // Wine quotes an unquoted path itself before the tool sees it; the job
    // log holds the command line as the program started it.
    job.check = [](JobContext& context) {
      const std::string log = e2e::ReadBytes(e2e::JobLogFile()).value_or("");
      for (const wchar_t* line : {L"] Start: \"{tools}SubToSup\\SubToSup.exe\"\r\n",
                                  L"] Start: \"{tools}DVDSubEdit1.34\\DVDSubEdit.exe\"\r\n"}) {
        const std::string text = ToUtf8(Expand(line, context.places));
        context.verdict.Check(log.find(text) != std::string::npos,
                              "the job log lacks \"" + text + "\"");
      }
    };
    jobs.push_back(job);
  }

  std::vector<Case> cases;
  for (auto& job : jobs) cases.push_back(Make(std::move(job)));
  return cases;
}

}  // namespace quillon::fault

// Bad input: command lines of every odd shape, folder paths that are long,
// quoted, missing, empty or outside the ANSI code page, and answers to
// "WaitFor&Key" (and a stored value) that are no number of seconds.

#include "app/control_ids.h"
#include "fault_matrix/matrix.h"

namespace quillon::fault {

namespace {

using e2e::BoxIcon;

std::wstring Refusal(const std::wstring& commandLine) {
  return L"This command line cannot be used:\r\n" + commandLine +
         L"\r\n\r\nThe command line needs nine \"?\" characters:\r\n"
         L"?folder?audio?bitrate?subtitles?muxsubs?deltemp?shutdown?muxall?\r\n"
         L"Example: ?D:\\Rips\\Film?1?192?1?1?1?0?1?\r\n\r\n"
         L"A folder name on its own, without any \"?\", opens that folder.";
}

std::wstring NotThere(const std::wstring& folder) {
  return L"The job was not started, because its source folder does not exist:\r\n" + folder;
}

// ---- the keystroke pause ----

struct PauseCase {
  std::string name;
  std::optional<std::wstring> stored;  // in the settings store before the start
  std::wstring shown;                  // what the dialog offers
  std::optional<std::wstring> answer;  // nothing: Cancel
  std::wstring refusal;                // the warning's text, "" when taken
  std::optional<std::wstring> storedAfter;
  std::wstring shownAfter;  // what the dialog offers next time
};

std::wstring NotANumber(const std::wstring& answer) {
  return L"\"" + answer +
         L"\" is not a number of seconds.\r\nPlease enter a whole number of seconds between "
         L"-2147483648 and 2147483647.";
}

std::string Shown(const std::optional<std::wstring>& text) {
  return text ? "\"" + ToUtf8(*text) + "\"" : "nothing";
}

void RunPauseCase(const PauseCase& c, e2e::QuillonHarness& quillon, Verdict& verdict) {
  quillon.Install(L"", /*withTools=*/false);
  e2e::WriteStoredPause(c.stored);
  const e2e::QuillonProcess& process = quillon.Launch(L"");
  const HWND main = process.WaitForMainWindow();
  if (main == nullptr) return verdict.Fail("no main window appeared");
  const e2e::WindowProbe window(main);
  const int wfk = static_cast<int>(ControlId::cmdWFK);

  window.Click(wfk);
  auto box = e2e::WaitForInputBox(process);
  if (!box) return verdict.Fail("\"WaitFor&Key\" showed no dialog");
  verdict.Saw("the dialog offered \"" + ToUtf8(box->text) + "\"");
  verdict.Check(box->text == c.shown, "the dialog offered \"" + ToUtf8(box->text) +
                                          "\", expected \"" + ToUtf8(c.shown) + "\"");
  verdict.Check(box->prompt.find(L"Pause between keystrokes (in seconds)") == 0,
                "the prompt is \"" + ToUtf8(box->prompt) + "\"");
  const bool answered =
      c.answer ? e2e::AnswerInputBox(box->window, *c.answer) : e2e::CancelInputBox(box->window);
  if (!answered) return verdict.Fail("the dialog did not close");
  verdict.Saw(c.answer ? "answered \"" + ToUtf8(*c.answer) + "\"" : "cancelled");

  const auto warning =
      e2e::WaitForMessageBox(process, c.refusal.empty() ? 1500ms : e2e::kDialogLimit);
  if (warning) {
    verdict.Saw(std::string(e2e::ToString(warning->icon)) + " box \"" +
                OneLine(warning->text, {quillon.Folder().Path(), L"", L""}) + "\"");
    e2e::PressDialogButton(warning->window);
  }
  if (c.refusal.empty()) {
    verdict.Check(!warning, "a message came: " + (warning ? ToUtf8(warning->text) : ""));
  } else if (!warning) {
    verdict.Fail("no message refused the answer");
  } else {
    verdict.Check(warning->icon == BoxIcon::Warning,
                  std::string("the refusal has ") + e2e::ToString(warning->icon));
    verdict.Check(TextMatches(warning->text, c.refusal),
                  "the refusal says \"" + ToUtf8(warning->text) + "\"");
  }

  const auto stored = e2e::ReadStoredPause();
  verdict.Saw("stored " + Shown(stored));
  verdict.Check(stored == c.storedAfter,
                "stored " + Shown(stored) + ", expected " + Shown(c.storedAfter));

  // The value in force shows the next time.
  window.Click(wfk);
  box = e2e::WaitForInputBox(process);
  if (!box) return verdict.Fail("\"WaitFor&Key\" showed no dialog the second time");
  verdict.Check(box->text == c.shownAfter, "the dialog then offered \"" + ToUtf8(box->text) +
                                               "\", expected \"" + ToUtf8(c.shownAfter) + "\"");
  e2e::CancelInputBox(box->window);
  window.Close();
  const auto code = process.WaitForExit(e2e::kExitLimit);
  verdict.Check(code == std::optional<DWORD>(0), "the program did not end with 0");
}

std::vector<PauseCase> PauseCases() {
  const std::wstring zero = L"0";
  return {
      {"pause-answer-empty", zero, zero, L"", L"", zero, zero},
      {"pause-answer-text", zero, zero, L"abc", NotANumber(L"abc"), zero, zero},
      {"pause-answer-1e3", zero, zero, L"1e3", NotANumber(L"1e3"), zero, zero},
      {"pause-answer-out-of-range", zero, zero, L"2147483648", NotANumber(L"2147483648"), zero,
       zero},
      {"pause-answer-negative", zero, zero, L"-2", L"", L"-2", L"-2"},
      {"pause-answer-half-to-even", zero, zero, L"2.5", L"", L"2", L"2"},
      {"pause-stored-not-a-number", L"soon", L"1", std::nullopt, L"", L"soon", L"1"},
  };
}

}  // namespace

std::vector<Case> CommandLineCases() {
  std::vector<JobCase> jobs;
  {
    JobCase job;
    job.name = "command-line-fewer-than-nine";
    job.arguments = L"?{film}?1?128?1?";
    job.exitCode = 2;
    job.boxes = {{BoxIcon::Error, Refusal(L"?{film}?1?128?1?")}};
    job.check = ExpectNoTool;
    jobs.push_back(job);
  }
  {
    // Nine "?" alone: the folder is "\", the root of the drive the program
    // was started on (the case folder's drive), and every other field keeps
    // its control. The job runs there: it finds no movie, so the muxer makes
    // none, and it leaves its mux folder at that root with the mux script kept
    // for muxing by hand, which the case then removes. Nothing of the case's
    // own folder is touched.
    JobCase job;
    job.name = "command-line-only-question-marks";
    job.arguments = L"?????????";
    job.prepare = [](JobContext& context) {
      const std::wstring rootMux = context.places.folder.substr(0, 3) + L"mux\\";
      // An empty one is an earlier run's that stopped before its clean-up.
      if (e2e::IsFolder(rootMux) && e2e::ListFolder(rootMux).empty()) RemoveTree(rootMux);
      if (e2e::IsFolder(rootMux))
        context.verdict.Fail("a folder " + ToUtf8(rootMux) + " is already there");
    };
    job.exitCode = 1;
    job.logHas = {L"AVIMux_GUI script \\mux\\movie.amg"};
    job.beforeJudging = [](JobContext& context) {
      const std::wstring rootMux = context.places.folder.substr(0, 3) + L"mux\\";
      context.verdict.Check(e2e::IsFolder(rootMux), "no mux folder at " + ToUtf8(rootMux));
      context.verdict.Check(e2e::ListFolder(rootMux) == std::vector<std::wstring>{L"movie.amg"},
                            ToUtf8(rootMux) + " holds more or less than the mux script");
      RemoveTree(rootMux);
    };
    jobs.push_back(job);
  }
  {
    // Blanks are part of a field: in the folder they are the folder's own;
    // around a switch they make it no switch, so the control keeps the
    // state the scan gave it ("Original" audio, "Convert to SRT").
    JobCase job;
    job.name = "command-line-blanks-in-fields";
    job.sourceName = L"Sample Movie";
    job.arguments = L"?{film}? 1?128?1 ?1?1?0?1?";
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.logLacks = {L"BeSweet start"};
    job.logHas = {L"SubToSup start"};
    job.check = [](JobContext& context) {
      const std::string avi = e2e::ReadBytes(context.Mux() + L"movie.avi").value_or("");
      context.verdict.Check(avi.find("audio 1 0x80 " + ToUtf8(context.places.source) +
                                     "0x80.ac3") != std::string::npos,
                            "the AVI does not hold the original audio:\n" + avi);
    };
    jobs.push_back(job);
  }
  {
    // Quotes are part of the field: no folder has that name.
    JobCase job;
    job.name = "command-line-quoted-folder";
    job.arguments = L"?\"{film}\"?1?128?1?1?1?0?1?";
    job.exitCode = 3;
    job.boxes = {{BoxIcon::Error, NotThere(L"\"{film}\"\\")}};
    job.check = ExpectNoTool;
    jobs.push_back(job);
  }
  {
    JobCase job;
    job.name = "command-line-missing-folder";
    job.arguments = L"?{folder}No Such Film?1?128?1?1?1?0?1?";
    job.exitCode = 3;
    job.boxes = {{BoxIcon::Error, NotThere(L"{folder}No Such Film\\")}};
    job.check = [](JobContext& context) {
      context.verdict.Check(!e2e::IsFolder(context.places.folder + L"No Such Film"),
                            "the missing folder was made");
      ExpectNoTool(context);
    };
    jobs.push_back(job);
  }
  {
    // An empty folder: nothing to convert, no movie for the muxer.
    JobCase job;
    job.name = "command-line-empty-folder";
    job.fixture = Fixture::Empty;
    job.exitCode = 1;
    job.mux = std::vector<std::wstring>{L"movie.amg"};
    jobs.push_back(job);
    job.name += "-interactive";
    job.launch = Launch::Interactive;
    job.exitCode.reset();
    job.boxes = {{BoxIcon::Warning, kProblems + std::wstring(L"Missing result: {mux}movie.avi") +
                                        kByHand + kLogLine}};
    jobs.push_back(job);
  }
  {
    // A source folder path of 250 characters: the job's files in mux\ would
    // pass the 259 characters the tools can open (Windows would not even
    // make the folder; Wine would, and a tool's file dialog would then fail
    // half-way). The job does not start, and says why.
    JobCase job;
    job.name = "command-line-250-character-folder";
    job.sourcePathLength = 250;
    job.exitCode = 3;
    job.boxes = {{BoxIcon::Error,
                  L"The job was not started, because the path of its mux folder is too long:\r\n"
                  L"{mux}\r\nThe tools cannot open files whose paths are longer than 259 "
                  L"characters. Move the source folder closer to the root of its drive, or give it "
                  L"a shorter name."}};
    job.check = [](JobContext& context) {
      context.verdict.Check(
          context.places.source.size() == 251,
          "the folder is " + std::to_string(context.places.source.size() - 1) + " characters long");
      ExpectNoTool(context);
    };
    jobs.push_back(job);
  }
  {
    // A folder name outside the ANSI code page: the command-line tools get
    // it in full (their command lines are Unicode), but the subtitle tools
    // are typed into, and their windows show only that code page; the mux
    // script is written in it too. So the job stops before the subtitle
    // tools start, when the code page cannot hold the name.
    JobCase job;
    job.name = "command-line-folder-outside-code-page";
    job.sourceName = L"Film \u7247";
    const UINT codePage = ::GetACP();
    job.logHas = {L"UnRAR wrote {mux}movie.sub"};
    if (codePage == CP_UTF8) {
      job.exitCode = 0;
      job.mux = kAviOnly;
      job.logHas.push_back(L"DVDSubEdit typed {mux}movie_0x21.sup");
    } else {
      job.exitCode = 3;
      job.boxes = {{BoxIcon::Error,
                    StoppedWhile(L"checking the path {mux} for the subtitle tools",
                                 L"The subtitle tools cannot be given the folder {mux}, because "
                                 L"its path has characters that the system's code page cannot "
                                 L"represent. Move the movie folder to a path without them.")}};
      job.mux = std::vector<std::wstring>{L"movie.idx", L"movie.sub"};
      job.logLacks = {L"SubToSup start", L"BeSweet start", L"AVIMux_GUI start"};
    }
    jobs.push_back(job);
  }

  std::vector<Case> cases;
  for (auto& job : jobs) cases.push_back(Make(std::move(job)));
  for (auto& c : PauseCases())
    cases.push_back(Case{c.name, [c](e2e::QuillonHarness& quillon, Verdict& verdict) {
                           RunPauseCase(c, quillon, verdict);
                         }});
  return cases;
}

}  // namespace quillon::fault

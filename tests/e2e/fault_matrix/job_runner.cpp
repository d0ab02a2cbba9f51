// One job case from start to judgement: a fresh folder with the program and
// the stand-in tools, a source folder, the run, and everything the user and
// the disk show afterwards.

#include <stdexcept>
#include <thread>

#include "app/control_ids.h"
#include "fault_matrix/matrix.h"
#include "support/leftover_processes.h"

namespace quillon::fault {

using e2e::BoxIcon;
using e2e::WindowProbe;
using enum ControlId;

void ExpectNoTool(JobContext& context) {
  const auto log = context.Log();
  context.verdict.Check(log.Events().empty(), "a tool was started:\n" + log.Text());
}

namespace {

constexpr int Id(ControlId id) {
  return static_cast<int>(id);
}

std::string Describe(BoxIcon icon) {
  return icon == BoxIcon::None ? "box" : std::string(e2e::ToString(icon)) + " box";
}

std::string Names(const std::vector<std::wstring>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + ToUtf8(name);
  return "{" + text + "}";
}

// Whatever happens in a case, nothing it set up outlives it: files held open
// are let go, unwritable folders become writable again (so that they can be
// removed) and no program of the case keeps running.
class CaseGuard {
 public:
  explicit CaseGuard(JobContext& context) : context_(context) {}
  CaseGuard(const CaseGuard&) = delete;
  CaseGuard& operator=(const CaseGuard&) = delete;
  ~CaseGuard() { ReleaseAll(); }

  void ReleaseAll() {
    for (auto& held : context_.held) held.Release();
    context_.held.clear();
    for (const auto& path : context_.unwritable) SetUnwritable(path, false);
    context_.unwritable.clear();
    if (context_.process && context_.process->Running()) context_.process->Kill();
    e2e::EndProcessesUnder(context_.places.folder);
  }

 private:
  JobContext& context_;
};

// Looks for a message box of the program; records it and presses OK.
bool TakeBox(JobContext& context) {
  auto box = e2e::MessageBoxNow(*context.process);
  if (!box) return false;
  context.boxes.push_back(*box);
  e2e::PressDialogButton(box->window);
  return true;
}

std::optional<DWORD> RunBatch(JobContext& context) {
  return e2e::RunToExit(
      *context.process, context.job.limit, context.boxes,
      [&] {
        if (context.job.during) context.job.during(context);
      },
      context.job.answerBoxes);
}

bool WaitForCheck(const WindowProbe& window, ControlId id, int value) {
  return e2e::WaitUntil(e2e::kDialogLimit, [&] { return window.ItemCheck(Id(id)) == value; });
}

// Sets the options the way a user would, after the folder scan chose its
// defaults ("Original" audio, "Convert to SRT", everything else checked).
bool ClickSettings(JobContext& context, const WindowProbe& window) {
  const Settings& s = context.job.settings;
  const auto click = [&](ControlId id, int wanted) {
    window.Click(Id(id));
    return WaitForCheck(window, id, wanted);
  };
  if (s.mp3 && !click(optAudMP3, 1)) return false;
  if (!s.srt && !click(optSubOrig, 1)) return false;
  if (s.srt && !s.subMux && !click(chkSubMux, 0)) return false;
  if (!s.delTemp && !click(chkDelTemp, 0)) return false;
  if (!s.mux) {
    window.Click(Id(chkMux));
    // Its notice comes up before the box shows the change.
    if (!e2e::WaitUntil(e2e::kDialogLimit, [&] { return TakeBox(context); })) return false;
    if (!WaitForCheck(window, chkMux, 0)) return false;
  }
  return true;
}

std::optional<DWORD> RunInteractive(JobContext& context) {
  e2e::QuillonProcess& process = *context.process;
  const HWND handle = process.WaitForMainWindow();
  if (handle == nullptr) {
    context.verdict.Fail("no main window appeared");
    return std::nullopt;
  }
  const WindowProbe window(handle);
  if (!e2e::WaitUntil(e2e::kDialogLimit, [&] { return window.ItemEnabled(Id(cmdStart)); })) {
    context.verdict.Fail("opening the folder did not enable Start");
    return std::nullopt;
  }
  if (!ClickSettings(context, window)) {
    context.verdict.Fail("the options could not be set");
    return std::nullopt;
  }
  if (context.job.beforeStart) context.job.beforeStart(context);
  window.Click(Id(cmdStart));

  // The job ends with a box that carries an icon ("Done!", a warning or an
  // error); the "Mux All" notice has none.
  const auto end = std::chrono::steady_clock::now() + context.job.limit;
  bool ended = false;
  while (!ended && std::chrono::steady_clock::now() < end) {
    if (!process.Running()) break;
    if (context.job.during) context.job.during(context);
    if (TakeBox(context)) ended = context.boxes.back().icon != BoxIcon::None;
    std::this_thread::sleep_for(40ms);
  }
  if (!ended) {
    context.verdict.Fail("the job showed no closing message");
    return process.WaitForExit(0ms);
  }
  window.Close();
  return process.WaitForExit(e2e::kExitLimit);
}

void Judge(JobContext& context, const std::optional<DWORD>& code, const Snapshot& before,
           bool muxExisted) {
  const JobCase& job = context.job;
  Verdict& verdict = context.verdict;

  // What the user saw.
  for (const auto& box : context.boxes)
    verdict.Saw(Describe(box.icon) + " \"" + OneLine(box.text, context.places) + "\"");
  if (context.boxes.empty()) verdict.Saw("no message");
  if (code)
    verdict.Saw("exit code " + std::to_string(*code));
  else
    verdict.Fail("the program did not end");

  // An interactive run ends by closing the idle window: code 0.
  const bool codeWanted = job.exitCode.has_value() || job.launch == Launch::Interactive;
  const DWORD wantedCode = job.exitCode.value_or(0);
  if (codeWanted && code)
    verdict.Check(*code == wantedCode, "exit code " + std::to_string(*code) + ", expected " +
                                           std::to_string(wantedCode));

  verdict.Check(context.boxes.size() == job.boxes.size(), std::to_string(context.boxes.size()) +
                                                              " message boxes, expected " +
                                                              std::to_string(job.boxes.size()));
  for (size_t i = 0; i < std::min(context.boxes.size(), job.boxes.size()); ++i) {
    const auto& seen = context.boxes[i];
    const auto& wanted = job.boxes[i];
    const std::wstring text = Expand(wanted.text, context.places);
    verdict.Check(seen.icon == wanted.icon, "box " + std::to_string(i + 1) + " has " +
                                                e2e::ToString(seen.icon) + ", expected " +
                                                e2e::ToString(wanted.icon));
    verdict.Check(TextMatches(seen.text, text),
                  "box " + std::to_string(i + 1) + " says \"" + OneLine(seen.text, context.places) +
                      "\", expected \"" + OneLine(text, context.places) + "\"");
  }

  const std::wstring mux = context.Mux();
  if (!job.checkMux) {
  } else if (job.mux) {
    const auto names = e2e::ListFolder(mux);
    if (!e2e::IsFolder(mux))
      verdict.Fail("no mux folder, expected " + Names(*job.mux));
    else
      verdict.Check(names == *job.mux,
                    "mux folder holds " + Names(names) + ", expected " + Names(*job.mux));
  } else {
    verdict.Check(!e2e::IsFolder(mux), "a mux folder is left holding " +
                                           Names(e2e::ListFolder(mux)) + ", expected none");
  }

  if (job.checkSource) {
    const auto after = TakeSnapshot(context.places.source);
    for (const auto& change : SnapshotChanges(before, after, !muxExisted, job.newInSource))
      verdict.Fail("source folder: " + change);
  }

  const std::string log = context.Log().Text();
  for (const auto& wanted : job.logHas) {
    const std::string text = ToUtf8(Expand(wanted, context.places));
    verdict.Check(log.find(text) != std::string::npos, "the tools' log lacks \"" + text + "\"");
  }
  for (const auto& unwanted : job.logLacks) {
    const std::string text = ToUtf8(Expand(unwanted, context.places));
    verdict.Check(log.find(text) == std::string::npos, "the tools' log holds \"" + text + "\"");
  }
  if (job.check) job.check(context);
  if (!verdict.Passed()) {
    const e2e::StandinLog events = context.Log();
    for (const auto& event : events.Events())
      verdict.Note(event.tool + " " + event.event + " " + event.detail);
    // The program's own account of the job, when it is this case's.
    if (const auto jobLog = e2e::ReadBytes(e2e::JobLogFile()))
      if (jobLog->find(ToUtf8(context.places.folder)) != std::string::npos)
        verdict.Note("job log:\n" + *jobLog);
  }
}

}  // namespace

void RunJob(const JobCase& job, e2e::QuillonHarness& quillon, Verdict& verdict) {
  const e2e::TestFolder& folder = quillon.Folder();
  JobContext context{job, quillon, {}, nullptr, {}, {}, {}, 0, verdict};
  CaseGuard guard(context);
  context.places.folder = folder.Path();
  quillon.Install(job.installUnder);
  for (Tool tool : job.missing) quillon.RemoveTool(tool);
  for (const auto& [tool, mode] : job.modes) quillon.SetToolMode(tool, mode);
  context.places.tools = quillon.Tools();

  // The source folder, maybe below folders of its own.
  std::wstring sourceName = job.sourceName;
  if (job.sourcePathLength > 0) {
    // Folders of 100 characters at most, then the movie's folder itself.
    const size_t base = folder.Path().size();
    if (base + 8 > job.sourcePathLength) throw std::runtime_error("the case folder is too long");
    std::wstring name;
    size_t length = base;
    while (job.sourcePathLength - length > 110) {
      name += std::wstring(100, L'x') + L"\\";
      length += 101;
    }
    name += L"Film" + std::wstring(job.sourcePathLength - length - 4, L'm');
    sourceName = name;
  }
  const size_t split = sourceName.find_last_of(L'\\');
  const std::wstring parent =
      split == std::wstring::npos ? folder.Path() : folder.MakeFolder(sourceName.substr(0, split));
  const e2e::SourceFolder source(
      parent, split == std::wstring::npos ? sourceName : sourceName.substr(split + 1));
  Fill(source, job.fixture);
  context.places.source = source.Path();
  if (job.prepare) job.prepare(context);

  const Snapshot before = TakeSnapshot(source.Path());
  const bool muxExisted = e2e::IsFolder(context.Mux());
  if (job.beforeLaunch) job.beforeLaunch(context);

  std::wstring arguments;
  if (!job.arguments.empty())
    arguments = Expand(job.arguments, context.places);
  else if (job.launch == Launch::Batch)
    arguments = e2e::BatchLine(source.PathWithoutBackslash(), BatchFields(job.settings));
  else
    arguments = L"\"" + source.PathWithoutBackslash() + L"\"";
  context.process = &quillon.Launch(arguments, job.waitLimits);

  const std::optional<DWORD> code =
      job.launch == Launch::Batch ? RunBatch(context) : RunInteractive(context);

  // The tools a job started end with it; those that close themselves get a
  // moment to do so.
  const auto left = e2e::EndLeftoversAfterJob(context.places.tools, folder.Path(), 3s);
  if (!left.empty()) {
    std::vector<std::wstring> names;
    for (const auto& path : left) names.push_back(path.substr(path.find_last_of(L'\\') + 1));
    verdict.Fail("still running after the job: " + Names(names));
  }
  if (job.beforeJudging) job.beforeJudging(context);
  guard.ReleaseAll();
  Judge(context, code, before, muxExisted);
}

Case Make(JobCase job) {
  std::string name = job.name;
  return Case{name, [job = std::move(job)](e2e::QuillonHarness& quillon, Verdict& verdict) {
                RunJob(job, quillon, verdict);
              }};
}

}  // namespace quillon::fault

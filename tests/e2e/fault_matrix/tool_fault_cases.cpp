// Each outside tool missing, failing, hanging, crashing, showing the wrong
// window or writing half its output, in a full job: subtitles to SRT muxed
// into the AVI, audio to MP3, clean-up on ("?<folder>?1?128?1?1?1?0?1?").

#include "fault_matrix/matrix.h"

namespace quillon::fault {

namespace {

using e2e::BoxIcon;

JobCase Job(std::string name) {
  JobCase job;
  job.name = std::move(name);
  return job;
}

JobCase Missing(std::string name, Tool tool) {
  JobCase job = Job(std::move(name));
  job.missing = {tool};
  return job;
}

JobCase Moded(std::string name, Tool tool, std::string mode) {
  JobCase job = Job(std::move(name));
  job.modes = {{tool, std::move(mode)}};
  return job;
}

JobCase Interactive(JobCase job) {
  job.name += "-interactive";
  job.launch = Launch::Interactive;
  job.exitCode.reset();
  return job;
}

ExpectedBox Error(std::wstring text) {
  return {BoxIcon::Error, std::move(text)};
}
ExpectedBox Warning(std::wstring lines) {
  return {BoxIcon::Warning, kProblems + std::move(lines) + kLogLine};
}

// The messages of a job that stopped.
const std::wstring kStartingSubToSup = L"starting SubToSup";
const std::wstring kStartingEditor = L"starting DVDSubEdit for {mux}movie_0x20.sup";
const std::wstring kSubToSupNeverShowed =
    L"The window \"SubToSup\" did not appear within 5 seconds.";
const std::wstring kEditorNeverShowed =
    L"The window whose title begins with \"DVDSubEdit -- Version 1.34 By \" did not appear within "
    L"5 seconds.";
const std::wstring kNotFinished =
    L" did not finish within the time limit of 4 seconds and was "
    L"stopped.";

// What the muxer misses when BeSweet made nothing, and the AVI it then
// cannot make: what is left of the work is kept for muxing by hand.
const std::wstring kNoMp3NoAvi =
    L"Missing result: {mux}0x80.mp3\r\nMissing result: {mux}0x81.mp3\r\n"
    L"Missing result: {mux}movie.avi" +
    std::wstring(kByHand);

}  // namespace

std::vector<Case> ToolFaultCases() {
  std::vector<JobCase> jobs;

  // ---- a tool that is not there ----
  {
    // UnRAR's start failure is passed over: the recognition works from the
    // copied index, so only the tool itself is reported.
    JobCase job = Missing("unrar-missing", kUnRarTool);
    job.exitCode = 1;
    job.mux = kAviOnly;
    job.logLacks = {L"UnRAR start"};
    job.logHas = {L"DVDSubEdit wrote {mux}0x21.srt"};
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {Warning(L"Could not start {tools}UnRAR.exe")};
    jobs.push_back(job);
  }
  {
    JobCase job = Missing("subtosup-missing", kSubToSupTool);
    job.exitCode = 3;
    job.boxes = {
        Error(StoppedWhile(kStartingSubToSup, L"Could not start {tools}SubToSup\\SubToSup.exe."))};
    job.mux = kAfterExtract;
    job.logLacks = {L"BeSweet start", L"AVIMux_GUI start"};
    jobs.push_back(job);
  }
  {
    JobCase job = Missing("dvdsubedit-missing", kDvdSubEditTool);
    job.exitCode = 3;
    job.boxes = {Error(
        StoppedWhile(kStartingEditor, L"Could not start {tools}DVDSubEdit1.34\\DVDSubEdit.exe."))};
    job.mux = kAfterSup;
    job.logLacks = {L"BeSweet start"};
    jobs.push_back(job);
  }
  {
    // Without BeSweet the muxer is given MP3 files that do not exist and
    // makes no AVI; the rest of the work is kept, since it is in no AVI.
    JobCase job = Missing("besweet-missing", kBeSweetTool);
    job.exitCode = 1;
    job.mux = kNoMp3ForMuxingByHand;
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {Warning(L"Could not start {tools}BeSweetv1.5b31\\BeSweet.exe\r\n" + kNoMp3NoAvi)};
    jobs.push_back(job);
  }
  {
    JobCase job = Missing("avimux-missing", kAviMuxTool);
    job.exitCode = 1;
    job.mux = kForMuxingByHand;
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {
        Warning(L"Could not start {tools}AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe\r\nMissing result: "
                L"{mux}movie.avi" +
                std::wstring(kByHand))};
    jobs.push_back(job);
  }

  // ---- a tool that fails at once, writing nothing ----
  {
    // The extractor says so only through its exit code.
    JobCase job = Moded("unrar-fail", kUnRarTool, "fail");
    job.exitCode = 1;
    job.mux = kAviOnly;
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {Warning(L"{tools}UnRAR.exe ended with exit code 2")};
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("subtosup-fail", kSubToSupTool, "fail");
    job.waitLimits = kShortAppear;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(kStartingSubToSup, kSubToSupNeverShowed))};
    job.mux = kAfterExtract;
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("dvdsubedit-fail", kDvdSubEditTool, "fail");
    job.waitLimits = kShortAppear;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(kStartingEditor, kEditorNeverShowed))};
    job.mux = kAfterSup;
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("besweet-fail", kBeSweetTool, "fail");
    job.exitCode = 1;
    job.mux = kNoMp3ForMuxingByHand;
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {Warning(kNoMp3NoAvi)};
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("avimux-fail", kAviMuxTool, "fail");
    job.exitCode = 1;
    job.mux = kForMuxingByHand;
    jobs.push_back(job);
  }

  // ---- a tool that never ends: the time limit ends the job and the tool ----
  {
    JobCase job = Moded("unrar-hang", kUnRarTool, "hang");
    job.waitLimits = kShortRun;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(L"unpacking {source}subtitles\\movie.rar",
                                    L"{tools}UnRAR.exe" + kNotFinished))};
    // The index is copied only after the archive is unpacked.
    job.mux = std::vector<std::wstring>{};
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("subtosup-hang", kSubToSupTool, "hang");
    job.waitLimits = kShortRun;
    job.exitCode = 3;
    job.boxes = {
        Error(StoppedWhile(L"waiting for SubToSup to convert the subtitles",
                           L"The window \"SubToSup 0.9 Beta\" did not appear within 4 seconds."))};
    job.mux = kAfterExtract;
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("dvdsubedit-hang", kDvdSubEditTool, "hang");
    job.waitLimits = kShortRun;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(
        L"recognising the text of {mux}movie_0x20.sup in DVDSubEdit",
        L"The window whose title begins with \"Running OCR... (based on GOCR by \" was still open "
        L"after 4 seconds."))};
    job.mux = kAfterSup;
    // The job waited for the recognition it had started, not past it.
    job.logLacks = {L"DVDSubEdit click 1056"};
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("besweet-hang", kBeSweetTool, "hang");
    job.waitLimits = kShortRun;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(L"converting the audio track {source}0x80.ac3",
                                    L"{tools}BeSweetv1.5b31\\BeSweet.exe" + kNotFinished))};
    job.mux = kAfterOcr;
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("avimux-hang", kAviMuxTool, "hang");
    job.waitLimits = kShortRun;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(L"muxing the movie",
                                    L"{tools}AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe" + kNotFinished))};
    job.mux = std::vector<std::wstring>{L"0x20.srt",  L"0x21.srt",       L"0x80.mp3",
                                        L"0x81.mp3",  L"movie.amg",      L"movie.idx",
                                        L"movie.sub", L"movie_0x20.sup", L"movie_0x21.sup"};
    jobs.push_back(job);
  }

  // ---- a tool that crashes ----
  {
    JobCase job = Moded("besweet-crash", kBeSweetTool, "crash");
    job.exitCode = 1;
    job.mux = kNoMp3ForMuxingByHand;
    jobs.push_back(job);
  }
  {
    // With no AVI the converted files and the script stay, for muxing by
    // hand, and the warning says where.
    JobCase job = Moded("avimux-crash", kAviMuxTool, "crash");
    job.exitCode = 1;
    job.mux = kForMuxingByHand;
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {
        Warning(L"{tools}AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe crashed (exception "
                L"0xC0000005)\r\nMissing result: {mux}movie.avi" +
                std::wstring(kByHand))};
    jobs.push_back(job);
  }
  {
    // The cut MP3 files are there and are muxed, but only the crash tells
    // that they are not whole.
    JobCase job = Moded("besweet-partialcrash", kBeSweetTool, "partialcrash");
    job.exitCode = 1;
    job.mux = kAviOnly;
    job.logHas = {L"BeSweet wrote {mux}0x81.mp3", L"BeSweet crash"};
    jobs.push_back(job);
    job = Interactive(job);
    job.boxes = {Warning(L"{tools}BeSweetv1.5b31\\BeSweet.exe crashed (exception 0xC0000005)")};
    jobs.push_back(job);
  }

  // ---- a GUI tool whose window has another title ----
  {
    JobCase job = Moded("subtosup-wrongwindow", kSubToSupTool, "wrongwindow");
    job.waitLimits = kShortAppear;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(kStartingSubToSup, kSubToSupNeverShowed))};
    job.mux = kAfterExtract;
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("dvdsubedit-wrongwindow", kDvdSubEditTool, "wrongwindow");
    job.waitLimits = kShortAppear;
    job.exitCode = 3;
    job.boxes = {Error(StoppedWhile(kStartingEditor, kEditorNeverShowed))};
    job.mux = kAfterSup;
    jobs.push_back(job);
  }
  {
    // The muxer is waited for by its process, never by its window.
    JobCase job = Moded("avimux-wrongwindow", kAviMuxTool, "wrongwindow");
    job.exitCode = 0;
    job.mux = kAviOnly;
    jobs.push_back(job);
  }

  // ---- a tool that writes half its output and says it succeeded ----
  // Nothing tells the program: the files exist and the tools end with 0. The
  // job goes on with what it was given, which the AVI shows.
  {
    JobCase job = Moded("unrar-partial", kUnRarTool, "partial");
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.logHas = {L"UnRAR wrote {mux}movie.sub (cut short)"};
    jobs.push_back(job);
  }
  {
    JobCase job = Moded("besweet-partial", kBeSweetTool, "partial");
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.check = [](JobContext& context) {
      const auto avi = e2e::ReadBytes(context.Mux() + L"movie.avi").value_or("");
      context.verdict.Check(
          avi.find("audio 2 0x81 " + ToUtf8(context.Mux()) + "0x81.mp3") != std::string::npos,
          "the AVI lacks the cut MP3 track: " + avi);
    };
    jobs.push_back(job);
  }

  std::vector<Case> cases;
  for (auto& job : jobs) cases.push_back(Make(std::move(job)));
  return cases;
}

}  // namespace quillon::fault

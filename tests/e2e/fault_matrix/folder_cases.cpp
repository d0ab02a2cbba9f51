// The source folder and the mux folder in the way: a mux folder already
// there, a folder or a file that cannot be written, a file another program
// holds open, a folder removed before Start, and the outcome of the
// clean-up for each combination of "&Mux all", "Convert to SRT" and "Mux
// into AVI".

#include "fault_matrix/matrix.h"

namespace quillon::fault {

namespace {

using e2e::BoxIcon;

const ExpectedBox kMuxAllOff{BoxIcon::None, L"Mux All 0"};

// Everything a full job leaves before its mux step.
const std::vector<std::wstring> kBeforeMux = {L"0x20.srt",       L"0x21.srt",      L"0x80.mp3",
                                              L"0x81.mp3",       L"movie.idx",     L"movie.sub",
                                              L"movie_0x20.sup", L"movie_0x21.sup"};

void MakeUnwritable(JobContext& context, const std::wstring& path) {
  if (!SetUnwritable(path, true)) {
    context.verdict.Fail("could not make " + ToUtf8(path) + " unwritable here");
    return;
  }
  context.unwritable.push_back(path);
}

std::string Avi(JobContext& context) {
  return e2e::ReadBytes(context.Mux() + L"movie.avi").value_or("");
}

}  // namespace

std::vector<Case> FolderCases() {
  std::vector<JobCase> jobs;

  {
    // An earlier job's results are not mixed with a new job's, nor deleted.
    JobCase job;
    job.name = "mux-folder-present";
    job.prepare = [](JobContext& context) {
      ::CreateDirectoryW(context.Mux().c_str(), nullptr);
      e2e::WriteBytes(context.Mux() + L"movie.avi", "an earlier job's movie\r\n");
      e2e::WriteBytes(context.Mux() + L"notes.txt", "the user's notes\r\n");
    };
    job.exitCode = 3;
    job.boxes = {{BoxIcon::Error,
                  L"The job was not started, because its mux folder already exists:\r\n{mux}\r\n"
                  L"Move or rename that folder, then start again."}};
    job.mux = std::vector<std::wstring>{L"movie.avi", L"notes.txt"};
    job.check = ExpectNoTool;
    jobs.push_back(job);
  }
  {
    // Wine ignores the read-only attribute for the administrator, so the
    // folder is made immutable on the Linux side: nothing can be created in
    // it, not even by root. The job cannot make its mux folder.
    JobCase job;
    job.name = "source-folder-unwritable";
    job.beforeLaunch = [](JobContext& context) { MakeUnwritable(context, context.places.source); };
    job.exitCode = 3;
    job.boxes = {{BoxIcon::Error,
                  L"The job was not started, because its mux folder could not be created:\r\n"
                  L"{mux}\r\nCould not create the folder \"{mux}\": {*}"}};
    job.check = ExpectNoTool;
    jobs.push_back(job);
  }
  {
    // Every file of the source folder immutable, the folder itself not: a
    // job that muxes reads them and writes nothing beside them.
    JobCase job;
    job.name = "source-files-unwritable";
    job.beforeLaunch = [](JobContext& context) {
      for (const wchar_t* name : {L"movie.avi", L"0x80.ac3", L"0x81.ac3", L"subtitles"})
        MakeUnwritable(context, context.places.source + name);
    };
    job.exitCode = 0;
    job.mux = kAviOnly;
    jobs.push_back(job);
  }
  {
    // Without muxing the SRT files are saved beside the movie, where the
    // user already has an 0x20.srt that cannot be written: the job stops
    // there, the user's file stays, and the recognised files stay in mux\.
    JobCase job;
    job.name = "srt-target-unwritable";
    job.settings.mux = false;
    job.prepare = [](JobContext& context) {
      e2e::WriteBytes(context.places.source + L"0x20.srt", "the user's own subtitles\r\n");
    };
    job.beforeLaunch = [](JobContext& context) {
      MakeUnwritable(context, context.places.source + L"0x20.srt");
    };
    job.exitCode = 3;
    job.boxes = {kMuxAllOff,
                 {BoxIcon::Error,
                  StoppedWhile(L"copying the subtitle files",
                               L"Could not copy \"{mux}0x20.srt\" to \"{source}0x20.srt\": {*}")}};
    job.mux = kBeforeMux;
    jobs.push_back(job);
  }
  {
    // The same with a file another program holds open: 0x20.srt is saved,
    // 0x21.srt cannot be, and the held file keeps its content.
    JobCase job;
    job.name = "srt-target-locked";
    job.settings.mux = false;
    job.prepare = [](JobContext& context) {
      e2e::WriteBytes(context.places.source + L"0x21.srt", "the user's own subtitles\r\n");
    };
    job.beforeLaunch = [](JobContext& context) {
      context.held.emplace_back(context.places.source + L"0x21.srt");
    };
    job.exitCode = 3;
    job.boxes = {kMuxAllOff,
                 {BoxIcon::Error,
                  StoppedWhile(L"copying the subtitle files",
                               L"Could not copy \"{mux}0x21.srt\" to \"{source}0x21.srt\": {*}")}};
    job.mux = kBeforeMux;
    job.newInSource = {L"0x20.srt"};
    jobs.push_back(job);
  }
  {
    // Another program holds mux\movie.amg open from the moment the mux
    // folder exists: the script cannot be written, the muxer is not started,
    // and what is there is not a script that looks finished.
    JobCase job;
    job.name = "mux-script-locked";
    job.during = [](JobContext& context) {
      if (context.step == 0 && e2e::IsFolder(context.Mux())) {
        context.held.emplace_back(context.Mux() + L"movie.amg");
        context.step = 1;
      }
    };
    job.exitCode = 3;
    job.boxes = {{BoxIcon::Error, StoppedWhile(L"writing the mux script {mux}movie.amg",
                                               L"Could not write \"{mux}movie.amg\": {*}")}};
    std::vector<std::wstring> left = kBeforeMux;
    left.insert(left.begin() + 4, L"movie.amg");
    job.mux = left;
    job.logLacks = {L"AVIMux_GUI start"};
    job.check = [](JobContext& context) {
      context.verdict.Check(e2e::ReadBytes(context.Mux() + L"movie.amg") == std::string(),
                            "movie.amg was written although another program held it");
    };
    jobs.push_back(job);
  }
  {
    // The folder goes between the scan and Start.
    JobCase job;
    job.name = "source-folder-removed-before-start";
    job.launch = Launch::Interactive;
    job.settings.mp3 = false;
    job.beforeStart = [](JobContext& context) { RemoveTree(context.places.source); };
    job.checkSource = false;
    job.boxes = {{BoxIcon::Error,
                  L"The job was not started, because its source folder does not exist:\r\n"
                  L"{source}"}};
    job.check = [](JobContext& context) {
      context.verdict.Check(!e2e::IsFolder(context.places.source),
                            "the removed folder was made again");
      ExpectNoTool(context);
    };
    jobs.push_back(job);
  }

  {
    // Files copied off a disc are read-only, and a copy keeps that: the
    // job's own copy of the index goes all the same, and the source's files
    // keep their attribute.
    JobCase job;
    job.name = "subtitles-read-only";
    job.beforeLaunch = [](JobContext& context) {
      for (const wchar_t* name : {L"subtitles\\movie.idx", L"subtitles\\movie.rar"}) {
        const std::wstring path = context.places.source + name;
        if (!::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY))
          context.verdict.Fail("could not make " + ToUtf8(path) + " read-only");
      }
    };
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.check = [](JobContext& context) {
      for (const wchar_t* name : {L"subtitles\\movie.idx", L"subtitles\\movie.rar"}) {
        const std::wstring path = context.places.source + name;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        context.verdict.Check(
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0,
            ToUtf8(path) + " is no longer read-only");
      }
    };
    jobs.push_back(job);
  }
  {
    // The archive holds an index of its own, of one stream: UnRAR unpacks
    // into a mux folder that holds nothing it would ask about, and the
    // folder's index of two streams replaces the archive's.
    JobCase job;
    job.name = "archive-holds-index";
    job.prepare = [](JobContext& context) {
      e2e::WriteBytes(context.places.source + L"subtitles\\movie.rar",
                      e2e::TestRarArchive({{"movie.idx", e2e::VobSubIndex({"fr"})},
                                           {"movie.sub", "VobSub bitmaps\r\n"}}));
    };
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.logHas = {L"UnRAR wrote {mux}movie.idx", L"SubToSup wrote {mux}movie_0x21.sup"};
    job.logLacks = {L"UnRAR asked"};
    jobs.push_back(job);
  }

  // ---- where the SRT files end up, "Delete temporary files" on ----
  {
    JobCase job;
    job.name = "outcome-mux-srt-into-avi";
    job.exitCode = 0;
    job.mux = kAviOnly;
    job.check = [](JobContext& context) {
      const std::string avi = Avi(context);
      for (const char* key : {"0x20", "0x21"})
        context.verdict.Check(
            avi.find("subtitle " + ToUtf8(context.Mux()) + key + ".srt") != std::string::npos,
            std::string("the AVI lacks the subtitles ") + key + ":\n" + avi);
    };
    jobs.push_back(job);
  }
  {
    JobCase job;
    job.name = "outcome-mux-srt-beside-avi";
    job.settings.subMux = false;
    job.exitCode = 0;
    job.mux = std::vector<std::wstring>{L"0x20.srt", L"0x21.srt", L"movie.avi"};
    job.check = [](JobContext& context) {
      const std::string avi = Avi(context);
      context.verdict.Check(avi.find("subtitle ") == std::string::npos,
                            "the AVI holds subtitles:\n" + avi);
      context.verdict.Check(
          e2e::ReadBytes(context.Mux() + L"0x20.srt").value_or("").find("Text recognised") !=
              std::string::npos,
          "the SRT file beside the AVI holds no recognised text");
    };
    jobs.push_back(job);
  }
  {
    JobCase job;
    job.name = "outcome-no-mux-srt";
    job.settings.mux = false;
    job.exitCode = 0;
    job.boxes = {kMuxAllOff};
    job.newInSource = {L"0x20.srt", L"0x21.srt"};
    job.check = [](JobContext& context) {
      for (const char* key : {"0x20", "0x21"}) {
        const std::string srt =
            e2e::ReadBytes(context.places.source + ToWide(key) + L".srt").value_or("");
        context.verdict.Check(srt.find("Text recognised from " + ToUtf8(context.Mux()) + "movie_" +
                                       key + ".sup") != std::string::npos,
                              std::string("the saved ") + key + ".srt holds: " + srt);
      }
    };
    jobs.push_back(job);
  }
  {
    JobCase job;
    job.name = "outcome-original-subtitles";
    job.settings.srt = false;
    job.settings.subMux = false;
    job.exitCode = 0;
    job.mux = std::vector<std::wstring>{L"movie.avi", L"movie.idx", L"movie.sub"};
    job.logLacks = {L"SubToSup start", L"DVDSubEdit start"};
    jobs.push_back(job);
  }

  std::vector<Case> cases;
  for (auto& job : jobs) cases.push_back(Make(std::move(job)));
  return cases;
}

}  // namespace quillon::fault

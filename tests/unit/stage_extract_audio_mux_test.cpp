// The command-line stages: subtitle extraction, audio conversion, muxing.

#include <gtest/gtest.h>

#include "stage_fixture.h"
#include "stages/mux_script.h"

namespace quillon {
namespace {

// What the mux script builder writes for a job on `source`.
std::string ScriptFor(const std::string& source, AudioMode mode, std::vector<std::string> audio,
                      std::vector<std::string> subtitles) {
  JobFiles files;
  files.SetSource(source);
  return MuxScript({files, mode, std::move(audio), std::move(subtitles)});
}

using Calls = std::vector<std::string>;

const std::string kUnRar = "\"C:\\App\\tools\\UnRAR.exe\" e ";

// ---- subtitle extraction ----

using ExtractTest = StageTest;

// The index is copied after unpacking: UnRAR never meets a file it would
// ask about, and the folder's index replaces the archive's.
TEST_F(ExtractTest, IndexBesideTheMovieWinsOverTheSubfolder) {
  AddSubtitles(false);
  AddSubtitles(true);
  stages::ExtractSubtitles(job);
  EXPECT_EQ(
      fake.Calls({"CopyFile(", "ShellWait(", "StartProgram("}),
      (Calls{"ShellWait(" + kUnRar + "\"D:\\Rips\\Film\\movie.rar\" \"D:\\Rips\\Film\\mux\\\",1)",
             "CopyFile(D:\\Rips\\Film\\movie.idx,D:\\Rips\\Film\\mux\\movie.idx)"}));
}

TEST_F(ExtractTest, IndexInTheSubtitlesFolder) {
  AddSubtitles(true);
  stages::ExtractSubtitles(job);
  EXPECT_EQ(
      fake.Calls({"CopyFile(", "ShellWait(", "StartProgram("}),
      (Calls{"ShellWait(" + kUnRar +
                 "\"D:\\Rips\\Film\\subtitles\\movie.rar\" \"D:\\Rips\\Film\\mux\\\",1)",
             "CopyFile(D:\\Rips\\Film\\subtitles\\movie.idx,D:\\Rips\\Film\\mux\\movie.idx)"}));
  EXPECT_EQ(fake.FileContent(std::string(kMux) + "movie.idx"), "index");
}

// Read-only, the index off a disc and the archive's own: the copy replaces
// the one and does not keep the attribute of the other.
TEST_F(ExtractTest, AReadOnlyIndexIsCopiedOverAReadOnlyUnpackedOne) {
  AddSubtitles();
  fake.SetReadOnly(std::string(kSource) + "movie.idx");
  script.unrarReadOnly = true;
  stages::ExtractSubtitles(job);
  EXPECT_EQ(fake.FileContent(std::string(kMux) + "movie.idx"), "index");
  EXPECT_FALSE(fake.ReadOnly(std::string(kMux) + "movie.idx"));
  EXPECT_TRUE(fake.ReadOnly(std::string(kSource) + "movie.idx"));
}

TEST_F(ExtractTest, ArchiveIsTakenBesideTheIndexEvenWhenItLiesElsewhere) {
  fake.AddFile(std::string(kSource) + "movie.idx", "index");
  fake.AddFile(std::string(kSource) + "subtitles\\movie.rar");
  script.unrarWrites = false;
  job.Files().FindSubtitles(fake);
  stages::ExtractSubtitles(job);
  EXPECT_EQ(fake.Calls({"ShellWait("}),
            (Calls{"ShellWait(" + kUnRar +
                   "\"D:\\Rips\\Film\\movie.rar\" \"D:\\Rips\\Film\\mux\\\",1)"}));
  EXPECT_EQ(fake.FileContent(std::string(kMux) + "movie.idx"), "index");
}

TEST_F(ExtractTest, NoIndexCopiesAndStartsNothingButStillRunsTheRecognition) {
  settings.srt = true;
  script.converterShowsWindow = false;
  job.Limits().windowAppearMs = 1000;
  EXPECT_THROW(stages::ExtractSubtitles(job),
               JobError);  // the macro ran and found no converter window
  EXPECT_EQ(fake.Calls({"CopyFile(", "ShellWait(", "StartProgram("}),
            (Calls{"StartProgram(C:\\App\\tools\\SubToSup\\SubToSup.exe,1)"}));
}

TEST_F(ExtractTest, OriginalSubtitlesRunNoRecognition) {
  AddSubtitles();
  stages::ExtractSubtitles(job);
  EXPECT_TRUE(fake.Calls({"StartProgram("}).empty());
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "movie.sub"));
}

TEST_F(ExtractTest, ConvertToSrtHandsOverToTheRecognitionAfterUnpacking) {
  AddSubtitles();
  settings.srt = true;
  stages::ExtractSubtitles(job);
  const long unpack = fake.Position("ShellWait(" + kUnRar +
                                    "\"D:\\Rips\\Film\\movie.rar\" \"D:\\Rips\\Film\\mux\\\",1)");
  const long start = fake.Position("StartProgram(C:\\App\\tools\\SubToSup\\SubToSup.exe,1)");
  EXPECT_GE(unpack, 0);
  EXPECT_LT(unpack, start);
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "0x20.srt"));
}

TEST_F(ExtractTest, ALockedIndexCopyEndsTheStageBeforeTheRecognition) {
  AddSubtitles();
  settings.srt = true;
  script.unrarWrites = false;
  fake.AddFile(std::string(kMux) + "movie.idx", "old");
  fake.LockFile(std::string(kMux) + "movie.idx");
  EXPECT_THROW(stages::ExtractSubtitles(job), PlatformError);
  EXPECT_EQ(fake.Calls({"ShellWait("}).size(), 1u);
  EXPECT_TRUE(fake.Calls({"StartProgram("}).empty());
}

TEST_F(ExtractTest, AMissingUnpackerIsReportedAndTheStageGoesOn) {
  AddSubtitles();
  fake.DeleteFile(job.Files().UnRar());
  settings.srt = true;
  stages::ExtractSubtitles(job);
  EXPECT_EQ(Problems()[0], "Could not start C:\\App\\tools\\UnRAR.exe");
  EXPECT_EQ(fake.Calls({"StartProgram(C:\\App\\tools\\SubToSup"}).size(), 1u);
}

// ---- audio conversion ----

class AudioTest : public StageTest {
 protected:
  static std::string Line(const std::string& entry, const std::string& key,
                          const std::string& rate) {
    return "ShellWait(\"C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe\" -core( -input "
           "\"D:\\Rips\\Film\\" +
           entry + "\" -output \"D:\\Rips\\Film\\mux\\" + key + ".mp3\" ) -lame( -b " + rate +
           "),1)";
  }
};

TEST_F(AudioTest, OneRunPerTrackInListOrder) {
  ChooseSource({"0x81.wav", "0x80.ac3", "0x82.mp3"});
  stages::ConvertAudio(job);
  EXPECT_EQ(fake.Calls({"ShellWait("}),
            (Calls{Line("0x80.ac3", "0x80", "128"), Line("0x81.wav", "0x81", "128"),
                   Line("0x82.mp3", "0x82", "128")}));
  for (const char* key : {"0x80", "0x81", "0x82"})
    EXPECT_TRUE(fake.FileExists(std::string(kMux) + key + ".mp3"));
  EXPECT_TRUE(fake.FileExists(std::string(kSource) + "0x82.mp3"));
  EXPECT_TRUE(job.Report().Empty());
}

TEST_F(AudioTest, TheBitRateIsReadAfreshForEveryTrack) {
  ChooseSource({"0x80.ac3", "0x81.ac3"});
  settings.bitRate = "192";
  const auto run = fake.onShellWait;
  fake.onShellWait = [&](const std::string& cmd, int style) {
    settings.bitRate = "96";  // changed while the first track converts
    return run(cmd, style);
  };
  stages::ConvertAudio(job);
  EXPECT_EQ(fake.Calls({"ShellWait("}),
            (Calls{Line("0x80.ac3", "0x80", "192"), Line("0x81.ac3", "0x81", "96")}));
}

TEST_F(AudioTest, EmptyListRunsNothing) {
  ChooseSource({});
  stages::ConvertAudio(job);
  EXPECT_TRUE(fake.Calls({"ShellWait("}).empty());
  EXPECT_TRUE(job.Report().Empty());
}

TEST_F(AudioTest, TwoTracksWithOneKeyShareTheirOutput) {
  ChooseSource({"0x80 main.ac3", "0x80 comm.ac3"});
  stages::ConvertAudio(job);
  EXPECT_EQ(fake.Calls({"ShellWait("}),
            (Calls{Line("0x80 comm.ac3", "0x80", "128"), Line("0x80 main.ac3", "0x80", "128")}));
}

TEST_F(AudioTest, AnMp3ThatWasNotWrittenIsReported) {
  ChooseSource({"0x80.ac3", "0x81.ac3"});
  script.besweetWrites = false;
  stages::ConvertAudio(job);
  EXPECT_EQ(Problems(),
            (std::vector<std::string>{"Missing result: D:\\Rips\\Film\\mux\\0x80.mp3",
                                      "Missing result: D:\\Rips\\Film\\mux\\0x81.mp3"}));
}

TEST_F(AudioTest, AMissingConverterIsReportedOnceAndEveryTrackIsTried) {
  ChooseSource({"0x80.ac3", "0x81.ac3"});
  fake.DeleteFile(job.Files().BeSweet());
  fake.calls.clear();
  stages::ConvertAudio(job);
  EXPECT_EQ(fake.Calls({"ShellWait("}).size(), 2u);
  EXPECT_EQ(Problems()[0], "Could not start C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe");
}

TEST_F(AudioTest, AConverterThatOutlivesTheLimitEndsTheJob) {
  ChooseSource({"0x80.ac3", "0x81.ac3"});
  fake.onShellWait = [](const std::string&, int) { return ProcessOutcome{true, false, 0}; };
  EXPECT_THROW(stages::ConvertAudio(job), JobError);
  EXPECT_EQ(fake.Calls({"ShellWait("}).size(), 1u);
}

// ---- muxing ----

class MuxTest : public StageTest {
 protected:
  std::string Script() const {
    return fake.FileContent(std::string(kMux) + "movie.amg").value_or("");
  }
  // Runs the recognition so that its SUP list counts for this job.
  void RecogniseSubtitles(std::vector<std::string> supFiles) {
    script.supFiles = std::move(supFiles);
    fake.AddFile(std::string(kMux) + "movie.idx");
    stages::ConvertSubtitlesToSrt(job);
    fake.calls.clear();
  }
};

TEST_F(MuxTest, WritesTheScriptThenRunsTheMuxerOnIt) {
  ChooseSource({"0x80.ac3", "0x81.ac3"});
  settings.mp3 = true;
  RecogniseSubtitles({"vob_0x20.sup"});
  stages::MuxMovie(job);
  EXPECT_EQ(Script(),
            ScriptFor(kSource, AudioMode::Mp3, {"0x80.ac3", "0x81.ac3"}, {"vob_0x20.sup"}));
  EXPECT_EQ(fake.calls, (Calls{"WriteAnsiTextFile(D:\\Rips\\Film\\mux\\movie.amg)",
                               "ShellWait(\"C:\\App\\tools\\AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe\" "
                               "\"D:\\Rips\\Film\\mux\\movie.amg\",1)"}));
  EXPECT_TRUE(job.Report().Empty());
}

TEST_F(MuxTest, OriginalAudioWithoutMuxIntoAviLoadsNoSubtitles) {
  ChooseSource({"0x80.AC3"});
  RecogniseSubtitles({"vob_0x20.sup"});
  settings.srtIntoAvi = false;
  stages::MuxMovie(job);
  EXPECT_EQ(Script(), ScriptFor(kSource, AudioMode::Original, {"0x80.AC3"}, {}));
}

TEST_F(MuxTest, NoRecognitionInThisJobLoadsNoSubtitles) {
  // A list that points at SUP files, but not from a recognition of this job.
  ChooseSource({"0x80.ac3"});
  fake.AddFile(std::string(kMux) + "vob_0x20.sup");
  job.SubtitleFiles().SetFolder(kMux);
  ASSERT_EQ(job.SubtitleFiles().ListCount(), 1);
  stages::MuxMovie(job);
  EXPECT_EQ(Script().find(".srt"), std::string::npos);
}

TEST_F(MuxTest, EmptyRecognitionListLoadsNoSubtitles) {
  ChooseSource({"0x80.ac3"});
  RecogniseSubtitles({});
  stages::MuxMovie(job);
  EXPECT_EQ(Script(), ScriptFor(kSource, AudioMode::Original, {"0x80.ac3"}, {}));
}

TEST_F(MuxTest, AnEarlierScriptIsReplaced) {
  ChooseSource({});
  fake.AddFile(std::string(kMux) + "movie.amg", "OLD\r\n");
  stages::MuxMovie(job);
  EXPECT_EQ(Script(), ScriptFor(kSource, AudioMode::Original, {}, {}));
}

TEST_F(MuxTest, APathTheCodePageCannotHoldStopsBeforeTheMuxerStarts) {
  job.Files().SetSource("D:\\Filme\\東京\\");
  fake.AddFolder(job.Files().Mux());
  ChooseSource({});
  EXPECT_THROW(stages::MuxMovie(job), PlatformError);
  EXPECT_TRUE(fake.Calls({"ShellWait("}).empty());
  EXPECT_FALSE(fake.FileExists(job.Files().Mux() + "movie.amg"));
}

TEST_F(MuxTest, AMissingAviIsReported) {
  ChooseSource({"0x80.ac3"});
  script.avimuxWrites = false;
  stages::MuxMovie(job);
  EXPECT_EQ(Problems(),
            (std::vector<std::string>{"Missing result: D:\\Rips\\Film\\mux\\movie.avi"}));
}

TEST_F(MuxTest, AMissingMuxerIsReported) {
  ChooseSource({"0x80.ac3"});
  fake.DeleteFile(job.Files().AviMux());
  stages::MuxMovie(job);
  EXPECT_EQ(Problems(), (std::vector<std::string>{
                            "Could not start C:\\App\\tools\\AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe",
                            "Missing result: D:\\Rips\\Film\\mux\\movie.avi"}));
}

// Two whole jobs through the driver: the first on a folder with subtitles,
// the second on a folder without. The second must not load the first's SRT.
TEST_F(WholeJobTest, AnEarlierJobsSubtitlesAreNotLoadedByTheNextJob) {
  AddSubtitles();
  ChooseSource({"0x80.ac3"});
  frm.SetCheck(ControlId::chkDelTemp, 0);
  frm.StartJob();
  EXPECT_NE(fake.FileContent(std::string(kMux) + "movie.amg")
                .value_or("")
                .find("LOAD D:\\Rips\\Film\\mux\\0x20.srt\r\n"),
            std::string::npos);

  const std::string second = "D:\\Rips\\Other\\";
  fake.AddFile(second + "movie.avi");
  fake.AddFile(second + "0x80.ac3");
  fake.browseAnswer = "D:\\Rips\\Other";
  frm.ClickOpen();
  ASSERT_EQ(frm.Control(ControlId::chkSubMux).value, 1);
  frm.StartJob();
  EXPECT_EQ(fake.FileContent(second + "mux\\movie.amg"),
            ScriptFor(second, AudioMode::Original, {"0x80.ac3"}, {}));
  EXPECT_EQ(Messages().back(), "ShowMessage(Quillon,information,Done!)");
}

}  // namespace
}  // namespace quillon

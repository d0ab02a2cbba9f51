// The audio and mux stages of real jobs: what BeSweet and AVI-Mux GUI read
// in their command lines, what the muxer loaded from the script (its own
// account, in the movie it writes), for a source folder whose path holds
// every character a command line could misread; tracks that came after the
// scan; a BeSweet that is not there. The script's and the command lines'
// exact text is the unit tests' to fix.

#include <vector>

#include "support/leftover_processes.h"
#include "support/stage_job.h"

namespace quillon::e2e {
namespace {

using enum ControlId;

class AudioMuxStageTest : public StageJobTest {};

// ---- Convert to MP3, with and without the clean-up ----

struct Mp3Case {
  const char* name;
  const wchar_t* deleteTemp;  // field 6
  std::vector<std::wstring> muxFolderAfter;
};

class ConvertToMp3Test : public AudioMuxStageTest, public ::testing::WithParamInterface<Mp3Case> {};

TEST_P(ConvertToMp3Test, EachTrackIsConvertedInNameOrderAndTheMp3sAreMuxed) {
  const Mp3Case& c = GetParam();
  const SourceFolder source = MakeSource();
  source.AddMovie();
  // Written out of order: the job goes by name.
  source.AddTrack(L"0x82.mp3");
  source.AddTrack(L"0x80.ac3");
  source.AddTrack(L"0x81 comm.wav");
  source.Write(L"notes.txt", "not audio");

  const JobOutcome outcome = RunBatch(source, std::wstring(L"1?192?0?0?") + c.deleteTemp + L"?0?1");
  ASSERT_TRUE(outcome.exitCode.has_value()) << "the batch job did not end";
  EXPECT_EQ(*outcome.exitCode, 0u) << Describe(outcome.boxes) << Log().Text();
  EXPECT_TRUE(outcome.boxes.empty()) << Describe(outcome.boxes);

  const StandinLog log = Log();
  EXPECT_EQ(log.Calls("BeSweet"), (std::vector<ToolCall>{
                                      BeSweetCall(source, L"0x80.ac3", L"0x80", L"192"),
                                      BeSweetCall(source, L"0x81 comm.wav", L"0x81", L"192"),
                                      BeSweetCall(source, L"0x82.mp3", L"0x82", L"192"),
                                  }))
      << log.Text();
  EXPECT_EQ(log.Calls("AVIMux_GUI"), std::vector<ToolCall>{AviMuxCall(source)});
  EXPECT_TRUE(log.Starts("UnRAR").empty());
  EXPECT_TRUE(log.Starts("SubToSup").empty());

  const std::wstring src = source.Path();
  const std::wstring mux = source.Mux();
  EXPECT_EQ(source.Read(L"mux\\movie.avi"),
            CrLfLines({L"video " + src + L"movie.avi", L"audio 1 0x80 " + mux + L"0x80.mp3",
                       L"audio 2 0x81 " + mux + L"0x81.mp3", L"audio 3 0x82 " + mux + L"0x82.mp3",
                       L"interleave 3 FR"}));
  EXPECT_EQ(source.List(L"mux"), c.muxFolderAfter);
  if (c.muxFolderAfter.size() > 1) {
    // Each MP3 came from its own track at the chosen rate.
    EXPECT_EQ(source.Read(L"mux\\0x81.mp3"),
              CrLfLines({L"MP3 192 kbit/s from " + src + L"0x81 comm.wav",
                         L"input size " + std::to_wstring(source.Read(L"0x81 comm.wav")->size()) +
                             L" bytes"}));
  }
  // The source folder itself is left as it was.
  EXPECT_EQ(source.List(), (std::vector<std::wstring>{L"0x80.ac3", L"0x81 comm.wav", L"0x82.mp3",
                                                      L"movie.avi", L"mux", L"notes.txt"}));
}

INSTANTIATE_TEST_SUITE_P(DeleteTemporaryFiles, ConvertToMp3Test,
                         ::testing::Values(Mp3Case{"Kept",
                                                   L"0",
                                                   {L"0x80.mp3", L"0x81.mp3", L"0x82.mp3",
                                                    L"movie.amg", L"movie.avi"}},
                                           Mp3Case{"Deleted", L"1", {L"movie.avi"}}),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Original audio: the tracks themselves go into the AVI ----

struct OriginalCase {
  const char* name;
  std::vector<std::wstring> tracks;  // in name order
  std::vector<std::wstring> keys;
  const wchar_t* interleave;  // chosen by the first track alone, as the muxer lists it
};

class OriginalAudioTest : public AudioMuxStageTest,
                          public ::testing::WithParamInterface<OriginalCase> {};

TEST_P(OriginalAudioTest, TheSourceTracksAreLoadedAndNothingIsConverted) {
  const OriginalCase& c = GetParam();
  const SourceFolder source = MakeSource();
  source.AddMovie();
  for (const std::wstring& track : c.tracks) source.AddTrack(track);

  const JobOutcome outcome = RunBatch(source, L"0?192?0?0?0?0?1");
  ASSERT_TRUE(outcome.exitCode.has_value()) << "the batch job did not end";
  EXPECT_EQ(*outcome.exitCode, 0u) << Describe(outcome.boxes) << Log().Text();
  EXPECT_TRUE(outcome.boxes.empty()) << Describe(outcome.boxes);

  const StandinLog log = Log();
  EXPECT_TRUE(log.Starts("BeSweet").empty()) << log.Text();
  EXPECT_EQ(log.Calls("AVIMux_GUI"), std::vector<ToolCall>{AviMuxCall(source)});

  // What the muxer loaded from the script, as it lists it in the movie.
  const std::wstring src = source.Path();
  std::vector<std::wstring> avi = {L"video " + src + L"movie.avi"};
  for (size_t i = 0; i < c.tracks.size(); ++i)
    avi.push_back(L"audio " + std::to_wstring(i + 1) + L" " + c.keys[i] + L" " + src + c.tracks[i]);
  avi.push_back(L"interleave " + std::wstring(c.interleave));
  EXPECT_EQ(source.Read(L"mux\\movie.avi"), CrLfLines(avi));
  EXPECT_EQ(source.List(L"mux"), (std::vector<std::wstring>{L"movie.amg", L"movie.avi"}));
}

INSTANTIATE_TEST_SUITE_P(
    FirstTrack, OriginalAudioTest,
    ::testing::Values(
        OriginalCase{"Ac3", {L"0x80.ac3", L"0x81 comm.wav"}, {L"0x80", L"0x81"}, L"4 FR"},
        OriginalCase{"Wav", {L"0x80.wav", L"0x81.AC3"}, {L"0x80", L"0x81"}, L"100 KB"},
        OriginalCase{"UpperCaseMp3", {L"0x80.MP3"}, {L"0x80"}, L"3 FR"}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- interactive jobs ----

class InteractiveAudioTest : public AudioMuxStageTest {
 protected:
  // Keeps the job's files for a look afterwards.
  static void KeepTemporaryFiles(const WindowProbe& window) {
    window.Click(Id(chkDelTemp));
    ASSERT_TRUE(WaitUntil(kDialogLimit, [&] { return window.ItemCheck(Id(chkDelTemp)) == 0; }));
  }

  // Presses Start and returns the message the job ends with (OK pressed).
  std::optional<MessageBoxSeen> StartAndAwaitEnd(const WindowProbe& window) {
    window.Click(Id(cmdStart));
    auto box = WaitForMessageBox(Process(), kJobLimit);
    if (box) {
      EXPECT_TRUE(PressDialogButton(box->window));
    }
    return box;
  }
};

TEST_F(InteractiveAudioTest, ATrackAddedAfterTheScanIsNeitherConvertedNorMuxed) {
  const SourceFolder source = MakeSource();
  source.AddMovie();
  source.AddTrack(L"0x80.ogg");  // an Ogg track first: the scan picks "Convert to MP3"
  const WindowProbe window = OpenFolder(L"\"" + source.PathWithoutBackslash() + L"\"", true);
  ASSERT_EQ(window.ItemCheck(Id(optAudMP3)), 1) << "the scan did not choose Convert to MP3";
  KeepTemporaryFiles(window);
  // Sorts before the scanned track, so it would be first if the list were read again.
  source.AddTrack(L"0x7f.ac3");

  const auto end = StartAndAwaitEnd(window);
  ASSERT_TRUE(end.has_value()) << "the job ended without a message\n" << Log().Text();
  EXPECT_TRUE(SameBoxText(end->text, L"Done!")) << ToUtf8(end->text);
  EXPECT_EQ(end->icon, BoxIcon::Information) << ToString(end->icon);

  const StandinLog log = Log();
  EXPECT_EQ(log.Calls("BeSweet"),
            std::vector<ToolCall>{BeSweetCall(source, L"0x80.ogg", L"0x80", L"128")})
      << log.Text();
  // The muxer loaded the one converted track only.
  EXPECT_EQ(source.Read(L"mux\\movie.avi"),
            CrLfLines({L"video " + source.Path() + L"movie.avi",
                       L"audio 1 0x80 " + source.Mux() + L"0x80.mp3", L"interleave 3 FR"}));
  EXPECT_EQ(source.List(L"mux"),
            (std::vector<std::wstring>{L"0x80.mp3", L"movie.amg", L"movie.avi"}));
  CloseAndExpectExitCode(window, 0);
}

// ---- BeSweet missing from the tools folder ----

TEST_F(AudioMuxStageTest, MissingBeSweetInABatchJobMuxesAnywayAndEndsWithCodeOne) {
  const SourceFolder source = MakeSource();
  source.AddMovie();
  source.AddTrack(L"0x80.ac3");
  source.AddTrack(L"0x81.ac3");
  quillon_.Install();
  quillon_.RemoveTool(kBeSweetTool);

  const JobOutcome outcome = RunBatch(source, L"1?128?0?0?0?0?1");
  ASSERT_TRUE(outcome.exitCode.has_value()) << "the batch job did not end";
  EXPECT_EQ(*outcome.exitCode, 1u) << "a batch job with missing results ends with code 1";
  // Unattended: the exit code reports it, no box holds the run.
  EXPECT_TRUE(outcome.boxes.empty()) << Describe(outcome.boxes);

  const StandinLog log = Log();
  EXPECT_TRUE(log.Starts("BeSweet").empty());
  // The muxer still runs on the script, which names the MP3s never made.
  EXPECT_EQ(log.Calls("AVIMux_GUI"), std::vector<ToolCall>{AviMuxCall(source)}) << log.Text();
  const std::wstring mux = source.Mux();
  EXPECT_EQ(
      ScriptLoads(source.Read(L"mux\\movie.amg")),
      (std::vector<std::wstring>{source / L"movie.avi", mux + L"0x80.mp3", mux + L"0x81.mp3"}));
  EXPECT_EQ(source.List(L"mux"), std::vector<std::wstring>{L"movie.amg"});
}

TEST_F(InteractiveAudioTest, MissingBeSweetEndsWithAWarningThatNamesItAndTheMissingFiles) {
  const SourceFolder source = MakeSource();
  source.AddMovie();
  source.AddTrack(L"0x80.ogg");
  source.AddTrack(L"0x81.ac3");
  quillon_.Install();
  quillon_.RemoveTool(kBeSweetTool);
  const WindowProbe window = OpenFolder(L"\"" + source.PathWithoutBackslash() + L"\"", true);
  ASSERT_EQ(window.ItemCheck(Id(optAudMP3)), 1) << "the scan did not choose Convert to MP3";

  const auto end = StartAndAwaitEnd(window);
  ASSERT_TRUE(end.has_value()) << "the job ended without a message\n" << Log().Text();
  const std::wstring mux = source.Mux();
  const std::wstring expected =
      WithJobLogPlace(L"The job finished with problems:\r\nCould not start " +
                      quillon_.Tool(kBeSweetTool) + L"\r\nMissing result: " + mux +
                      L"0x80.mp3\r\nMissing result: " + mux + L"0x81.mp3\r\nMissing result: " +
                      mux + L"movie.avi\r\nThe converted files and the mux script are in " + mux +
                      L" for muxing by hand.");
  EXPECT_TRUE(SameBoxText(end->text, expected)) << ToUtf8(end->text);
  EXPECT_EQ(end->icon, BoxIcon::Warning) << ToString(end->icon);
  EXPECT_EQ(Log().Calls("AVIMux_GUI"), std::vector<ToolCall>{AviMuxCall(source)});
  // The clean-up kept the script, for muxing by hand.
  EXPECT_EQ(source.List(L"mux"), std::vector<std::wstring>{L"movie.amg"});
  CloseAndExpectExitCode(window, 0);
}

}  // namespace
}  // namespace quillon::e2e

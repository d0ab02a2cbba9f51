// The subtitle stages of real jobs: where the index and its archive are
// taken from, what UnRAR found in its command line, the macro that drives SubToSup
// and DVDSubEdit (the paths it types, checked byte for byte in a folder whose
// name holds key-notation characters), the SRT files in and out of the AVI,
// and a converter that never shows its window.

#include <algorithm>
#include <cwchar>
#include <vector>

#include "support/leftover_processes.h"
#include "support/stage_job.h"

namespace quillon::e2e {
namespace {

class SubtitleStageTest : public StageJobTest {};

// ---- where the subtitles are taken from; "Original" subtitles ----

enum class Place { Folder, SubtitlesFolder, Both };

struct PlaceCase {
  const char* name;
  Place place;
  const wchar_t* archive;       // relative to the source folder
  const char* expectedIndex;    // which index the job copied
  const char* expectedSubFile;  // which archive it unpacked
};

constexpr char kFolderIndex[] =
    "# VobSub index file, v7\r\n# beside the movie\r\nid: en, index: 0\r\n";
constexpr char kSubtitlesIndex[] =
    "# VobSub index file, v7\r\n# in subtitles\\\r\nid: en, index: 0\r\n";
constexpr char kFolderSub[] = "bitmaps from the folder's own archive";
constexpr char kSubtitlesSub[] = "bitmaps from the archive in subtitles\\";

class SubtitlePlaceTest : public SubtitleStageTest,
                          public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(SubtitlePlaceTest, TheIndexIsCopiedAndItsArchiveUnpackedIntoTheMuxFolder) {
  const PlaceCase& c = GetParam();
  const SourceFolder source = MakeSource(L"Film (2001)");
  source.AddMovie();
  source.AddTrack(L"0x80.ac3");
  if (c.place != Place::SubtitlesFolder) source.AddSubtitles(L"", kFolderIndex, kFolderSub);
  if (c.place != Place::Folder) source.AddSubtitles(L"subtitles\\", kSubtitlesIndex, kSubtitlesSub);
  std::vector<std::wstring> sourceAfter = source.List();
  sourceAfter.push_back(L"mux");
  std::sort(sourceAfter.begin(), sourceAfter.end());

  // Original audio and subtitles, keep the files, mux.
  const JobOutcome outcome = RunBatch(source, L"0?128?0?0?0?0?1");
  ASSERT_TRUE(outcome.exitCode.has_value()) << "the batch job did not end";
  EXPECT_EQ(*outcome.exitCode, 0u) << Describe(outcome.boxes) << Log().Text();
  EXPECT_TRUE(outcome.boxes.empty()) << Describe(outcome.boxes);

  const StandinLog log = Log();
  EXPECT_EQ(log.Calls("UnRAR"), std::vector<ToolCall>{UnRarCall(source, c.archive)}) << log.Text();
  EXPECT_EQ(log.Details("UnRAR", "exit"), std::vector<std::string>{"0"});
  // "Original" subtitles: no recognition at all.
  EXPECT_TRUE(log.Starts("SubToSup").empty()) << log.Text();
  EXPECT_TRUE(log.Starts("DVDSubEdit").empty()) << log.Text();

  EXPECT_EQ(source.Read(L"mux\\movie.idx"), std::string(c.expectedIndex));
  EXPECT_EQ(source.Read(L"mux\\movie.sub"), std::string(c.expectedSubFile));
  EXPECT_EQ(source.List(L"mux"),
            (std::vector<std::wstring>{L"movie.amg", L"movie.avi", L"movie.idx", L"movie.sub"}));
  // Nothing of the subtitles goes into the AVI.
  EXPECT_EQ(source.Read(L"mux\\movie.avi"),
            CrLfLines({L"video " + source.Path() + L"movie.avi",
                       L"audio 1 0x80 " + source.Path() + L"0x80.ac3", L"interleave 4 FR"}));
  EXPECT_EQ(source.List(), sourceAfter) << "the job touched the source folder";
}

INSTANTIATE_TEST_SUITE_P(IndexIn, SubtitlePlaceTest,
                         ::testing::Values(PlaceCase{"FolderOnly", Place::Folder, L"movie.rar",
                                                     kFolderIndex, kFolderSub},
                                           PlaceCase{"SubtitlesFolderOnly", Place::SubtitlesFolder,
                                                     L"subtitles\\movie.rar", kSubtitlesIndex,
                                                     kSubtitlesSub},
                                           PlaceCase{"BothTheFolderWins", Place::Both, L"movie.rar",
                                                     kFolderIndex, kFolderSub}),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- Convert to SRT: the macro, and the SRT files in or beside the AVI ----

struct SrtCase {
  const char* name;
  const wchar_t* muxIntoAvi;           // field 5
  const wchar_t* deleteTemp;           // field 6
  std::vector<std::string> languages;  // one subtitle stream each: 0x20, 0x21, ...
  std::vector<std::wstring> muxFolderAfter;
};

class ConvertToSrtTest : public SubtitleStageTest, public ::testing::WithParamInterface<SrtCase> {};

TEST_P(ConvertToSrtTest, TheMacroTypesThePathsExactlyAndTheSrtFilesEndUpWhereAsked) {
  const SrtCase& c = GetParam();
  const bool muxed = std::wstring_view(c.muxIntoAvi) == L"1";
  const SourceFolder source = MakeSource();  // % + ^ ~ { } [ ] ( ) and blanks
  source.AddMovie();
  source.AddTrack(L"0x80.ac3");
  source.AddSubtitles(L"", VobSubIndex(c.languages), "bitmaps of every stream");
  std::vector<std::wstring> keys;
  for (size_t i = 0; i < c.languages.size(); ++i) {
    wchar_t key[8];
    swprintf(key, 8, L"0x%02x", static_cast<unsigned>(0x20 + i));
    keys.push_back(key);
  }

  // At pause 0, as the fixture keeps it: each key waits for the window it is
  // for, and a step that opens or closes a dialog for that to have happened.
  const JobOutcome outcome =
      RunBatch(source, std::wstring(L"0?128?1?") + c.muxIntoAvi + L"?" + c.deleteTemp + L"?0?1",
               kJobLimit * 2);
  ASSERT_TRUE(outcome.exitCode.has_value()) << "the batch job did not end";
  EXPECT_EQ(*outcome.exitCode, 0u) << Describe(outcome.boxes) << Log().Text();
  EXPECT_TRUE(outcome.boxes.empty()) << Describe(outcome.boxes);

  const StandinLog log = Log();
  const std::wstring mux = source.Mux();
  EXPECT_EQ(log.Calls("UnRAR"), std::vector<ToolCall>{UnRarCall(source, L"movie.rar")});
  // The converter is started once and given the copied index.
  EXPECT_EQ(log.Starts("SubToSup").size(), 1u) << log.Text();
  EXPECT_EQ(log.Details("SubToSup", "typed"), std::vector<std::string>{ToUtf8(mux + L"movie.idx")})
      << log.Text();
  // One editor per SUP file, in name order: the SUP file typed into the open
  // dialog, then the SRT name into the save dialog, which adds ".srt".
  std::vector<std::string> typed;
  for (const std::wstring& key : keys) {
    typed.push_back(ToUtf8(mux + L"movie_" + key + L".sup"));
    typed.push_back(ToUtf8(mux + key + L".srt"));
  }
  EXPECT_EQ(log.Starts("DVDSubEdit").size(), keys.size()) << log.Text();
  EXPECT_EQ(log.Details("DVDSubEdit", "typed"), typed) << log.Text();
  EXPECT_EQ(log.Details("DVDSubEdit", "exit").size(), keys.size()) << "an editor was left open";
  // The editor found no settings of an earlier run: they go before each start.
  EXPECT_TRUE(log.Details("DVDSubEdit", "settings found").empty()) << log.Text();
  EXPECT_TRUE(log.Details("DVDSubEdit", "error").empty()) << log.Text();

  std::vector<std::wstring> avi = {L"video " + source.Path() + L"movie.avi",
                                   L"audio 1 0x80 " + source.Path() + L"0x80.ac3"};
  if (muxed) {
    for (const std::wstring& key : keys) avi.push_back(L"subtitle " + mux + key + L".srt");
  }
  avi.push_back(L"interleave 4 FR");
  EXPECT_EQ(source.Read(L"mux\\movie.avi"), CrLfLines(avi));
  EXPECT_EQ(source.List(L"mux"), c.muxFolderAfter);
  // Each SRT file left holds the text recognised from its own SUP file.
  for (const std::wstring& key : keys) {
    if (!source.Read(L"mux\\" + key + L".srt")) continue;
    EXPECT_EQ(source.Read(L"mux\\" + key + L".srt"),
              "1\r\n00:00:01,000 --> 00:00:03,000\r\nText recognised from " +
                  ToUtf8(mux + L"movie_" + key + L".sup") + "\r\n\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    MuxIntoAvi, ConvertToSrtTest,
    ::testing::Values(SrtCase{"OnFilesKept",
                              L"1",
                              L"0",
                              {"en", "de"},
                              {L"0x20.srt", L"0x21.srt", L"movie.amg", L"movie.avi", L"movie.idx",
                               L"movie.sub", L"movie_0x20.sup", L"movie_0x21.sup"}},
                      SrtCase{"OffFilesKept",
                              L"0",
                              L"0",
                              {"en"},
                              {L"0x20.srt", L"movie.amg", L"movie.avi", L"movie.idx", L"movie.sub",
                               L"movie_0x20.sup"}},
                      // Not in the AVI, so the clean-up leaves the SRT files beside it.
                      SrtCase{"OffFilesDeleted", L"0", L"1", {"en"}, {L"0x20.srt", L"movie.avi"}}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- the program in a folder whose path holds blanks and brackets ----

TEST_F(SubtitleStageTest, EveryToolIsStartedByItsExactPathFromAProgramFolderWithBlanks) {
  quillon_.Install(L"Quillon 1.0 (x86) [test]");
  const SourceFolder source = MakeSource(L"Film");
  source.AddMovie();
  source.AddTrack(L"0x80.ac3");
  source.AddSubtitles(L"", VobSubIndex({"en"}), "bitmaps");

  // MP3 at 96 kbit/s, SRT muxed into the AVI, files kept, mux.
  const JobOutcome outcome = RunBatch(source, L"1?96?1?1?0?0?1", kJobLimit * 2);
  ASSERT_TRUE(outcome.exitCode.has_value()) << "the batch job did not end";
  EXPECT_EQ(*outcome.exitCode, 0u) << Describe(outcome.boxes) << Log().Text();
  EXPECT_TRUE(outcome.boxes.empty()) << Describe(outcome.boxes);

  const StandinLog log = Log();
  EXPECT_EQ(log.Calls("UnRAR"), std::vector<ToolCall>{UnRarCall(source, L"movie.rar")});
  // The two window tools get their paths alone, quoted for the blanks.
  EXPECT_EQ(log.Starts("SubToSup"),
            std::vector<std::string>{"\"" + ToUtf8(quillon_.Tool(kSubToSupTool)) + "\""})
      << log.Text();
  EXPECT_EQ(log.Starts("DVDSubEdit"),
            std::vector<std::string>{"\"" + ToUtf8(quillon_.Tool(kDvdSubEditTool)) + "\""})
      << log.Text();
  EXPECT_EQ(log.Calls("BeSweet"),
            std::vector<ToolCall>{BeSweetCall(source, L"0x80.ac3", L"0x80", L"96")});
  EXPECT_EQ(log.Calls("AVIMux_GUI"), std::vector<ToolCall>{AviMuxCall(source)});
  // Every tool that was started has ended.
  for (const char* tool : {"UnRAR", "SubToSup", "DVDSubEdit", "BeSweet", "AVIMux_GUI"})
    EXPECT_EQ(log.Details(tool, "exit"), std::vector<std::string>{"0"}) << tool;

  const std::wstring mux = source.Mux();
  EXPECT_EQ(
      source.Read(L"mux\\movie.avi"),
      CrLfLines({L"video " + source.Path() + L"movie.avi", L"audio 1 0x80 " + mux + L"0x80.mp3",
                 L"subtitle " + mux + L"0x20.srt", L"interleave 3 FR"}));
}

// ---- a converter that never shows its window ----

TEST_F(SubtitleStageTest, AConverterWithoutAWindowEndsTheJobByTimeOutWithAMessage) {
  const SourceFolder source = MakeSource();
  source.AddMovie();
  source.AddTrack(L"0x80.ac3");
  source.AddSubtitles(L"", VobSubIndex({"en"}), "bitmaps");
  quillon_.Install();
  quillon_.SetToolMode(kSubToSupTool, "nowindow");

  // Eight seconds for a window to appear.
  const QuillonProcess& process =
      quillon_.Launch(BatchLine(source.PathWithoutBackslash(), L"0?128?1?1?0?0?1"), L"8000,30000");
  const auto box = WaitForMessageBox(process, kJobLimit);
  ASSERT_TRUE(box.has_value()) << "no message within a minute: the job hangs\n" << Log().Text();
  EXPECT_TRUE(SameBoxText(box->text, WithJobLogPlace(L"The job stopped while starting SubToSup:\r\n"
                                                     L"The window \"SubToSup\" did not appear "
                                                     L"within 8 seconds.")))
      << ToUtf8(box->text);
  EXPECT_EQ(box->icon, BoxIcon::Error) << ToString(box->icon);
  ASSERT_TRUE(PressDialogButton(box->window));
  const auto code = process.WaitForExit(kExitLimit);
  ASSERT_TRUE(code.has_value()) << "the program did not end after the message";
  EXPECT_EQ(*code, 3u);

  const StandinLog log = Log();
  EXPECT_EQ(log.Details("SubToSup", "nowindow").size(), 1u) << log.Text();
  EXPECT_TRUE(log.Starts("DVDSubEdit").empty());
  EXPECT_TRUE(log.Starts("AVIMux_GUI").empty()) << "the job went on after its error";
  // The converter may still be waiting for nothing: whatever is left of it
  // is ended here, and then nothing of the test runs any more.
  for (const std::wstring& path : EndProcessesUnder(quillon_.Tools()))
    EXPECT_EQ(path, quillon_.Tool(kSubToSupTool)) << "an unexpected tool was still running";
  EXPECT_TRUE(ProcessesUnder(folder_.Path()).empty());
  // What the job did before the error stays for a look; the source is untouched.
  EXPECT_EQ(source.List(L"mux"), (std::vector<std::wstring>{L"movie.idx", L"movie.sub"}));
}

}  // namespace
}  // namespace quillon::e2e

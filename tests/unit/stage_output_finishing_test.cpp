// Saving the SRT files and cleaning the mux folder, judged by what is left
// on disk after whole jobs.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "stage_fixture.h"

namespace quillon {
namespace {

using Files = std::vector<std::string>;

class OutputTest : public WholeJobTest {
 protected:
  OutputTest() {
    AddSubtitles();
    ChooseSource({"0x80.ac3", "0x81.ac3"});
    frm.SelectOption(ControlId::optAudMP3);
    script.supFiles = {"vob_0x20.sup", "vob_0x21.sup"};
  }
  void Settings(bool mux, bool srt, bool subMux, bool delTemp = true) {
    frm.SetCheck(ControlId::chkMux, mux ? 1 : 0);
    frm.SelectOption(srt ? ControlId::optSubSRT : ControlId::optSubOrig);
    frm.SetCheck(ControlId::chkSubMux, subMux ? 1 : 0);
    frm.SetCheck(ControlId::chkDelTemp, delTemp ? 1 : 0);
  }
  Files Below(const std::string& folder) const {
    Files out = fake.FilesBelow(folder);
    std::sort(out.begin(), out.end());
    return out;
  }
  static Files InMux(Files names) {
    for (auto& name : names) name = std::string(kMux) + name;
    std::sort(names.begin(), names.end());
    return names;
  }
  // The source folder's files besides the ones the job itself made.
  Files SourceFiles(Files extra = {}) const {
    Files names = {"0x80.ac3", "0x81.ac3", "movie.avi", "movie.idx", "movie.rar"};
    names.insert(names.end(), extra.begin(), extra.end());
    Files out;
    for (const auto& name : names) out.push_back(std::string(kSource) + name);
    Files mux = fake.FilesBelow(kMux);
    out.insert(out.end(), mux.begin(), mux.end());
    std::sort(out.begin(), out.end());
    return out;
  }
  std::string LastMessage() const {
    const auto messages = Messages();
    return messages.empty() ? "" : messages.back();
  }
};

struct OutcomeCase {
  const char* name;
  bool mux;
  bool srt;
  bool subMux;
  Files muxFiles;  // what the mux folder holds afterwards
  bool muxFolderStays;
  Files savedInSource;  // SRT files copied beside the movie
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
  *os << c.name;
}

class OutcomeTest : public OutputTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(OutcomeTest, LeavesExactlyTheseFiles) {
  const auto& c = GetParam();
  Settings(c.mux, c.srt, c.subMux);
  frm.StartJob();
  EXPECT_EQ(LastMessage(), "ShowMessage(Quillon,information,Done!)");
  EXPECT_EQ(Below(kMux), InMux(c.muxFiles));
  EXPECT_EQ(fake.FolderExists(kMux), c.muxFolderStays);
  EXPECT_EQ(Below(kSource), SourceFiles(c.savedInSource));
  for (const auto& name : c.savedInSource)
    EXPECT_EQ(fake.FileContent(std::string(kSource) + name),
              "srt of " + std::string(kMux) + "vob_" + name.substr(0, 4) + ".sup");
}

INSTANTIATE_TEST_SUITE_P(
    Settings, OutcomeTest,
    ::testing::Values(
        OutcomeCase{"MuxSrtIntoAvi", true, true, true, {"movie.avi"}, true, {}},
        OutcomeCase{
            "MuxSrtBesideAvi", true, true, false, {"movie.avi", "0x20.srt", "0x21.srt"}, true, {}},
        OutcomeCase{"NoMuxSrtChecked", false, true, true, {}, false, {"0x20.srt", "0x21.srt"}},
        OutcomeCase{"NoMuxSrtUnchecked", false, true, false, {}, false, {"0x20.srt", "0x21.srt"}},
        OutcomeCase{"MuxOriginalChecked",
                    true,
                    false,
                    true,
                    {"movie.avi", "movie.idx", "movie.sub"},
                    true,
                    {}},
        OutcomeCase{"MuxOriginalUnchecked",
                    true,
                    false,
                    false,
                    {"movie.avi", "movie.idx", "movie.sub"},
                    true,
                    {}},
        OutcomeCase{
            "NoMuxOriginalChecked", false, false, true, {"movie.idx", "movie.sub"}, true, {}},
        OutcomeCase{
            "NoMuxOriginalUnchecked", false, false, false, {"movie.idx", "movie.sub"}, true, {}}),
    [](const ::testing::TestParamInfo<OutcomeCase>& param) { return param.param.name; });

// The boxes stay usable during the pause before the clean-up: SRT files the
// job muxed beside the AVI are in nothing else, whatever "Mux all" says by
// the time the clean-up runs.
TEST_F(OutputTest, SrtFilesNowhereElseStayWhenMuxAllIsUncheckedBeforeTheCleanUp) {
  Settings(true, true, false);
  fake.onPause = [this] {
    if (fake.FileExists(std::string(kMux) + "movie.avi")) frm.SetCheck(ControlId::chkMux, 0);
  };
  frm.StartJob();
  EXPECT_EQ(Below(kMux), InMux({"0x20.srt", "0x21.srt", "movie.amg", "movie.avi"}));
}

TEST_F(OutputTest, WithoutCleanUpEveryIntermediateFileStays) {
  Settings(true, true, true, false);
  frm.StartJob();
  EXPECT_EQ(Below(kMux),
            InMux({"0x20.srt", "0x21.srt", "0x80.mp3", "0x81.mp3", "movie.amg", "movie.avi",
                   "movie.idx", "movie.sub", "vob_0x20.sup", "vob_0x21.sup"}));
  EXPECT_TRUE(fake.Calls({"DeleteFile("}).empty());
}

TEST_F(OutputTest, WithoutCleanUpOrMuxTheSrtFilesAreStillSaved) {
  Settings(false, true, true, false);
  frm.StartJob();
  EXPECT_EQ(Below(kSource), SourceFiles({"0x20.srt", "0x21.srt"}));
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "0x20.srt"));
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "0x80.mp3"));
}

TEST_F(OutputTest, CleanUpDeletesInTheFixedOrder) {
  Settings(false, true, true);
  frm.StartJob();
  EXPECT_EQ(fake.Calls({"DeleteFile("}), (Files{"DeleteFile(D:\\Rips\\Film\\mux\\0x80.mp3)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\0x81.mp3)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\movie.idx)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\movie.sub)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\vob_0x20.sup)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\vob_0x21.sup)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\0x20.srt)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\0x21.srt)"}));
  EXPECT_EQ(fake.Calls({"CopyFile(D:\\Rips\\Film\\mux\\0"}),
            (Files{"CopyFile(D:\\Rips\\Film\\mux\\0x20.srt,D:\\Rips\\Film\\0x20.srt)",
                   "CopyFile(D:\\Rips\\Film\\mux\\0x21.srt,D:\\Rips\\Film\\0x21.srt)"}));
  EXPECT_EQ(fake.Calls({"RemoveFolder("}), (Files{"RemoveFolder(D:\\Rips\\Film\\mux\\)"}));
}

TEST_F(OutputTest, MissingFilesAreSkippedAndTheRestGoesOn) {
  // Nothing unpacked, one track unconverted, no SRT written.
  Settings(false, true, true);
  script.unrarWrites = false;
  script.editorSaves = false;
  fake.onShellWait = [this, run = fake.onShellWait](const std::string& cmd, int style) {
    script.besweetWrites = cmd.find("0x81.ac3") != std::string::npos;
    return run(cmd, style);
  };
  frm.StartJob();
  EXPECT_EQ(fake.Calls({"DeleteFile("}), (Files{"DeleteFile(D:\\Rips\\Film\\mux\\0x81.mp3)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\movie.idx)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\vob_0x20.sup)",
                                                "DeleteFile(D:\\Rips\\Film\\mux\\vob_0x21.sup)"}));
  EXPECT_TRUE(fake.Calls({"CopyFile(D:\\Rips\\Film\\mux\\0"}).empty());
  EXPECT_FALSE(fake.FolderExists(kMux));
  EXPECT_EQ(LastMessage(),
            "ShowMessage(Quillon,warning,The job finished with problems:\r\n"
            "Missing result: D:\\Rips\\Film\\mux\\0x20.srt\r\n"
            "Missing result: D:\\Rips\\Film\\mux\\0x21.srt\r\n"
            "Missing result: D:\\Rips\\Film\\mux\\0x80.mp3)");
}

// Files off a disc are read-only, and so are the index's copy and what
// UnRAR restores from the archive: the clean-up removes them all the same,
// and touches nothing in the source folder.
TEST_F(OutputTest, ReadOnlyFilesFromADiscLeaveTheMuxFolderAsClean) {
  fake.SetReadOnly(std::string(kSource) + "movie.idx");
  fake.SetReadOnly(std::string(kSource) + "movie.rar");
  script.unrarReadOnly = true;
  for (const bool mux : {true, false}) {
    SCOPED_TRACE(mux ? "muxed" : "not muxed");
    if (fake.FolderExists(kMux)) {
      for (const auto& file : fake.FilesBelow(kMux)) fake.DeleteFile(file);
      fake.RemoveFolder(kMux);
    }
    Settings(mux, true, true);
    fake.calls.clear();
    frm.StartJob();
    EXPECT_EQ(LastMessage(), "ShowMessage(Quillon,information,Done!)");
    EXPECT_EQ(Below(kMux), mux ? InMux({"movie.avi"}) : Files{});
    EXPECT_EQ(fake.FolderExists(kMux), mux);
    EXPECT_TRUE(fake.ReadOnly(std::string(kSource) + "movie.idx"));
    for (const auto& call : fake.Calls({"ClearReadOnly("}))
      EXPECT_EQ(call.rfind("ClearReadOnly(" + std::string(kMux), 0), 0u) << call;
  }
}

TEST_F(OutputTest, TwoTracksWithOneKeyDeleteTheirMp3Once) {
  fake.AddFile(std::string(kSource) + "0x80 comm.ac3");
  frm.ScanSourceFolder();
  frm.SelectOption(ControlId::optAudMP3);
  Settings(true, true, true);
  frm.StartJob();
  EXPECT_EQ(fake.Calls({"DeleteFile(D:\\Rips\\Film\\mux\\0x80.mp3)"}).size(), 1u);
  EXPECT_EQ(LastMessage(), "ShowMessage(Quillon,information,Done!)");
}

TEST_F(OutputTest, AFolderThatStillHoldsOtherFilesStays) {
  Settings(false, true, true);
  bool added = false;
  fake.onPause = [&] {
    if (!added && fake.FolderExists(kMux)) fake.AddFile(std::string(kMux) + "readme.txt", "x");
    added = true;
  };
  frm.StartJob();
  EXPECT_EQ(Below(kMux), InMux({"readme.txt"}));
  EXPECT_TRUE(fake.Calls({"RemoveFolder("}).empty());
  EXPECT_EQ(Below(kSource), SourceFiles({"0x20.srt", "0x21.srt"}));
  EXPECT_EQ(LastMessage(), "ShowMessage(Quillon,information,Done!)");
}

// A virus scanner or the search indexer opens a fresh MP3 just as the
// clean-up wants it gone: for a moment, or for longer than the job waits.
TEST_F(OutputTest, AFileAnotherProgramHoldsIsTriedAgainThenLeftAsAProblem) {
  const std::string mp3 = std::string(kMux) + "0x80.mp3";
  for (const auto& [heldMs, muxLeft, message] :
       {std::tuple{500u, Files{"movie.avi", "movie.idx", "movie.sub"},
                   std::string("information,Done!")},
        std::tuple{0u, Files{"movie.avi", "movie.idx", "movie.sub", "0x80.mp3"},
                   "warning,The job finished with problems:\r\nCould not delete \"" + mp3 +
                       "\": locked"}}) {
    SCOPED_TRACE(heldMs);
    if (fake.FolderExists(kMux)) {
      for (const auto& file : fake.FilesBelow(kMux)) fake.DeleteFile(file);
      fake.RemoveFolder(kMux);
    }
    Settings(true, false, false);
    fake.calls.clear();
    fake.onPause = [&, heldMs = heldMs] {
      fake.LockFile(mp3);
      // The clean-up starts when the pause is over, a second from now.
      if (heldMs > 0) fake.At(fake.now + 1000 + heldMs, [&] { fake.UnlockFile(mp3); });
    };
    frm.StartJob();
    EXPECT_GT(fake.Calls({"DeleteFile(" + mp3}).size(), 1u);
    EXPECT_EQ(Below(kMux), InMux(muxLeft));
    EXPECT_EQ(LastMessage(), "ShowMessage(Quillon," + message + ")");
    fake.UnlockFile(mp3);
  }
}

TEST_F(OutputTest, ALockedTargetStopsTheJobAndKeepsTheSrtFiles) {
  Settings(false, true, true);
  fake.AddFile(std::string(kSource) + "0x21.srt", "the user's own");
  fake.LockFile(std::string(kSource) + "0x21.srt");
  frm.StartJob();
  EXPECT_EQ(LastMessage().rfind("ShowMessage(Quillon,error,The job stopped while copying the "
                                "subtitle files:\r\n",
                                0),
            0u)
      << LastMessage();
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "0x21.srt"));
  EXPECT_TRUE(fake.Calls({"DeleteFile("}).empty());
  EXPECT_EQ(fake.FileContent(std::string(kSource) + "0x21.srt"), "the user's own");
}

TEST_F(StageTest, WithoutARecognitionInThisJobNoListedSubtitleFileIsCopiedOrDeleted) {
  // The subtitle list still names files an earlier job left in this folder.
  fake.AddFile(std::string(kMux) + "vob_0x20.sup", "earlier");
  fake.AddFile(std::string(kMux) + "0x20.srt", "earlier");
  job.SubtitleFiles().SetFolder(kMux);
  ChooseSource({"0x80.ac3"});
  settings.muxAll = false;
  stages::CopySubtitleResults(job);
  stages::DeleteTempFiles(job);
  EXPECT_TRUE(fake.Calls({"CopyFile("}).empty());
  EXPECT_TRUE(fake.Calls({"DeleteFile("}).empty());
  EXPECT_TRUE(fake.FileExists(std::string(kMux) + "vob_0x20.sup"));
  EXPECT_TRUE(fake.FolderExists(kMux));
}

TEST_F(StageTest, OriginalSubtitlesCopyNothing) {
  fake.AddFile(std::string(kMux) + "movie.idx");
  stages::ConvertSubtitlesToSrt(job);
  settings.srt = false;
  fake.calls.clear();
  stages::CopySubtitleResults(job);
  EXPECT_TRUE(fake.calls.empty());
}

}  // namespace
}  // namespace quillon

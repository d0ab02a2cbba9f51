// Choosing a source folder: the audio track list and the default modes.

#include <gtest/gtest.h>

#include "stage_fixture.h"

namespace quillon {
namespace {

struct ScanCase {
  const char* name;
  std::vector<std::string> files;
  bool mp3;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
  *os << c.name;
}

class FolderScanTest : public WholeJobTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(FolderScanTest, TheFirstEntryChoosesTheAudioMode) {
  for (const auto& name : GetParam().files) fake.AddFile(std::string(kSource) + name);
  frm.ScanSourceFolder();
  const bool mp3 = GetParam().mp3;
  EXPECT_EQ(frm.Control(ControlId::optAudMP3).value, mp3 ? 1 : 0);
  EXPECT_EQ(frm.Control(ControlId::optAudOrig).value, mp3 ? 0 : 1);
  EXPECT_EQ(frm.Control(ControlId::cmbAudQual).enabled, mp3);
  EXPECT_EQ(frm.Control(ControlId::lblAudQual).enabled, mp3);
  // Every folder gets SRT subtitles muxed in, and Start.
  EXPECT_EQ(frm.Control(ControlId::optSubSRT).value, 1);
  EXPECT_EQ(frm.Control(ControlId::optSubOrig).value, 0);
  EXPECT_EQ(frm.Control(ControlId::chkSubMux).value, 1);
  EXPECT_TRUE(frm.Control(ControlId::chkSubMux).enabled);
  EXPECT_TRUE(frm.Control(ControlId::cmdStart).enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderScanTest,
    ::testing::Values(ScanCase{"OggFirst", {"0x80.ogg"}, true},
                      ScanCase{"UpperCaseOgg", {"0x80.OGG"}, false},
                      ScanCase{"OggSecond", {"0x80.ac3", "0x81.ogg"}, false},
                      ScanCase{"OggAfterAnMp3", {"0x80.mp3", "0x81.ogg"}, false},
                      ScanCase{"OnlyAudioIsListed", {"0x80.dts", "0x80.sup", "0x81.ogg"}, true},
                      ScanCase{"OggInsideTheName", {"a.ogg.wav", "b.ac3"}, true},
                      ScanCase{"OggWithUpperCaseName", {"MOVIE.ogg"}, true},
                      ScanCase{"NoAudio", {}, false},
                      ScanCase{"OggFolderOnlyCountsFiles", {"x.ogg\\inner.txt", "y.wav"}, false}),
    [](const ::testing::TestParamInfo<ScanCase>& param) { return param.param.name; });

TEST_F(StageTest, ScanListsTheSourceFolderAndAHiddenTrackIsNotSeen) {
  fake.AddFile(std::string(kSource) + "0x79.ogg", "", true);
  fake.AddFile(std::string(kSource) + "0x80.ac3");
  fake.AddFile(std::string(kSource) + "MOVIE.AC3");
  fake.AddFile(std::string(kSource) + "movie.wav");
  fake.AddFolder(std::string(kSource) + "x.wav");
  EXPECT_FALSE(stages::ScanSourceFolder(job));  // the original audio
  EXPECT_EQ(job.AudioTracks().Folder(), kSource);
  EXPECT_EQ(job.AudioTracks().Entries(),
            (std::vector<std::string>{"0x80.ac3", "MOVIE.AC3", "movie.wav"}));
}

TEST_F(WholeJobTest, ASecondScanUndoesTheUsersChoices) {
  ChooseSource({"0x80.ogg"});
  frm.SelectOption(ControlId::optAudOrig);
  frm.SelectOption(ControlId::optSubOrig);
  frm.ScanSourceFolder();
  EXPECT_EQ(frm.Control(ControlId::optAudMP3).value, 1);
  EXPECT_EQ(frm.Control(ControlId::optSubSRT).value, 1);
  EXPECT_EQ(frm.Control(ControlId::chkSubMux).value, 1);
}

TEST_F(StageTest, ATrackAddedAfterTheScanIsNotSeenByTheJob) {
  ChooseSource({"0x80.ac3"});
  fake.AddFile(std::string(kSource) + "0x81.ac3");
  stages::ConvertAudio(job);
  EXPECT_EQ(fake.Calls({"ShellWait("}).size(), 1u);
}

}  // namespace
}  // namespace quillon

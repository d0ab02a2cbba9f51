#pragma once
// The options a job reads, as plain values a test sets, and a job on the
// fake platform that reads them: a job without the window.

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"
#include "job/job.h"

namespace quillon {

struct SettingsStub : JobSettings {
  bool AudioToMp3() const override { return mp3; }
  std::string AudioBitRate() const override { return bitRate; }
  bool SubtitlesToSrt() const override { return srt; }
  bool SubtitlesIntoAvi() const override { return srtIntoAvi; }
  bool MuxAll() const override { return muxAll; }
  bool DeleteTemporaryFiles() const override { return deleteTemp; }
  bool CloseRequested() const override { return closeRequested; }
  bool SessionEnding() const override { return false; }

  // As the window opens: originals kept, all muxed, temporary files deleted.
  bool mp3 = false;
  std::string bitRate = "128";
  bool srt = false;
  bool srtIntoAvi = false;
  bool muxAll = true;
  bool deleteTemp = true;
  bool closeRequested = false;
};

class BareJobTest : public ::testing::Test {
 protected:
  testing::FakePlatform fake;
  SettingsStub settings;
  Job job{fake, settings};
};

}  // namespace quillon

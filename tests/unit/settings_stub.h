#pragma once
// The options a job reads, as plain values a test sets: a job without the
// window.

#include <string>

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

  bool mp3 = false;
  std::string bitRate = "128";
  bool srt = true;
  bool srtIntoAvi = true;
  bool muxAll = true;
  bool deleteTemp = true;
  bool closeRequested = false;
};

}  // namespace quillon

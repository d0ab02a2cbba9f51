#include "stages/stages.h"

namespace quillon::stages {

namespace {

// A second between the last tool and the clean-up, whatever the keystroke
// pause, so the tools have let go of their files.
void PauseBeforeCleanUp(Job& job) {
  job.Pause(1);
}

constexpr Stage kStages[] = {
    {"ExtractSubtitles", "extracting the subtitles",
     [](const Job& job) { return job.Files().HasSubtitles(); }, ExtractSubtitles},
    {"ConvertAudio", "converting the audio",
     [](const Job& job) { return job.Settings().AudioToMp3(); }, ConvertAudio},
    {"MuxMovie", "muxing the movie", [](const Job& job) { return job.Settings().MuxAll(); },
     MuxMovie},
    {"CopySubtitleResults", "copying the subtitle files",
     [](const Job& job) { return !job.Settings().MuxAll(); }, CopySubtitleResults},
    {"Pause", "waiting before the clean-up", [](const Job&) { return true; }, PauseBeforeCleanUp},
    {"DeleteTempFiles", "deleting the temporary files",
     [](const Job& job) { return job.Settings().DeleteTemporaryFiles(); }, DeleteTempFiles},
};

}  // namespace

std::span<const Stage> JobStages() {
  return kStages;
}

}  // namespace quillon::stages

#pragma once
// The stages the last job ran, in order, as its log tells them.

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "fakes/fake_platform.h"

namespace quillon {

// Each stage by its procedure's name ("ExtractSubtitles", ..., "Pause",
// "DeleteTempFiles"), from the step the driver names for it; a stage that
// names its own step the same way again is counted once. Empty when the
// last job did not start (it then has no log).
inline std::vector<std::string> StagesRun(FrmMain& frm) {
  static const std::pair<const char*, const char*> kSteps[] = {
      {"extracting the subtitles", "ExtractSubtitles"},
      {"converting the audio", "ConvertAudio"},
      {"muxing the movie", "MuxMovie"},
      {"copying the subtitle files", "CopySubtitleResults"},
      {"waiting before the clean-up", "Pause"},
      {"deleting the temporary files", "DeleteTempFiles"},
  };
  auto& fake = dynamic_cast<testing::FakePlatform&>(frm.job().System());
  std::vector<std::string> stages;
  const auto log = fake.FileContent(frm.job().Log().Path());
  if (frm.job().Log().Path().empty() || !log) return stages;
  std::istringstream lines(*log);
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find("] Step: ");
    if (at == std::string::npos) continue;
    std::string step = line.substr(at + 8);
    if (!step.empty() && step.back() == '\r') step.pop_back();
    for (const auto& [name, stage] : kSteps)
      if (step == name && std::find(stages.begin(), stages.end(), stage) == stages.end())
        stages.push_back(stage);
  }
  return stages;
}

}  // namespace quillon

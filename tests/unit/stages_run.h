#pragma once
// The stages the last job ran, in order, as its log tells them.

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "fakes/fake_platform.h"
#include "stages/stages.h"

namespace quillon {

// Each stage by its name in the driver's table ("ExtractSubtitles", ...,
// "Pause", "DeleteTempFiles"), from the step the table names for it; a stage
// that names its own step the same way again is counted once. Empty when the
// last job did not start (it then has no log).
inline std::vector<std::string> StagesRun(FrmMain& frm) {
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
    for (const Stage& stage : stages::JobStages())
      if (step == stage.step && std::find(stages.begin(), stages.end(), stage.name) == stages.end())
        stages.push_back(stage.name);
  }
  return stages;
}

}  // namespace quillon

#pragma once
// What a job could not do although it went on: tools that could not be
// started or that crashed, and results that are missing at the end. A job
// with anything here ends with a warning instead of "Done!".

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class JobReport {
 public:
  void Clear() {
    problems_.clear();
    notes_.clear();
  }
  void ToolNotStarted(const std::string& toolPath) { Add("Could not start " + toolPath); }
  void MissingResult(const std::string& path) { Add("Missing result: " + path); }
  // A result named by a pattern, with what its absence means.
  void MissingResult(const std::string& path, const std::string& what) {
    Add("Missing result: " + path + " (" + what + ")");
  }
  void ToolFailed(const std::string& toolPath, std::uint32_t exitCode) {
    Add(toolPath + " ended with exit code " + std::to_string(exitCode));
  }
  // `status` as the system writes it: "0xC0000005".
  void ToolCrashed(const std::string& toolPath, const std::string& status) {
    Add(toolPath + " crashed (exception " + status + ")");
  }
  // A file operation of the clean-up that another program kept from
  // working; `failure` names the file and the system's reason.
  void FileStillHeld(const std::string& failure) { Add(failure); }
  // What the user can do about the problems; shown after them, and no
  // problem by itself.
  void Note(const std::string& line) { notes_.push_back(line); }
  bool Empty() const { return problems_.empty(); }
  const std::vector<std::string>& Problems() const { return problems_; }
  const std::vector<std::string>& Notes() const { return notes_; }

 private:
  void Add(const std::string& line) {
    for (const auto& p : problems_)
      if (p == line) return;
    problems_.push_back(line);
  }
  std::vector<std::string> problems_;
  std::vector<std::string> notes_;
};

}  // namespace quillon

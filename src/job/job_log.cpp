#include "job/job_log.h"

#include "platform/add_backslash.h"

namespace quillon {

namespace {

constexpr char kLogFolder[] = "Quillon";
// "last-job.log", or "last-job-<n>.log" while other copies' jobs hold the
// ones before.
constexpr char kLogName[] = "last-job";
constexpr int kMostLogs = 9;
// Lets editors that guess the encoding (older Notepad) read the paths right.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";

// Every line break of `text` becomes CR LF followed by `indent`.
std::string Indented(const std::string& text, const std::string& indent) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += kLineEnd;
    out += indent;
  }
  return out;
}

std::string Padded(std::uint64_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::string LogStamp(std::uint64_t ms) {
  return "[" + std::to_string(ms / 60000) + ":" + Padded(ms / 1000 % 60, 2) + "." +
         Padded(ms % 1000, 3) + "]";
}

std::string ProgramName(const std::string& commandLine) {
  std::string program;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const auto close = commandLine.find('"', 1);
    program = commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    program = commandLine.substr(0, commandLine.find(' '));
  }
  const auto slash = program.find_last_of("\\/");
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

void JobLog::Begin(const std::vector<std::string>& heading) noexcept {
  Forget();
  try {
    const std::string base = platform_.GetSpecialFolder(SpecialFolder::LocalAppData);
    if (base.empty()) return;
    const std::string folder = AddBackslash(base) + kLogFolder;
    if (!platform_.FolderExists(folder)) platform_.CreateFolder(folder);
    std::string path;
    for (int copy = 1; copy <= kMostLogs && !file_; ++copy) {
      path = folder + "\\" + kLogName + (copy > 1 ? "-" + std::to_string(copy) : "") + ".log";
      file_ = platform_.HoldTextFile(path);
    }
    if (!file_) return;  // as many jobs as logs run already
    std::string text = kUtf8Mark;
    for (const auto& line : heading) text += Indented(line, "  ") + kLineEnd;
    file_->Append(text);
    path_ = path;
    writing_ = true;
    startMs_ = platform_.NowMilliseconds();
  } catch (...) {
    // No log is no reason to stop a job. Nothing is appended either: the
    // file may still hold an earlier job's account.
    Forget();
  }
}

void JobLog::Line(const std::string& text) noexcept {
  if (!writing_) return;
  try {
    const std::uint64_t now = platform_.NowMilliseconds();
    const std::string stamp = LogStamp(now >= startMs_ ? now - startMs_ : 0);
    file_->Append(stamp + " " + Indented(text, std::string(stamp.size() + 1, ' ')) + kLineEnd);
  } catch (...) {
    // A lost line must not stop the job; the next line is tried again.
  }
}

void JobLog::Forget() noexcept {
  file_.reset();
  path_.clear();
  writing_ = false;
  startMs_ = 0;
}

}  // namespace quillon

#include "fakes/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace quillon::testing {

namespace {

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string StripBackslash(const std::string& path) {
  std::string out = path;
  while (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

// True when every character of the UTF-8 text fits a Western code page.
bool FitsAnsi(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) continue;
    if ((c & 0xE0) == 0xC0 && c <= 0xC3) {  // U+0080..U+00FF
      ++i;
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace

std::string FakePlatform::Key(const std::string& path) {
  return Upper(StripBackslash(path));
}

std::string FakePlatform::Parent(const std::string& key) {
  const auto slash = key.rfind('\\');
  if (slash == std::string::npos) return "";
  return key.substr(0, slash == 2 ? 3 : slash);
}

void FakePlatform::AddFolder(const std::string& path) {
  const std::string stored = StripBackslash(path);
  const std::string key = Upper(stored);
  if (key.empty() || folders_.count(key)) return;
  const std::string parent = Parent(key);
  if (!parent.empty() && parent != key) AddFolder(stored.substr(0, parent.size()));
  folders_[key] = stored;
}

void FakePlatform::AddFile(const std::string& path, const std::string& content, bool hidden,
                           bool system) {
  const std::string key = Key(path);
  AddFolder(path.substr(0, Parent(key).size()));
  files_[key] = File{path, content, hidden, system};
}

void FakePlatform::SetReadOnly(const std::string& path, bool on) {
  files_.at(Key(path)).readOnly = on;
}

bool FakePlatform::ReadOnly(const std::string& path) const {
  const auto it = files_.find(Key(path));
  return it != files_.end() && it->second.readOnly;
}

std::optional<std::string> FakePlatform::FileContent(const std::string& path) const {
  const auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.content;
}

std::vector<std::string> FakePlatform::FilesBelow(const std::string& folder) const {
  const std::string prefix = Key(folder) + "\\";
  std::vector<std::string> out;
  for (const auto& [key, file] : files_)
    if (key.rfind(prefix, 0) == 0) out.push_back(file.path);
  return out;
}

WindowHandle FakePlatform::AddWindow(const std::string& caption, std::uint32_t process) {
  const WindowHandle handle = nextWindow_++;
  windows_[handle] = Window{caption, process};
  // A window that opens while the user works in another program stays
  // behind it: Windows keeps the front for the user.
  if (now < userActiveUntil && !front_.empty())
    front_.insert(front_.end() - 1, handle);
  else
    front_.push_back(handle);
  return handle;
}

void FakePlatform::RemoveWindow(WindowHandle window) {
  windows_.erase(window);
  std::erase(front_, window);
}

void FakePlatform::SetReadyForKeys(WindowHandle window, bool ready) {
  windows_[window].readyForKeys = ready;
}

WindowHandle FakePlatform::ForegroundWindow() {
  return front_.empty() ? 0 : front_.back();
}

bool FakePlatform::TookInKeys(WindowHandle window) {
  return keysTakenIn && windows_.contains(window) && !Busy(window);
}

bool FakePlatform::ReadyForKeys(WindowHandle window) {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.readyForKeys && window == ForegroundWindow() &&
         !Busy(window);
}

void FakePlatform::Busy(WindowHandle window, std::uint64_t untilMs) {
  windows_[window].busyUntil = untilMs;
}

bool FakePlatform::Busy(WindowHandle window) const {
  const auto it = windows_.find(window);
  return it != windows_.end() && now < it->second.busyUntil;
}

std::uint32_t FakePlatform::WindowProcess(WindowHandle window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.process;
}

std::uint64_t FakePlatform::MsSinceUserInput() {
  return now >= userActiveUntil ? now - userActiveUntil : 0;
}

void FakePlatform::FlashWindow(WindowHandle window) {
  calls.push_back("FlashWindow(" + WindowCaption(window) + ")");
}

bool FakePlatform::AnsiCanHold(const std::string& text) {
  // UTF-8 lead bytes above 0xC3 start characters beyond U+00FF.
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) > 0xC3; });
}

void FakePlatform::RetitleWindow(WindowHandle window, const std::string& caption) {
  windows_[window].caption = caption;
}

std::string FakePlatform::WindowCaption(WindowHandle window) const {
  const auto it = windows_.find(window);
  return it == windows_.end() ? std::string() : it->second.caption;
}

void FakePlatform::At(std::uint64_t atMs, std::function<void()> action) {
  timeline_.emplace(atMs, std::move(action));
}

std::vector<std::string> FakePlatform::Calls(const std::vector<std::string_view>& prefixes) const {
  std::vector<std::string> out;
  for (const auto& call : calls)
    if (std::ranges::any_of(prefixes, [&](std::string_view p) { return call.starts_with(p); }))
      out.push_back(call);
  return out;
}

long FakePlatform::Position(std::string_view prefix) const {
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (calls[i].starts_with(prefix)) return static_cast<long>(i);
  return -1;
}

void FakePlatform::AdvanceTo(std::uint64_t ms) {
  while (!timeline_.empty() && timeline_.begin()->first <= ms) {
    auto node = timeline_.extract(timeline_.begin());
    now = std::max(now, node.key());
    node.mapped()();
  }
  now = std::max(now, ms);
}

bool FakePlatform::FileExists(const std::string& path) {
  return files_.count(Key(path)) > 0;
}

std::optional<std::uint64_t> FakePlatform::FileSize(const std::string& path) {
  const auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.content.size();
}

bool FakePlatform::FolderExists(const std::string& path) {
  return folders_.count(Key(path)) > 0;
}

std::vector<FolderEntry> FakePlatform::ListFolder(const std::string& folder) {
  const std::string key = Key(folder);
  std::vector<FolderEntry> out;
  if (!folders_.count(key)) return out;
  for (const auto& [fileKey, file] : files_)
    if (Parent(fileKey) == key)
      out.push_back({file.path.substr(file.path.rfind('\\') + 1), false, file.hidden, file.system});
  for (const auto& [folderKey, stored] : folders_)
    if (folderKey != key && Parent(folderKey) == key)
      out.push_back({stored.substr(stored.rfind('\\') + 1), true, false, false});
  return out;
}

void FakePlatform::CheckWritable(const std::string& path, const std::string& what) {
  if (locked_.count(Key(path)))
    throw FileHeldError("Could not " + what + " \"" + path + "\": locked");
  if (ReadOnly(path)) throw PlatformError("Could not " + what + " \"" + path + "\": access denied");
  if (!folders_.count(Parent(Key(path))))
    throw PlatformError("Could not " + what + " \"" + path + "\": path not found");
}

void FakePlatform::CopyFile(const std::string& from, const std::string& to) {
  calls.push_back("CopyFile(" + from + "," + to + ")");
  const auto it = files_.find(Key(from));
  if (it == files_.end()) throw PlatformError("Could not copy \"" + from + "\": file not found");
  CheckWritable(to, "copy to");
  const File source = it->second;
  files_[Key(to)] = File{to, source.content, source.hidden, source.system, source.readOnly};
}

void FakePlatform::DeleteFile(const std::string& path) {
  calls.push_back("DeleteFile(" + path + ")");
  if (!files_.count(Key(path)))
    throw PlatformError("Could not delete \"" + path + "\": file not found");
  CheckWritable(path, "delete");
  files_.erase(Key(path));
}

void FakePlatform::ClearReadOnly(const std::string& path) {
  calls.push_back("ClearReadOnly(" + path + ")");
  const auto it = files_.find(Key(path));
  if (it == files_.end())
    throw PlatformError("Could not make \"" + path + "\" writable: file not found");
  it->second.readOnly = false;
}

void FakePlatform::CreateFolder(const std::string& path) {
  calls.push_back("CreateFolder(" + path + ")");
  const std::string key = Key(path);
  if (folders_.count(key) || files_.count(key))
    throw PlatformError("Could not create \"" + path + "\": it already exists");
  if (!folders_.count(Parent(key)))
    throw PlatformError("Could not create \"" + path + "\": path not found");
  folders_[key] = StripBackslash(path);
}

void FakePlatform::RemoveFolder(const std::string& path) {
  calls.push_back("RemoveFolder(" + path + ")");
  const std::string key = Key(path);
  if (!folders_.count(key)) throw PlatformError("Could not remove \"" + path + "\": not found");
  if (!ListFolder(path).empty())
    throw PlatformError("Could not remove \"" + path + "\": the folder is not empty");
  if (locked_.count(key)) throw FileHeldError("Could not remove \"" + path + "\": locked");
  folders_.erase(key);
}

void FakePlatform::WriteAnsiTextFile(const std::string& path, const std::string& text) {
  calls.push_back("WriteAnsiTextFile(" + path + ")");
  if (!FitsAnsi(text))
    throw PlatformError("Could not write \"" + path +
                        "\": the system code page cannot hold its text");
  CheckWritable(path, "write");
  files_[Key(path)] = File{path, text, false, false};
}

std::unique_ptr<HeldTextFile> FakePlatform::HoldTextFile(const std::string& path) {
  class Held : public HeldTextFile {
   public:
    Held(FakePlatform& fake, std::string path) : fake_(fake), path_(std::move(path)) {
      fake_.held_.insert(Key(path_));
    }
    ~Held() override { fake_.held_.erase(Key(path_)); }
    void Append(const std::string& utf8Text) override {
      fake_.CheckWritable(path_, "write");
      File& file = fake_.files_[Key(path_)];
      if (file.path.empty()) file.path = path_;
      file.content += utf8Text;
    }

   private:
    FakePlatform& fake_;
    std::string path_;
  };
  if (held_.count(Key(path))) return nullptr;
  CheckWritable(path, "write");
  files_[Key(path)] = File{path, "", false, false};
  return std::make_unique<Held>(*this, path);
}

bool FakePlatform::ProgramExists(const std::string& commandLine) {
  std::string program;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const auto close = commandLine.find('"', 1);
    program = commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    program = commandLine.substr(0, commandLine.find(' '));
  }
  return FileExists(program);
}

ProcessOutcome FakePlatform::ShellWait(const std::string& commandLine, int showStyle,
                                       std::uint32_t timeoutMs) {
  calls.push_back("ShellWait(" + commandLine + "," + std::to_string(showStyle) + ")");
  (void)timeoutMs;
  if (onShellWait) return onShellWait(commandLine, showStyle);
  ProcessOutcome outcome;
  outcome.started = ProgramExists(commandLine);
  outcome.finished = outcome.started;
  return outcome;
}

bool FakePlatform::StartProgram(const std::string& commandLine, int showStyle) {
  calls.push_back("StartProgram(" + commandLine + "," + std::to_string(showStyle) + ")");
  if (onStartProgram) return onStartProgram(commandLine, showStyle);
  return ProgramExists(commandLine);
}

void FakePlatform::ShellOpen(const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int showStyle) {
  calls.push_back("ShellOpen(" + verb + "," + file + "," + parameters + "," + folder + "," +
                  std::to_string(showStyle) + ")");
}

void FakePlatform::WaitSeconds(std::int32_t seconds) {
  calls.push_back("WaitSeconds(" + std::to_string(seconds) + ")");
  if (onPause) onPause();
  AdvanceTo(now + static_cast<std::uint64_t>(std::max(seconds, 0)) * 1000);
}

void FakePlatform::PumpMessagesFor(std::uint32_t ms) {
  AdvanceTo(now + std::max(ms, 1u));
}

WindowHandle FakePlatform::FindCaption(const std::string& caption) {
  const std::string wanted = Upper(caption);
  for (const auto& [handle, window] : windows_)
    if (Upper(window.caption) == wanted) return handle;
  return 0;
}

WindowHandle FakePlatform::FindCaptionPrefix(const std::string& prefix) {
  const std::string wanted = Upper(prefix);
  for (const auto& [handle, window] : windows_)
    if (Upper(window.caption).rfind(wanted, 0) == 0) return handle;
  return 0;
}

bool FakePlatform::ActivateWindow(WindowHandle window) {
  const bool exists = windows_.count(window) > 0;
  if (exists && window != ForegroundWindow() && (desktopLocked || now < userActiveUntil)) {
    calls.push_back("ActivateWindow(refused " + windows_[window].caption + ")");
    return false;
  }
  calls.push_back("ActivateWindow(" + (exists ? windows_[window].caption : std::string("0")) + ")");
  if (exists) {
    std::erase(front_, window);
    front_.push_back(window);
  }
  return exists;
}

void FakePlatform::ClickControl(WindowHandle window, int controlId) {
  calls.push_back("ClickControl(" + WindowCaption(window) + "," + std::to_string(controlId) + ")");
  if (!Busy(window)) {
    if (onClick) onClick(window, controlId);
    return;
  }
  clicksQueued_.insert(window);
  At(windows_[window].busyUntil, [this, window, controlId] {
    clicksQueued_.erase(window);
    if (onClick && windows_.contains(window)) onClick(window, controlId);
  });
}

std::string FakePlatform::KeyText(const std::vector<KeyStroke>& keys) {
  std::string out;
  for (const auto& key : keys) {
    if (key.alt) out += '%';
    switch (key.virtualKey) {
      case 0x0D:
        out += "{ENTER}";
        break;
      case 0x28:
        out += "{DOWN}";
        break;
      case 0x73:
        out += "{F4}";
        break;
      default:
        out += static_cast<char>(key.virtualKey);
        break;
    }
  }
  return out;
}

std::string FakePlatform::IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return "none";
    case MessageIcon::Information:
      return "information";
    case MessageIcon::Warning:
      return "warning";
    case MessageIcon::Error:
      return "error";
  }
  return "?";
}

bool FakePlatform::InputReaches(WindowHandle window) {
  if (beforeInput) std::exchange(beforeInput, nullptr)();
  if (!heldKeys.empty()) {
    AdvanceTo(std::min(heldKeysUntil, now + limits_.heldKeysMs));
    if (now < heldKeysUntil) calls.push_back("LetGo(" + heldKeys + ")");
    heldKeys.clear();
  }
  return !desktopLocked && windows_.contains(window) && window == ForegroundWindow();
}

bool FakePlatform::SendKeys(WindowHandle window, const std::vector<KeyStroke>& keys) {
  if (!InputReaches(window)) return false;
  calls.push_back("SendKeys(" + KeyText(keys) + ")");
  received.push_back(WindowCaption(window) + " <- " + KeyText(keys));
  if (onKeys) onKeys(keys);
  return true;
}

bool FakePlatform::SendText(WindowHandle window, const std::string& text) {
  if (!InputReaches(window)) return false;
  calls.push_back("SendText(" + text + ")");
  received.push_back(WindowCaption(window) + " <- " + text);
  if (onText) onText(text);
  return true;
}

std::string FakePlatform::BrowseForFolder(const std::string& title) {
  calls.push_back("BrowseForFolder(" + title + ")");
  return browseAnswer;
}

std::string FakePlatform::GetSpecialFolder(SpecialFolder folder) {
  return folder == SpecialFolder::AppData ? appDataFolder : localAppDataFolder;
}

std::optional<std::string> FakePlatform::ReadSetting(const std::string& app,
                                                     const std::string& section,
                                                     const std::string& key) {
  const auto it = settings.find(app + "\\" + section + "\\" + key);
  if (it == settings.end()) return std::nullopt;
  return it->second;
}

void FakePlatform::WriteSetting(const std::string& app, const std::string& section,
                                const std::string& key, const std::string& value) {
  calls.push_back("WriteSetting(" + app + "\\" + section + "\\" + key + "=" + value + ")");
  settings[app + "\\" + section + "\\" + key] = value;
}

void FakePlatform::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon,
                               std::uint32_t closeAfterMs) {
  const std::string limit =
      closeAfterMs > 0 ? "closes after " + std::to_string(closeAfterMs) + " ms," : "";
  calls.push_back("ShowMessage(" + title + "," + IconName(icon) + "," + limit + text + ")");
  if (onMessage) onMessage(text, title, icon);
}

std::optional<std::string> FakePlatform::InputBox(const std::string& prompt,
                                                  const std::string& title,
                                                  const std::string& defaultText) {
  calls.push_back("InputBox(" + title + "," + prompt + "," + defaultText + ")");
  if (inputAnswers.empty()) return std::nullopt;
  auto answer = inputAnswers.front();
  inputAnswers.pop_front();
  return answer;
}

bool FakePlatform::WaitForStartedPrograms(std::uint32_t limitMs) {
  AdvanceTo(std::min(startedProgramsEndAt, now + limitMs));
  return startedProgramsEndAt <= now;
}

ProcessOutcome FakePlatform::RunCommand(const std::string& commandLine, int showStyle,
                                        std::uint32_t timeoutMs) {
  calls.push_back("RunCommand(" + commandLine + "," + std::to_string(showStyle) + ")");
  (void)timeoutMs;
  if (onRunCommand) return onRunCommand(commandLine, showStyle);
  return ProcessOutcome(true, true, 0);
}

std::unique_ptr<AwakeScope> FakePlatform::KeepAwake() {
  class Held : public AwakeScope {
   public:
    explicit Held(int& holds) : holds_(holds) { ++holds_; }
    ~Held() override { --holds_; }

   private:
    int& holds_;
  };
  ++awakeHoldsMade;
  return std::make_unique<Held>(awakeHolds);
}

}  // namespace quillon::testing

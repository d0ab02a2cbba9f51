// AVIMux_GUI.exe: the muxer. Its command line is the quoted path of a job
// script, which it reads as strictly as the real muxer does: CR LF line ends,
// upper-case keywords split on single spaces, no blank lines, options only in
// the mode (input or output) they belong to. Where the real muxer would stop
// on a modal "unknown command" box and wait for a user, the stand-in logs
// the line and exits with code 3. A good script "muxes": the START target
// gets a text listing what was loaded, in order.

#include <map>
#include <vector>

#include "support/standin.h"
#include "tool_model/outside_tools.h"

namespace {

constexpr int kScriptError = 3;
constexpr wchar_t kCaption[] = L"AVI-Mux GUI";

struct ScriptError {
  std::wstring reason;
};

enum class StreamKind { kVideo, kAudio, kSubtitle };

struct LoadedFile {
  StreamKind kind;
  std::wstring path;
  int audio_number = 0;  // 1, 2, ... among the audio files
};

std::vector<std::wstring> Words(const std::wstring& text) {
  std::vector<std::wstring> words;
  size_t start = 0;
  for (;;) {
    const size_t space = text.find(L' ', start);
    words.push_back(text.substr(start, space - start));
    if (space == std::wstring::npos) return words;
    start = space + 1;
  }
}

bool IsNumber(const std::wstring& word) {
  return !word.empty() && word.size() < 9 &&
         word.find_first_not_of(L"0123456789") == std::wstring::npos;
}

bool IsFlag(const std::wstring& word) {
  return word == L"0" || word == L"1";
}

std::wstring LowerExtension(const std::wstring& path) {
  const size_t dot = path.rfind(L'.');
  const size_t slash = path.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return {};
  std::wstring extension = path.substr(dot + 1);
  for (wchar_t& ch : extension) ch = static_cast<wchar_t>(towlower(ch));
  return extension;
}

// The muxer's state while it runs a script.
class Muxer {
 public:
  void Run(const std::wstring& line, bool is_last_line);
  std::string Report() const;

  bool done_dialog = true;
  bool close_app = false;
  std::wstring target;

 private:
  void Load(const std::wstring& path);
  void SetOption(const std::wstring& option);
  bool IsInputOption(const std::vector<std::wstring>& w) const;
  bool IsOutputOption(const std::vector<std::wstring>& w) const;
  void ApplyOutputOption(const std::vector<std::wstring>& w);

  std::vector<std::wstring> with_prefixes_;
  bool output_mode_ = false;
  bool verify_cbr_never_ = false;
  std::vector<LoadedFile> files_;
  int audio_count_ = 0;
  size_t selected_ = 0;  // 1-based; 0 = none
  bool has_video_source_ = false;
  std::map<int, std::wstring> audio_names_;
  std::wstring interleave_;
};

void Muxer::Run(const std::wstring& line, bool is_last_line) {
  if (line == L"END WITH") {
    if (with_prefixes_.empty()) throw ScriptError{L"END WITH without WITH"};
    with_prefixes_.pop_back();
    return;
  }
  if (line.rfind(L"WITH ", 0) == 0) {
    with_prefixes_.push_back(line.substr(5));
    return;
  }
  // Inside WITH blocks each line continues the prefixes of the open blocks.
  std::wstring command;
  for (const std::wstring& prefix : with_prefixes_) command += prefix + L" ";
  command += line;

  if (command == L"CLEAR") {
    files_.clear();
    audio_count_ = 0;
    selected_ = 0;
    has_video_source_ = false;
    audio_names_.clear();
  } else if (command == L"SET INPUT OPTIONS") {
    output_mode_ = false;
  } else if (command == L"SET OUTPUT OPTIONS") {
    output_mode_ = true;
  } else if (command.rfind(L"SET OPTION ", 0) == 0) {
    SetOption(command.substr(11));
  } else if (command.rfind(L"LOAD ", 0) == 0) {
    Load(command.substr(5));
  } else if (command.rfind(L"SELECT FILE ", 0) == 0) {
    const std::wstring n = command.substr(12);
    if (!IsNumber(n) || std::stoul(n) < 1 || std::stoul(n) > files_.size()) {
      throw ScriptError{L"no file " + n + L" to select"};
    }
    selected_ = std::stoul(n);
  } else if (command == L"ADD VIDEOSOURCE") {
    if (selected_ == 0 || files_[selected_ - 1].kind != StreamKind::kVideo) {
      throw ScriptError{L"the selected file holds no video"};
    }
    has_video_source_ = true;
  } else if (command.rfind(L"START ", 0) == 0) {
    target = command.substr(6);
    const bool absolute = (target.size() > 3 && target[1] == L':' && target[2] == L'\\') ||
                          target.rfind(L"\\\\", 0) == 0;
    if (!absolute) throw ScriptError{L"START path is not absolute: " + target};
    if (LowerExtension(target) != L"avi") throw ScriptError{L"START path is no .avi: " + target};
    if (!has_video_source_) throw ScriptError{L"START without a video source"};
    if (!with_prefixes_.empty()) throw ScriptError{L"START inside an open WITH block"};
    if (!is_last_line) throw ScriptError{L"lines after START"};
  } else {
    throw ScriptError{L"unknown command: " + command};
  }
}

void Muxer::Load(const std::wstring& path) {
  if (!standin::IsFile(path)) throw ScriptError{L"cannot open " + path};
  const std::wstring extension = LowerExtension(path);
  LoadedFile file{StreamKind::kVideo, path};
  if (extension == L"avi") {
    file.kind = StreamKind::kVideo;
  } else if (extension == L"mp3" || extension == L"ac3" || extension == L"wav" ||
             extension == L"ogg" || extension == L"dts" || extension == L"aac") {
    // Without "MP3 VERIFY CBR NEVER" the muxer asks about every MP3 file.
    if (extension == L"mp3" && !verify_cbr_never_) {
      throw ScriptError{L"would ask whether to verify the CBR of " + path};
    }
    file.kind = StreamKind::kAudio;
    file.audio_number = ++audio_count_;
  } else if (extension == L"srt" || extension == L"ssa" || extension == L"ass") {
    file.kind = StreamKind::kSubtitle;
  } else {
    throw ScriptError{L"unknown file type: " + path};
  }
  files_.push_back(file);
}

bool Muxer::IsInputOption(const std::vector<std::wstring>& w) const {
  return w == std::vector<std::wstring>{L"MP3", L"VERIFY", L"CBR", L"NEVER"};
}

bool Muxer::IsOutputOption(const std::vector<std::wstring>& w) const {
  const size_t n = w.size();
  if (n >= 4 && w[0] == L"AUDIO" && w[1] == L"NAME") return IsNumber(w[2]);
  if (n == 2 &&
      (w[0] == L"CLOSEAPP" || w[0] == L"DONEDLG" || w[0] == L"OPENDML" || w[0] == L"RECLISTS")) {
    return IsFlag(w[1]);
  }
  if (n == 3 && w[0] == L"ALL" && w[1] == L"AUDIO") return IsFlag(w[2]);
  if (n == 4 && w[0] == L"AUDIO" && w[1] == L"INTERLEAVE") {
    return IsNumber(w[2]) && (w[3] == L"FR" || w[3] == L"KB");
  }
  if (n == 3 && w[0] == L"AVI" && w[1] == L"ADDJUNKBEFOREHEADERS") return IsFlag(w[2]);
  if (n == 2 && w[0] == L"PRELOAD") return IsNumber(w[1]);
  if (n == 2 && (w[0] == L"NUMBERING" || w[0] == L"MAXFILESIZE" || w[0] == L"MAXFILES")) {
    return w[1] == L"OFF";
  }
  return false;
}

void Muxer::SetOption(const std::wstring& option) {
  const std::vector<std::wstring> w = Words(option);
  const bool input = IsInputOption(w);
  const bool output = IsOutputOption(w);
  if (!input && !output) throw ScriptError{L"unknown option: " + option};
  if ((input && output_mode_) || (output && !output_mode_)) {
    throw ScriptError{L"unknown option in " + std::wstring(output_mode_ ? L"output" : L"input") +
                      L" mode: " + option};
  }
  if (input) {
    verify_cbr_never_ = true;
  } else {
    ApplyOutputOption(w);
  }
}

void Muxer::ApplyOutputOption(const std::vector<std::wstring>& w) {
  if (w[0] == L"AUDIO" && w[1] == L"NAME") {
    const int n = std::stoi(w[2]);
    if (n < 1 || n > audio_count_) throw ScriptError{L"no audio stream " + w[2] + L" to name"};
    std::wstring name = w[3];
    for (size_t i = 4; i < w.size(); ++i) name += L" " + w[i];
    audio_names_[n] = name;
  } else if (w[0] == L"CLOSEAPP") {
    close_app = w[1] == L"1";
  } else if (w[0] == L"DONEDLG") {
    done_dialog = w[1] == L"1";
  } else if (w[0] == L"AUDIO" && w[1] == L"INTERLEAVE") {
    interleave_ = w[2] + L" " + w[3];
  }
}

std::string Muxer::Report() const {
  std::wstring text;
  for (const LoadedFile& file : files_) {
    switch (file.kind) {
      case StreamKind::kVideo:
        text += L"video " + file.path + L"\r\n";
        break;
      case StreamKind::kAudio: {
        const auto name = audio_names_.find(file.audio_number);
        text += L"audio " + std::to_wstring(file.audio_number) + L" " +
                (name == audio_names_.end() ? L"-" : name->second) + L" " + file.path + L"\r\n";
        break;
      }
      case StreamKind::kSubtitle:
        text += L"subtitle " + file.path + L"\r\n";
        break;
    }
  }
  text += L"interleave " + (interleave_.empty() ? L"-" : interleave_) + L"\r\n";
  return standin::ToUtf8(text);
}

// Runs the whole script; throws ScriptError with the line number on the
// first line the muxer would refuse.
void RunScript(const std::string& script, Muxer& muxer) {
  if (script.empty()) throw ScriptError{L"line 1: empty script"};
  size_t pos = 0;
  for (int number = 1; pos < script.size(); ++number) {
    const std::wstring at = L"line " + std::to_wstring(number) + L": ";
    const size_t lf = script.find('\n', pos);
    if (lf == std::string::npos) throw ScriptError{at + L"does not end in CR LF"};
    if (lf == pos || script[lf - 1] != '\r') throw ScriptError{at + L"ends in LF without CR"};
    const std::string raw = script.substr(pos, lf - 1 - pos);
    pos = lf + 1;
    if (raw.find('\r') != std::string::npos) throw ScriptError{at + L"stray CR inside the line"};
    if (raw.empty()) throw ScriptError{at + L"unknown command: blank line"};
    try {
      muxer.Run(standin::FromAnsi(raw), pos == script.size());
    } catch (const ScriptError& error) {
      throw ScriptError{at + error.reason};
    }
  }
  if (muxer.target.empty()) throw ScriptError{L"the script has no START line"};
}

standin::Mode g_mode;
std::wstring g_script_path;

// Runs the script once the window is up, as the real muxer does after it has
// shown its main window.
void Mux(HWND window) {
  const std::optional<std::string> script = standin::ReadBytes(g_script_path);
  if (!script) {
    standin::Log(L"error", L"cannot open script " + g_script_path);
    standin::Exit(kScriptError);
  }
  Muxer muxer;
  try {
    RunScript(*script, muxer);
  } catch (const ScriptError& error) {
    standin::Log(L"error", error.reason);
    standin::Exit(kScriptError);
  }
  std::string report = muxer.Report();
  if (g_mode.kind == standin::ModeKind::kPartialCrash) {
    report.resize(report.size() / 2);
    standin::WriteWholeFile(muxer.target, report);
    standin::Log(L"wrote", muxer.target + L" (cut short)");
    standin::Crash();
  }
  if (!standin::WriteWholeFile(muxer.target, report)) standin::Exit(kScriptError);
  standin::Log(L"wrote", muxer.target);
  if (muxer.done_dialog) {
    standin::Log(L"done dialog");
    MessageBoxW(window, L"Muxing finished.", kCaption, MB_OK | MB_ICONINFORMATION);
  }
  if (muxer.close_app) standin::Exit(0);
  standin::Log(L"waiting", L"the main window stays open until it is closed");
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      KillTimer(window, wparam);
      Mux(window);
      return 0;
    case WM_DESTROY:
      standin::Log(L"closed");
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  g_mode = standin::Start();
  const auto call = quillon::tool_model::ReadAviMuxCall(std::wstring_view(GetCommandLineW()));
  if (!call || !standin::IsOwnPath(call->program)) {
    standin::Log(L"error", L"command line is not one quoted script path");
    standin::Exit(kScriptError);
  }
  g_script_path = call->script;
  standin::Log(L"script", g_script_path);
  if (g_mode.kind == standin::ModeKind::kNoWindow) standin::RunWithoutWindow();

  HWND window = standin::CreateTopLevelWindow(
      L"QuillonStandinAviMux", standin::MainCaption(g_mode, kCaption), WindowProc, 320, 120);
  standin::Show(window, show);
  if (g_mode.kind == standin::ModeKind::kHang) {
    standin::Log(L"hang", L"the muxing never starts");
  } else {
    SetTimer(window, 1, g_mode.DelayOr(standin::kUsualDelayMs), nullptr);
  }
  standin::Exit(standin::RunMessageLoop());
}

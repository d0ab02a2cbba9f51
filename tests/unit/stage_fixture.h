#pragma once
// The stages are tested two ways, against the same scripted stand-ins for
// the five outside tools and a source movie folder: one stage at a time on a
// job without the main window, its options set on the stub; and whole jobs
// through the main window. The command-line tools write their outputs when
// "run", the two GUI ones open, retitle and close windows in answer to the
// macro's clicks and keys.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app_fixture.h"
#include "fakes/fake_platform.h"
#include "job/job_files.h"
#include "settings_stub.h"
#include "stages/stages.h"
#include "stages/tool_windows.h"
#include "tool_model/outside_tools.h"

namespace quillon {

inline constexpr char kSource[] = "D:\\Rips\\Film\\";
inline constexpr char kMux[] = "D:\\Rips\\Film\\mux\\";
inline const std::string kEditorCaption =
    std::string(tools::kSubEditCaptionPrefix) + "A. N. Author";
inline const std::string kOcrCaption =
    std::string(tools::kOcrProgressCaptionPrefix) + "A. N. Other)";
inline constexpr char kSettingsFile[] = "C:\\Users\\me\\AppData\\Roaming\\DVDSubEdit.ini";

// How the scripted GUI tools behave; times in virtual milliseconds.
struct ToolScript {
  std::vector<std::string> supFiles{"vob_0x20.sup"};  // what SubToSup writes into the mux folder
  bool converterShowsWindow = true;
  bool converterFinishes = true;
  std::uint64_t windowDelayMs = 300;
  std::uint64_t convertMs = 4000;
  std::uint64_t ocrMs = 6000;
  bool ocrEnds = true;
  bool editorSaves = true;  // false: the save dialog writes nothing
  // The editor recreates its settings file, as a real run would.
  bool editorWritesSettings = false;
  // Command-line tools.
  bool unrarWrites = true;
  bool unrarReadOnly = false;  // restores the read-only attribute stored in the archive
  bool besweetWrites = true;
  bool avimuxWrites = true;
  // The tool ("BeSweet", "DVDSubEdit", "AVI-Mux GUI") that writes its output
  // as an empty file.
  std::string emptyOutputOf;
};

// The tools, shared by both kinds of test.
class ScriptedTools {
 public:
  // The tools answer at the paths `files` holds when they are run.
  ScriptedTools(testing::FakePlatform& fake, const JobFiles& files) : fake_(fake), files_(files) {
    fake.onStartProgram = [this](const std::string& cmd, int style) { return Start(cmd, style); };
    fake.onShellWait = [this](const std::string& cmd, int) { return Run(cmd); };
    fake.onClick = [this](WindowHandle window, int id) { Click(window, id); };
    fake.onKeys = [this](const std::vector<KeyStroke>& keys) { Keys(keys); };
    fake.onText = [this](const std::string& text) { typed_ = text; };
  }
  ScriptedTools(const ScriptedTools&) = delete;
  ScriptedTools& operator=(const ScriptedTools&) = delete;

  // Puts the five tools where the job looks for them.
  void InstallTools() {
    for (const std::string& tool :
         {files_.UnRar(), files_.SubToSup(), files_.SubEdit(), files_.BeSweet(), files_.AviMux()})
      fake_.AddFile(tool);
  }

  // The calls that talk to the tools, in order.
  std::vector<std::string> MacroCalls() const {
    return fake_.Calls({"StartProgram(", "ActivateWindow(", "ClickControl(", "SendKeys(",
                        "SendText(", "WaitSeconds(", "DeleteFile(", "ShellWait("});
  }

  ToolScript script;
  int editorStarts = 0;

 private:
  // A window that the next Alt+F4 closes: the most recent one still open.
  void Open(WindowHandle window) { stack_.push_back(window); }
  void CloseTop() {
    while (!stack_.empty() && fake_.WindowCaption(stack_.back()).empty()) stack_.pop_back();
    if (stack_.empty()) return;
    const WindowHandle top = stack_.back();
    stack_.pop_back();
    if (top == converter_) converter_ = 0;
    if (top == editor_) editor_ = 0;
    fake_.RemoveWindow(top);
  }

  bool Start(const std::string& cmd, int) {
    if (!fake_.FileExists(cmd)) return false;
    if (cmd == files_.SubToSup()) {
      if (!script.converterShowsWindow) return true;
      fake_.At(fake_.now + script.windowDelayMs, [this] {
        converter_ = fake_.AddWindow(tools::kSubToSupCaption);
        Open(converter_);
      });
    } else if (cmd == files_.SubEdit()) {
      ++editorStarts;
      editorState_ = EditorState::Started;
      if (script.editorWritesSettings) fake_.AddFile(kSettingsFile, "last file");
      fake_.At(fake_.now + script.windowDelayMs, [this] {
        editor_ = fake_.AddWindow(kEditorCaption);
        Open(editor_);
      });
    }
    return true;
  }

  std::string Output(const std::string& tool, const std::string& content) const {
    return script.emptyOutputOf == tool ? std::string() : content;
  }

  // The console tools, given a command line of the one form each accepts.
  ProcessOutcome Run(const std::string& cmd) {
    using namespace tool_model;
    const std::string_view line = cmd;
    const auto program = ExactReader<char>(line).Quoted();
    if (!program || !fake_.FileExists(*program)) return ProcessOutcome{false, false, 0};
    if (const auto unrar = ReadUnRarCall(line); unrar && *program == files_.UnRar()) {
      if (!script.unrarWrites) return ProcessOutcome{true, true, 0};
      for (const char* name : {"movie.sub", "movie.idx"}) {
        // Without an overwrite switch the tool would stop here and ask on
        // its console, with nobody to answer.
        if (fake_.FileExists(unrar->destination + name))
          ADD_FAILURE() << "UnRAR would ask whether to replace " << unrar->destination + name;
      }
      fake_.AddFile(unrar->destination + "movie.sub", "bitmaps");
      fake_.AddFile(unrar->destination + "movie.idx", "index from the archive");
      if (script.unrarReadOnly) {
        fake_.SetReadOnly(unrar->destination + "movie.sub");
        fake_.SetReadOnly(unrar->destination + "movie.idx");
      }
    } else if (const auto besweet = ReadBeSweetCall(line);
               besweet && *program == files_.BeSweet()) {
      if (script.besweetWrites) fake_.AddFile(besweet->output, Output("BeSweet", "mp3"));
    } else if (const auto avimux = ReadAviMuxCall(line); avimux && *program == files_.AviMux()) {
      const std::string& scriptPath = avimux->script;
      if (script.avimuxWrites)
        fake_.AddFile(scriptPath.substr(0, scriptPath.rfind('\\') + 1) + "movie.avi",
                      Output("AVI-Mux GUI", "avi"));
    } else {
      ADD_FAILURE() << "a tool was given a command line it does not accept: " << cmd;
    }
    return ProcessOutcome{true, true, 0};
  }

  void Click(WindowHandle window, int id) {
    if (window == converter_ && id == tools::kSubToSupOpenButton) {
      converterDialog_ = true;
      dialog_ = fake_.AddWindow("Open");
    } else if (window == editor_ && id == tools::kSubEditRecognizeButton) {
      const WindowHandle progress = fake_.AddWindow(kOcrCaption);
      if (script.ocrEnds)
        fake_.At(fake_.now + script.ocrMs, [this, progress] { fake_.RemoveWindow(progress); });
    } else if (window == editor_ && id == tools::kSubEditSaveButton) {
      editorState_ = EditorState::SaveDialog;
      dialog_ = fake_.AddWindow("Save SRT file");
    }
  }

  void Keys(const std::vector<KeyStroke>& keys) {
    const std::string text = testing::FakePlatform::KeyText(keys);
    if (text == "%{F4}") {
      CloseTop();
      return;
    }
    if (text == "%F" && editorState_ == EditorState::Started) {
      editorState_ = EditorState::Menu;
      fake_.menuOpenIn = editor_;
    } else if (text == ToOpenSup() && editorState_ == EditorState::Menu) {
      editorState_ = EditorState::MenuOnOpen;
    } else if (text == "{ENTER}" && editorState_ == EditorState::MenuOnOpen) {
      editorState_ = EditorState::OpenDialog;
      fake_.menuOpenIn = 0;
      dialog_ = fake_.AddWindow("Open SUP file");
    } else if (text == "{ENTER}" && editorState_ == EditorState::OpenDialog) {
      editorState_ = EditorState::Loaded;
      fake_.RemoveWindow(dialog_);
      fake_.RetitleWindow(editor_, typed_);
      Open(fake_.AddWindow(tools::kLoadIfoCaption));
    } else if (text == "{ENTER}" && editorState_ == EditorState::SaveDialog) {
      editorState_ = EditorState::Loaded;
      fake_.RemoveWindow(dialog_);
      if (script.editorSaves)
        fake_.AddFile(typed_ + "." + tool_model::kSubEditSaveExtension,
                      Output("DVDSubEdit", "srt of " + fake_.WindowCaption(editor_)));
    } else if (text == "{ENTER}" && doneBox_ != 0) {
      fake_.RemoveWindow(std::exchange(doneBox_, 0));
    } else if (text == "{ENTER}" && converterDialog_) {
      converterDialog_ = false;
      fake_.RemoveWindow(dialog_);
      if (typed_ != std::string(kMux) + "movie.idx" || !script.converterFinishes) return;
      fake_.At(fake_.now + script.convertMs, [this] {
        for (const auto& name : script.supFiles) fake_.AddFile(std::string(kMux) + name, "sup");
        doneBox_ = fake_.AddWindow(tools::kSubToSupDoneCaption);
      });
    }
  }

  // The Down arrows from the File menu's first entry to "Open SUP file...".
  static std::string ToOpenSup() {
    std::string keys;
    for (int i = 0; i < tool_model::kSubEditOpenSupEntry; ++i) keys += "{DOWN}";
    return keys;
  }

  enum class EditorState { None, Started, Menu, MenuOnOpen, OpenDialog, Loaded, SaveDialog };
  std::vector<WindowHandle> stack_;
  WindowHandle converter_ = 0;
  WindowHandle editor_ = 0;
  bool converterDialog_ = false;
  WindowHandle dialog_ = 0;   // the file dialog the tool in front shows
  WindowHandle doneBox_ = 0;  // the converter's box that says it is done
  EditorState editorState_ = EditorState::None;
  testing::FakePlatform& fake_;
  const JobFiles& files_;
  std::string typed_;
};

// The job's paths and lists are set as the window sets them at start-up, and
// its mux folder is made as the job makes it.
class StageTest : public BareJobTest, public ScriptedTools {
 protected:
  StageTest() : ScriptedTools(fake, job.Files()) {
    job.Files().SetToolsFolder("C:\\App\\tools\\");
    job.AudioTracks().SetPattern("*.wav;*.ac3;*.mp3;*.ogg");
    job.SubtitleFiles().SetPattern("*.sup");
    InstallTools();
    fake.AddFile(std::string(kSource) + "movie.avi");
    job.Files().SetSource(kSource);
    fake.AddFolder(kMux);
  }

  // Chooses the folder as the window's scan does: the first track picks the
  // audio mode, and SRT subtitles go into the AVI.
  void ChooseSource(std::initializer_list<const char*> audioFiles) {
    for (const char* name : audioFiles) fake.AddFile(std::string(kSource) + name);
    settings.mp3 = stages::ScanSourceFolder(job);
    settings.srt = settings.srtIntoAvi = true;
  }

  void AddSubtitles(bool inSubfolder = false) {
    const std::string dir = std::string(kSource) + (inSubfolder ? "subtitles\\" : "");
    fake.AddFile(dir + "movie.idx", "index");
    fake.AddFile(dir + "movie.rar", "archive");
    job.Files().FindSubtitles(fake);  // as the job does when it starts
  }

  std::vector<std::string> Problems() const { return job.Report().Problems(); }
};

// The main window, loaded, with the source folder chosen in it.
class WholeJobTest : public AppTest, public ScriptedTools {
 protected:
  WholeJobTest() : ScriptedTools(fake, frm.job().Files()) {
    fake.AddFile("C:\\App\\tools\\xt.txt");
    frm.Load();
    InstallTools();
    fake.AddFile(std::string(kSource) + "movie.avi");
    fake.browseAnswer = "D:\\Rips\\Film";
    frm.ClickOpen();
    fake.calls.clear();
  }

  // Chooses the folder as the user would (the scan picks the modes).
  void ChooseSource(std::initializer_list<const char*> audioFiles) {
    for (const char* name : audioFiles) fake.AddFile(std::string(kSource) + name);
    frm.ScanSourceFolder();
  }

  // The job finds them when it starts.
  void AddSubtitles(bool inSubfolder = false) {
    const std::string dir = std::string(kSource) + (inSubfolder ? "subtitles\\" : "");
    fake.AddFile(dir + "movie.idx", "index");
    fake.AddFile(dir + "movie.rar", "archive");
  }

  std::vector<std::string> Problems() const { return frm.Report().Problems(); }
};

}  // namespace quillon

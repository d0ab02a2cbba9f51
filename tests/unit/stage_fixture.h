#pragma once
// A loaded main window on the fake platform with a source movie folder, the
// tools in place, and scripted stand-ins for the five outside tools: the
// command-line ones write their outputs when "run", the two GUI ones open,
// retitle and close windows in answer to the macro's clicks and keys.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "app_fixture.h"
#include "job/file_list.h"
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

class StageTest : public AppTest {
 protected:
  StageTest() {
    fake.exeFolder = "C:\\App";
    fake.AddFile("C:\\App\\tools\\xt.txt");
    frm.Load();
    const JobFiles& files = frm.job().Files();
    for (const std::string& tool :
         {files.UnRar(), files.SubToSup(), files.SubEdit(), files.BeSweet(), files.AviMux()})
      fake.AddFile(tool);
    fake.AddFile(std::string(kSource) + "movie.avi");
    frm.job().Files().SetSource(kSource);
    fake.onStartProgram = [this](const std::string& cmd, int style) { return Start(cmd, style); };
    fake.onShellWait = [this](const std::string& cmd, int) { return Run(cmd); };
    fake.onClick = [this](WindowHandle window, int id) { Click(window, id); };
    fake.onKeys = [this](const std::vector<KeyStroke>& keys) { Keys(keys); };
    fake.onText = [this](const std::string& text) { typed_ = text; };
    fake.calls.clear();
  }

  // Chooses the folder as the user would (the scan picks the modes).
  void ChooseSource(std::initializer_list<const char*> audioFiles) {
    for (const char* name : audioFiles) fake.AddFile(std::string(kSource) + name);
    frm.ScanSourceFolder();
  }

  void AddSubtitles(bool inSubfolder = false) {
    const std::string dir = std::string(kSource) + (inSubfolder ? "subtitles\\" : "");
    fake.AddFile(dir + "movie.idx", "index");
    fake.AddFile(dir + "movie.rar", "archive");
    frm.job().Files().FindSubtitles(fake);  // as the job does when it starts
  }

  // The calls that talk to the tools, in order.
  std::vector<std::string> MacroCalls() const {
    return fake.Calls({"StartProgram(", "ActivateWindow(", "ClickControl(", "SendKeys(",
                       "SendText(", "WaitSeconds(", "DeleteFile(", "ShellWait("});
  }

  std::vector<std::string> Problems() const { return frm.Report().Problems(); }

  ToolScript script;
  int editorStarts = 0;

 private:
  // A window that the next Alt+F4 closes: the most recent one still open.
  void Open(WindowHandle window) { stack_.push_back(window); }
  void CloseTop() {
    while (!stack_.empty() && fake.WindowCaption(stack_.back()).empty()) stack_.pop_back();
    if (stack_.empty()) return;
    const WindowHandle top = stack_.back();
    stack_.pop_back();
    if (top == converter_) converter_ = 0;
    if (top == editor_) editor_ = 0;
    fake.RemoveWindow(top);
  }

  bool Start(const std::string& cmd, int) {
    if (!fake.FileExists(cmd)) return false;
    if (cmd == frm.job().Files().SubToSup()) {
      if (!script.converterShowsWindow) return true;
      fake.At(fake.now + script.windowDelayMs, [this] {
        converter_ = fake.AddWindow(tools::kSubToSupCaption);
        Open(converter_);
      });
    } else if (cmd == frm.job().Files().SubEdit()) {
      ++editorStarts;
      editorState_ = EditorState::Started;
      if (script.editorWritesSettings) fake.AddFile(kSettingsFile, "last file");
      fake.At(fake.now + script.windowDelayMs, [this] {
        editor_ = fake.AddWindow(kEditorCaption);
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
    if (!program || !fake.FileExists(*program)) return ProcessOutcome{false, false, 0};
    if (const auto unrar = ReadUnRarCall(line); unrar && *program == frm.job().Files().UnRar()) {
      if (!script.unrarWrites) return ProcessOutcome{true, true, 0};
      for (const char* name : {"movie.sub", "movie.idx"}) {
        // Without an overwrite switch the tool would stop here and ask on
        // its console, with nobody to answer.
        if (fake.FileExists(unrar->destination + name))
          ADD_FAILURE() << "UnRAR would ask whether to replace " << unrar->destination + name;
      }
      fake.AddFile(unrar->destination + "movie.sub", "bitmaps");
      fake.AddFile(unrar->destination + "movie.idx", "index from the archive");
      if (script.unrarReadOnly) {
        fake.SetReadOnly(unrar->destination + "movie.sub");
        fake.SetReadOnly(unrar->destination + "movie.idx");
      }
    } else if (const auto besweet = ReadBeSweetCall(line);
               besweet && *program == frm.job().Files().BeSweet()) {
      if (script.besweetWrites) fake.AddFile(besweet->output, Output("BeSweet", "mp3"));
    } else if (const auto avimux = ReadAviMuxCall(line);
               avimux && *program == frm.job().Files().AviMux()) {
      const std::string& scriptPath = avimux->script;
      if (script.avimuxWrites)
        fake.AddFile(scriptPath.substr(0, scriptPath.rfind('\\') + 1) + "movie.avi",
                     Output("AVI-Mux GUI", "avi"));
    } else {
      ADD_FAILURE() << "a tool was given a command line it does not accept: " << cmd;
    }
    return ProcessOutcome{true, true, 0};
  }

  void Click(WindowHandle window, int id) {
    if (window == converter_ && id == tools::kSubToSupOpenButton) {
      converterDialog_ = true;
      dialog_ = fake.AddWindow("Open");
    } else if (window == editor_ && id == tools::kSubEditRecognizeButton) {
      const WindowHandle progress = fake.AddWindow(kOcrCaption);
      if (script.ocrEnds)
        fake.At(fake.now + script.ocrMs, [this, progress] { fake.RemoveWindow(progress); });
    } else if (window == editor_ && id == tools::kSubEditSaveButton) {
      editorState_ = EditorState::SaveDialog;
      dialog_ = fake.AddWindow("Save SRT file");
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
      fake.menuOpenIn = editor_;
    } else if (text == ToOpenSup() && editorState_ == EditorState::Menu) {
      editorState_ = EditorState::MenuOnOpen;
    } else if (text == "{ENTER}" && editorState_ == EditorState::MenuOnOpen) {
      editorState_ = EditorState::OpenDialog;
      fake.menuOpenIn = 0;
      dialog_ = fake.AddWindow("Open SUP file");
    } else if (text == "{ENTER}" && editorState_ == EditorState::OpenDialog) {
      editorState_ = EditorState::Loaded;
      fake.RemoveWindow(dialog_);
      fake.RetitleWindow(editor_, typed_);
      Open(fake.AddWindow(tools::kLoadIfoCaption));
    } else if (text == "{ENTER}" && editorState_ == EditorState::SaveDialog) {
      editorState_ = EditorState::Loaded;
      fake.RemoveWindow(dialog_);
      if (script.editorSaves)
        fake.AddFile(typed_ + "." + tool_model::kSubEditSaveExtension,
                     Output("DVDSubEdit", "srt of " + fake.WindowCaption(editor_)));
    } else if (text == "{ENTER}" && doneBox_ != 0) {
      fake.RemoveWindow(std::exchange(doneBox_, 0));
    } else if (text == "{ENTER}" && converterDialog_) {
      converterDialog_ = false;
      fake.RemoveWindow(dialog_);
      if (typed_ != std::string(kMux) + "movie.idx" || !script.converterFinishes) return;
      fake.At(fake.now + script.convertMs, [this] {
        for (const auto& name : script.supFiles) fake.AddFile(std::string(kMux) + name, "sup");
        doneBox_ = fake.AddWindow(tools::kSubToSupDoneCaption);
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
  std::string typed_;
};

}  // namespace quillon

#pragma once
// The stages are tested two ways, against the same scripted tools and a
// source movie folder: one stage at a time on a job without the main window,
// its options set on the stub; and whole jobs through the main window.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "scripted_tools.h"
#include "settings_stub.h"
#include "stages/stages.h"

namespace quillon {

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
    fake.exeFolder = "C:\\App";
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

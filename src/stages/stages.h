#pragma once
// The stages of a job, in the order a job runs them, each a function of the
// job. The driver decides which of them run; a stage reads the options it
// depends on when it starts.

#include <span>

#include "job/job.h"

namespace quillon {

// One stage as the driver runs it: the step it names for the job's messages,
// whether this job runs it (asked when the stage is reached, so a change the
// user makes during an earlier stage still counts), and the stage itself.
struct Stage {
  const char* name;
  const char* step;
  bool (*runs)(const Job& job);
  void (*run)(Job& job);
};

}  // namespace quillon

namespace quillon::stages {

// The stages after the folder scan, in the order a job runs them.
std::span<const Stage> JobStages();

// Reads the audio tracks of the job's source folder. True when they cannot
// go into an AVI as they are, so the audio must become MP3.
bool ScanSourceFolder(Job& job);
// Unpacks the subtitle archive into the mux folder and copies the index
// there; then, if SRT was asked for, converts the subtitles.
void ExtractSubtitles(Job& job);
// VobSub to SUP in SubToSup, then each SUP file to SRT in DVDSubEdit.
void ConvertSubtitlesToSrt(Job& job);
// The editor's settings file goes before every start of the editor.
void DeleteSubEditIni(Job& job);
// Every audio track to MP3 with BeSweet.
void ConvertAudio(Job& job);
// Writes the mux script and runs AVI-Mux GUI on it.
void MuxMovie(Job& job);
// Without muxing, the SRT files go beside the movie.
void CopySubtitleResults(Job& job);
// The clean-up of the mux folder.
void DeleteTempFiles(Job& job);

}  // namespace quillon::stages

#pragma once
// The stages of a job, in the order a job runs them, each a function of the
// job. The driver decides which of them run; a stage reads the options it
// depends on when it starts.

#include "job/job.h"

namespace quillon::stages {

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

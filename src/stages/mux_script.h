#pragma once
// The AVI-Mux GUI job script "movie.amg" and the command line that runs it.

#include <string>
#include <vector>

#include "job/job_files.h"

namespace quillon {

enum class AudioMode { Original, Mp3 };

struct MuxScriptInput {
  JobFiles files;
  AudioMode audioMode = AudioMode::Original;
  std::vector<std::string> audioEntries;     // the audio track list, in order
  std::vector<std::string> subtitleEntries;  // the ".sup" files whose SRT text goes in
};

// The whole file: every line, the last one included, ends in CR LF, and
// nothing follows. The muxer stops at any line it does not know, a blank one
// included, so an unattended job depends on this exact shape.
std::string MuxScript(const MuxScriptInput& input);

// "AUDIO INTERLEAVE ...": MP3 audio interleaves by 3 frames, AC3 by 4, anything
// else by 100 KB. In the original mode only the first track's last three
// characters (any letter case) decide.
std::string InterleaveLine(AudioMode mode, const std::string& firstAudioEntry);

// "<AVI-Mux GUI>" "<script>"
std::string AviMuxCommandLine(const std::string& aviMuxPath, const std::string& script);

}  // namespace quillon

#include "stages/mux_script.h"

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

constexpr char kLineEnd[] = "\r\n";

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

std::string InterleaveLine(AudioMode mode, const std::string& firstAudioEntry) {
  if (mode == AudioMode::Mp3 || EndsWithIgnoringCase(firstAudioEntry, "mp3"))
    return "AUDIO INTERLEAVE 3 FR";
  if (EndsWithIgnoringCase(firstAudioEntry, "ac3")) return "AUDIO INTERLEAVE 4 FR";
  return "AUDIO INTERLEAVE 100 KB";
}

std::string MuxScript(const MuxScriptInput& input) {
  std::string script;
  const auto line = [&script](const std::string& text) { script += text + kLineEnd; };

  line("CLEAR");
  line("SET INPUT OPTIONS");
  line("SET OPTION MP3 VERIFY CBR NEVER");
  const JobFiles& files = input.files;
  line("LOAD " + files.SourceMovie());
  for (const auto& entry : input.audioEntries)
    line("LOAD " +
         (input.audioMode == AudioMode::Mp3 ? files.Mp3(entry) : files.SourceTrack(entry)));
  for (const auto& entry : input.subtitleEntries) line("LOAD " + files.Srt(entry));
  line("SELECT FILE 1");
  line("ADD VIDEOSOURCE");
  line("SET OUTPUT OPTIONS");
  line("WITH SET OPTION");
  line("WITH AUDIO");
  for (std::size_t i = 0; i < input.audioEntries.size(); ++i)
    line("NAME " + std::to_string(i + 1) + " " + TrackKey(input.audioEntries[i]));
  line("END WITH");
  line("CLOSEAPP 1");
  line("ALL AUDIO 1");
  line("DONEDLG 0");
  line("OPENDML 0");
  line("RECLISTS 0");
  line(InterleaveLine(input.audioMode,
                      input.audioEntries.empty() ? std::string() : input.audioEntries.front()));
  line("AVI ADDJUNKBEFOREHEADERS 0");
  line("PRELOAD 200");
  line("NUMBERING OFF");
  line("MAXFILESIZE OFF");
  line("MAXFILES OFF");
  line("END WITH");
  line("START " + files.Movie());
  return script;
}

std::string AviMuxCommandLine(const std::string& aviMuxPath, const std::string& script) {
  return '"' + aviMuxPath + "\" \"" + script + '"';
}

}  // namespace quillon

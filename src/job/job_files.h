#pragma once
// Every path of a job, named once: the source folder and the mux folder made
// inside it, the subtitle index and archive wherever the folder keeps them,
// the files each tool writes or reads, and the tools themselves. The file
// names are the ones the tools and the user's folder layout dictate.

#include <string>

#include "job/file_list.h"
#include "platform/platform.h"

namespace quillon {

class JobFiles {
 public:
  // The five tools, each in the folder its own set-up unpacks it into.
  void SetToolsFolder(const std::string& toolsDir) { tools_ = toolsDir; }
  // A job on `sourceDir` (ending in "\"); its subtitles are not looked for.
  void SetSource(const std::string& sourceDir);
  // The index beside the movie wins over the one in "subtitles\"; its archive
  // is taken from the same place, whether or not it is there.
  void FindSubtitles(Platform& platform);

  const std::string& Source() const { return source_; }
  const std::string& Mux() const { return mux_; }
  bool HasSubtitles() const { return !index_.empty(); }
  const std::string& Index() const { return index_; }
  const std::string& Archive() const { return archive_; }

  std::string SourceMovie() const { return source_ + kMovie; }
  std::string SourceTrack(const std::string& entry) const { return source_ + entry; }
  std::string IndexCopy() const { return mux_ + kIndex; }
  std::string Bitmaps() const { return mux_ + "movie.sub"; }
  std::string Script() const { return mux_ + "movie.amg"; }
  std::string Movie() const { return mux_ + kMovie; }
  std::string Mp3(const std::string& track) const { return mux_ + TrackKey(track) + ".mp3"; }
  std::string Sup(const std::string& entry) const { return mux_ + entry; }
  // SubToSup names each SUP file after the index and the stream's number;
  // the first stream's name is as long as any.
  std::string FirstSup() const { return mux_ + "movie_0x20.sup"; }
  // What the editor's save dialog is given: it adds ".srt" itself.
  std::string SrtStem(const std::string& sup) const { return mux_ + SubtitleKey(sup); }
  std::string Srt(const std::string& sup) const { return SrtStem(sup) + ".srt"; }
  std::string SrtBesideMovie(const std::string& sup) const {
    return source_ + SubtitleKey(sup) + ".srt";
  }

  const std::string& ToolsFolder() const { return tools_; }
  std::string UnRar() const { return tools_ + "UnRAR.exe"; }
  std::string SubToSup() const { return tools_ + "SubToSup\\SubToSup.exe"; }
  std::string SubEdit() const { return tools_ + "DVDSubEdit1.34\\DVDSubEdit.exe"; }
  std::string BeSweet() const { return tools_ + "BeSweetv1.5b31\\BeSweet.exe"; }
  std::string AviMux() const { return tools_ + "AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe"; }

 private:
  static constexpr char kMovie[] = "movie.avi";
  static constexpr char kIndex[] = "movie.idx";

  std::string source_;
  std::string mux_;
  std::string index_;
  std::string archive_;
  std::string tools_;
};

}  // namespace quillon

#pragma once
// End-to-end test support: a source movie folder as the backup program leaves
// it (movie.avi, audio tracks, the VobSub index with its archive in the
// folder itself or in subtitles\), and plain file access by full path for
// looking at what a job made of it.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/files.h"

namespace quillon::e2e {

// Bytes of an archive in the UnRAR stand-in's test format: a header line,
// then per entry "FILE <stored path>", "SIZE <n>", the n bytes, each closed
// by CR LF. Entries: stored path (UTF-8) and content.
std::string TestRarArchive(const std::vector<std::pair<std::string, std::string>>& entries);

// A VobSub index naming one subtitle stream per language ("id: en, index: 0"
// ...); the SubToSup stand-in writes one SUP file per stream.
std::string VobSubIndex(const std::vector<std::string>& languages, std::string_view note = "");

// Whole-file access by full Windows path (the shared test support's).
using test::IsFile;
using test::IsFolder;
using test::ListFolder;
using test::ReadBytes;
using test::RemoveTree;
// Throws when the file cannot be written.
void WriteBytes(const std::wstring& path, std::string_view bytes);

class SourceFolder {
 public:
  // Makes `parent` + `name` + "\" (parent ends in a backslash).
  SourceFolder(const std::wstring& parent, std::wstring_view name);

  // Ends in a backslash, as the program's SourceDir does.
  const std::wstring& Path() const { return path_; }
  // The same without the backslash: what a command line or a user gives.
  std::wstring PathWithoutBackslash() const { return path_.substr(0, path_.size() - 1); }
  std::wstring Mux() const { return path_ + L"mux\\"; }
  std::wstring operator/(std::wstring_view relative) const {
    return path_ + std::wstring(relative);
  }

  void Write(std::wstring_view relative, std::string_view bytes) const;
  std::optional<std::string> Read(std::wstring_view relative) const;
  std::vector<std::wstring> List(std::wstring_view relative = L"") const;

  // movie.avi with a recognisable content.
  void AddMovie() const;
  // An audio track file whose content names it.
  void AddTrack(std::wstring_view name) const;
  // movie.idx and movie.rar in `where` ("" for the folder itself or
  // "subtitles\"); the archive holds movie.sub with `subContent`.
  void AddSubtitles(std::wstring_view where, std::string_view index,
                    std::string_view subContent) const;

 private:
  std::wstring path_;
};

}  // namespace quillon::e2e

#pragma once
// An ordered, never-shown list of the plain names of one folder's files that
// match a pattern ("*.wav;*.ac3"). It is read from the disk when its folder or
// its pattern is set, and only then.

#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon {

class FileList {
 public:
  explicit FileList(Platform& platform) : platform_(platform) {}

  void SetPattern(const std::string& pattern);
  void SetFolder(const std::string& folder);
  // Forgets the entries without reading the disk (a job that must not reuse
  // an earlier job's list).
  void Clear() { entries_.clear(); }

  int ListCount() const { return static_cast<int>(entries_.size()); }
  // The entry at `position`, counting from 0; "" at or past the end.
  std::string List(int position) const;
  // Every entry in order, the count taken once: what a stage walks.
  std::vector<std::string> Entries() const { return entries_; }

  const std::string& Folder() const { return folder_; }
  const std::string& Pattern() const { return pattern_; }

 private:
  void Refresh();

  Platform& platform_;
  std::string folder_;
  std::string pattern_;
  std::vector<std::string> entries_;
};

// True when `name` matches any of the ";"-separated wildcards of `pattern`,
// without regard to letter case.
bool MatchesPattern(const std::string& name, const std::string& pattern);

// Keys name the files derived from an entry. Both count characters of the
// UTF-8 name, never bytes, so a key never ends inside a character.
// First four characters of an audio entry (the whole name when shorter).
std::string TrackKey(const std::string& entry);
// The first four of the last eight characters of a subtitle entry (of the
// whole name when shorter): for "vob_0x20.sup", "0x20".
std::string SubtitleKey(const std::string& entry);

}  // namespace quillon

#include "folder/file_list.h"

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

char Fold(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Wildcard match of one pattern: "*" any run, "?" any one character.
bool MatchOne(const std::string& name, std::size_t n, const std::string& pattern, std::size_t p) {
  while (p < pattern.size()) {
    if (pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      if (p == pattern.size()) return true;
      for (std::size_t k = n; k <= name.size(); ++k)
        if (MatchOne(name, k, pattern, p)) return true;
      return false;
    }
    if (n == name.size()) return false;
    if (pattern[p] != '?' && Fold(pattern[p]) != Fold(name[n])) return false;
    ++p;
    ++n;
  }
  return n == name.size();
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Fold(x) < Fold(y); });
}

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  std::size_t start = 0;
  while (start <= pattern.size()) {
    const auto end = std::min(pattern.find(';', start), pattern.size());
    const std::string one = pattern.substr(start, end - start);
    if (!one.empty() && MatchOne(name, 0, one, 0)) return true;
    start = end + 1;
  }
  return false;
}

void FileList::SetPattern(const std::string& pattern) {
  pattern_ = pattern;
  Refresh();
}

void FileList::SetFolder(const std::string& folder) {
  folder_ = folder;
  Refresh();
}

std::string FileList::List(int position) const {
  if (position < 0 || position >= ListCount()) return "";
  return entries_[static_cast<std::size_t>(position)];
}

void FileList::Refresh() {
  entries_.clear();
  if (folder_.empty()) return;
  for (const auto& entry : platform_.ListFolder(folder_)) {
    if (entry.isFolder || entry.hidden || entry.system) continue;
    if (MatchesPattern(entry.name, pattern_)) entries_.push_back(entry.name);
  }
  std::stable_sort(entries_.begin(), entries_.end(), LessIgnoringCase);
}

std::string TrackKey(const std::string& entry) {
  return entry.substr(0, 4);
}

std::string SubtitleKey(const std::string& entry) {
  const std::string lastEight = entry.size() > 8 ? entry.substr(entry.size() - 8) : entry;
  return lastEight.substr(0, 4);
}

}  // namespace quillon

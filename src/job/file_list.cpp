#include "job/file_list.h"

#include "job/name_order.h"

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

char Fold(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Names are UTF-8: a byte of the form 10xxxxxx continues the character
// before it, so keys and "?" never cut a character in two.
bool ContinuesCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset just past the character that starts at `at`.
std::size_t NextCharacter(const std::string& text, std::size_t at) {
  if (at >= text.size()) return text.size();
  ++at;
  while (at < text.size() && ContinuesCharacter(text[at])) ++at;
  return at;
}

std::size_t CountCharacters(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at = NextCharacter(text, at)) ++count;
  return count;
}

// Byte offset of the character numbered `index` (or the end of the text).
std::size_t OffsetOfCharacter(const std::string& text, std::size_t index) {
  std::size_t at = 0;
  for (; index > 0 && at < text.size(); --index) at = NextCharacter(text, at);
  return at;
}

// `count` characters from the character numbered `first`.
std::string Characters(const std::string& text, std::size_t first, std::size_t count) {
  const std::size_t begin = OffsetOfCharacter(text, first);
  std::size_t end = begin;
  for (; count > 0 && end < text.size(); --count) end = NextCharacter(text, end);
  return text.substr(begin, end - begin);
}

// Wildcard match of one pattern: "*" any run of characters, "?" any one
// character; everything else compares without regard to ASCII letter case.
bool MatchOne(const std::string& name, std::size_t n, const std::string& pattern, std::size_t p) {
  while (p < pattern.size()) {
    if (pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      if (p == pattern.size()) return true;
      for (std::size_t k = n;; k = NextCharacter(name, k)) {
        if (MatchOne(name, k, pattern, p)) return true;
        if (k == name.size()) return false;
      }
    }
    if (n == name.size()) return false;
    if (pattern[p] == '?') {
      n = NextCharacter(name, n);
      ++p;
      continue;
    }
    if (Fold(pattern[p]) != Fold(name[n])) return false;
    ++p;
    ++n;
  }
  return n == name.size();
}

std::string TrimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  std::size_t start = 0;
  while (start <= pattern.size()) {
    const auto end = std::min(pattern.find(';', start), pattern.size());
    const std::string one = TrimSpaces(pattern.substr(start, end - start));
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
  std::sort(entries_.begin(), entries_.end(), NameBefore);
}

std::string TrackKey(const std::string& entry) {
  return Characters(entry, 0, 4);
}

std::string SubtitleKey(const std::string& entry) {
  const std::size_t length = CountCharacters(entry);
  return Characters(entry, length > 8 ? length - 8 : 0, 4);
}

}  // namespace quillon

#include "support/source_folder.h"

#include <windows.h>

#include <stdexcept>

#include "support/quillon_run.h"

namespace quillon::e2e {
namespace {

std::runtime_error Failure(const std::wstring& what) {
  return std::runtime_error(ToUtf8(what) + " (error " + std::to_string(::GetLastError()) + ")");
}

}  // namespace

std::string TestRarArchive(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string archive = "QUILLON-TEST-RAR\r\n";
  for (const auto& [stored, content] : entries) {
    archive += "FILE " + stored + "\r\n";
    archive += "SIZE " + std::to_string(content.size()) + "\r\n";
    archive += content + "\r\n";
  }
  return archive;
}

std::string VobSubIndex(const std::vector<std::string>& languages, std::string_view note) {
  std::string index = "# VobSub index file, v7\r\n";
  if (!note.empty()) index += "# " + std::string(note) + "\r\n";
  index += "size: 720x576\r\n";
  for (size_t i = 0; i < languages.size(); ++i)
    index += "id: " + languages[i] + ", index: " + std::to_string(i) + "\r\n";
  return index;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
  if (!test::WriteBytes(path, bytes)) throw Failure(L"could not write " + path);
}

SourceFolder::SourceFolder(const std::wstring& parent, std::wstring_view name)
    : path_(parent + std::wstring(name) + L"\\") {
  if (!::CreateDirectoryW(path_.c_str(), nullptr) && !IsFolder(path_))
    throw Failure(L"could not make " + path_);
}

void SourceFolder::Write(std::wstring_view relative, std::string_view bytes) const {
  const std::wstring path = path_ + std::wstring(relative);
  // Make the folders on the way ("subtitles\movie.idx").
  for (size_t slash = path.find(L'\\', path_.size()); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1))
    ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  WriteBytes(path, bytes);
}

std::optional<std::string> SourceFolder::Read(std::wstring_view relative) const {
  return ReadBytes(path_ + std::wstring(relative));
}

std::vector<std::wstring> SourceFolder::List(std::wstring_view relative) const {
  return ListFolder(path_ + std::wstring(relative));
}

void SourceFolder::AddMovie() const {
  Write(L"movie.avi", "RIFF test video\r\n");
}

void SourceFolder::AddTrack(std::wstring_view name) const {
  Write(name, "audio track " + ToUtf8(name) + "\r\n");
}

void SourceFolder::AddSubtitles(std::wstring_view where, std::string_view index,
                                std::string_view subContent) const {
  const std::wstring folder(where);
  Write(folder + L"movie.idx", index);
  Write(folder + L"movie.rar", TestRarArchive({{"movie.sub", std::string(subContent)}}));
}

}  // namespace quillon::e2e

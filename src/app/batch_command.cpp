#include "app/batch_command.h"

namespace quillon {

std::optional<BatchFields> SplitBatchFields(const std::string& commandLine) {
  std::array<std::size_t, 9> marks{};
  std::size_t from = 0;
  for (auto& mark : marks) {
    mark = commandLine.find('?', from);
    if (mark == std::string::npos) return std::nullopt;
    from = mark + 1;
  }
  BatchFields fields;
  for (std::size_t i = 0; i < fields.size(); ++i)
    fields[i] = commandLine.substr(marks[i] + 1, marks[i + 1] - marks[i] - 1);
  return fields;
}

std::string DroppedFolder(const std::string& commandLine) {
  const auto first = commandLine.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = commandLine.find_last_not_of(" \t");
  std::string folder = commandLine.substr(first, last - first + 1);
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
    folder = folder.substr(1, folder.size() - 2);
  return folder;
}

std::string CommandLineRefusal(const std::string& commandLine) {
  return "This command line cannot be used:\r\n" + commandLine +
         "\r\n\r\nThe command line needs nine \"?\" characters:\r\n"
         "?folder?audio?bitrate?subtitles?muxsubs?deltemp?shutdown?muxall?\r\n"
         "Example: ?D:\\Rips\\Film?1?192?1?1?1?0?1?\r\n\r\n"
         "A folder name on its own, without any \"?\", opens that folder.";
}

}  // namespace quillon

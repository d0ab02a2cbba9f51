#pragma once
// Reading the command line of an unattended job:
//   ?folder?audio?bitrate?subtitles?muxsubs?deltemp?shutdown?muxall?

#include <array>
#include <optional>
#include <string>

namespace quillon {

using BatchFields = std::array<std::string, 8>;

// The eight fields between the first nine "?" characters, verbatim; nullopt
// when the text holds fewer than nine.
std::optional<BatchFields> SplitBatchFields(const std::string& commandLine);

// A command line without any "?" names a folder (one dropped onto the
// program): the text without its surrounding blanks and one pair of
// enclosing double quotes.
std::string DroppedFolder(const std::string& commandLine);

// What the user is told when a command line cannot be used.
std::string CommandLineRefusal(const std::string& commandLine);

}  // namespace quillon

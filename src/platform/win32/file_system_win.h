#pragma once
// Files and folders, by UTF-8 Windows paths. The operations that change
// something throw PlatformError with a message naming the path and the system's
// reason.

#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillon {

bool FileExists(const std::string& path);  // a file, not a folder
bool FolderExists(const std::string& path);
std::vector<FolderEntry> ListFolder(const std::string& folder);
void CopyFileReplacing(const std::string& from, const std::string& to);
void DeleteOneFile(const std::string& path);
void CreateFolder(const std::string& path);
void RemoveFolder(const std::string& path);

}  // namespace quillon

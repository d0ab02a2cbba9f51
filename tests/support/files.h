#pragma once
// Whole files and folders by full Windows path, for setting up what a test
// needs and looking at what a program left.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::test {

// The file's bytes; nothing when it cannot be opened. Others may go on
// reading and writing it meanwhile (a log that is still being written).
std::optional<std::string> ReadBytes(const std::wstring& path);
// Creates or replaces the file. False on failure, with the system's error
// code left for GetLastError.
bool WriteBytes(const std::wstring& path, std::string_view bytes);

bool IsFile(const std::wstring& path);
bool IsFolder(const std::wstring& path);

// Names in a folder (no "." or ".."), sorted by code unit. The folder may
// be given with or without its trailing backslash.
std::vector<std::wstring> ListFolder(const std::wstring& folder);

// Removes a folder with everything in it, read-only files and folders
// included; whatever cannot be removed stays.
void RemoveTree(const std::wstring& folder);

// Copies a folder with everything in it to `to` (made if missing). False
// at the first file that cannot be copied, with its error left for
// GetLastError.
bool CopyTree(const std::wstring& from, const std::wstring& to);

}  // namespace quillon::test

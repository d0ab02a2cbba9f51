#include "support/quillon_harness.h"

#include <stdexcept>

#include "support/source_folder.h"

namespace quillon::e2e {

std::wstring BatchLine(std::wstring_view folder, std::wstring_view fields) {
  return L"?" + std::wstring(folder) + L"?" + std::wstring(fields) + L"?";
}

void QuillonHarness::Install(std::wstring_view below, bool withTools) {
  while (!below.empty() && below.back() == L'\\') below.remove_suffix(1);
  below_ = below.empty() ? L"" : std::wstring(below) + L"\\";
  exe_ = folder_.InstallQuillon(below);
  if (withTools)
    folder_.InstallTools(below);
  else
    folder_.InstallToolsMarkerOnly();
}

void QuillonHarness::SetToolMode(std::wstring_view tool, std::string_view mode) const {
  WriteBytes(Tool(tool) + L".mode", mode);
}

void QuillonHarness::RemoveTool(std::wstring_view tool) const {
  if (!::DeleteFileW(Tool(tool).c_str()))
    throw std::runtime_error("could not remove " + ToUtf8(tool));
}

QuillonProcess& QuillonHarness::Launch(const std::wstring& arguments,
                                       const std::wstring& waitLimits) {
  if (!Installed()) Install();
  process_.reset();
  process_.emplace(exe_, JobLaunch(arguments, waitLimits, LogPath()));
  return *process_;
}

JobOutcome QuillonHarness::RunBatch(const std::wstring& arguments, Ms limit,
                                    const std::wstring& waitLimits) {
  JobOutcome outcome;
  outcome.exitCode = RunToExit(Launch(arguments, waitLimits), limit, outcome.boxes);
  return outcome;
}

}  // namespace quillon::e2e

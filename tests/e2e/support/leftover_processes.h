#pragma once
// End-to-end test support: finding and ending the processes a test left
// running, such as a stand-in tool the program gave up waiting for. Only
// executables inside the test's own folder are looked at, so a test never
// touches a process it did not cause.

#include <chrono>
#include <string>
#include <vector>

namespace quillon::e2e {

// Full paths of the running processes whose executable lies in `folder`
// (a Windows path ending in "\") or below it.
std::vector<std::wstring> ProcessesUnder(const std::wstring& folder);

// Ends those processes and waits (bounded) until they are gone; returns the
// paths of the ones it ended.
std::vector<std::wstring> EndProcessesUnder(const std::wstring& folder);

// After a job: gives the tools in `tools` `grace` to close by themselves,
// then ends whatever still runs from `folder`; returns the paths it ended.
std::vector<std::wstring> EndLeftoversAfterJob(const std::wstring& tools,
                                               const std::wstring& folder,
                                               std::chrono::milliseconds grace);

}  // namespace quillon::e2e

// quillon_fault_matrix [name filter...]: runs every case (or those whose name
// contains one of the filters) one after the other and prints one line per
// case, then "<n> passed, <n> failed". Exit code 1 when any case failed.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "fault_matrix/matrix.h"

namespace {

using namespace quillon::fault;

// Wine's "program error" dialog, off for the life of the object.
class CrashDialogOff {
 public:
  CrashDialogOff() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    had_ = ::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &value,
                          &size) == ERROR_SUCCESS;
    old_ = value;
    Set(0);
  }
  CrashDialogOff(const CrashDialogOff&) = delete;
  CrashDialogOff& operator=(const CrashDialogOff&) = delete;
  ~CrashDialogOff() {
    if (had_)
      Set(old_);
    else
      ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Wine\\WineDbg";
  static constexpr wchar_t kValue[] = L"ShowCrashDialog";
  static void Set(DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof(value));
  }
  bool had_ = false;
  DWORD old_ = 0;
};

std::vector<Case> AllCases() {
  std::vector<Case> all;
  for (auto group : {ToolFaultCases, FolderCases, CommandLineCases, SessionCases}) {
    auto cases = group();
    all.insert(all.end(), cases.begin(), cases.end());
  }
  return all;
}

bool Selected(const std::string& name, const std::vector<std::string>& filters) {
  if (filters.empty()) return true;
  for (const auto& filter : filters)
    if (name.find(filter) != std::string::npos) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> filters(argv + 1, argv + argc);
  // The keystroke pause is 0 while the matrix runs, so that the subtitle
  // macro does not wait a second per step; the user's value comes back.
  quillon::e2e::StoredPauseScope storedPause;
  quillon::e2e::WriteStoredPause(L"0");
  // A tool that crashes must not leave Wine's crash dialog on the screen,
  // where it would take the keystrokes of the cases that follow.
  const CrashDialogOff crashDialogOff;

  int passed = 0;
  int failed = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const Case& c : AllCases()) {
    if (!Selected(c.name, filters)) continue;
    Verdict verdict;
    const auto caseStart = std::chrono::steady_clock::now();
    try {
      c.run(verdict);
    } catch (const std::exception& error) {
      verdict.Fail(std::string("the case could not be run: ") + error.what());
    }
    // The stored pause is the matrix's, whatever a case did to it.
    quillon::e2e::WriteStoredPause(L"0");
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::steady_clock::now() - caseStart)
                             .count();
    if (verdict.Passed()) {
      ++passed;
      std::printf("PASS %s: %s [%lld s]\n", c.name.c_str(), verdict.SeenText().c_str(),
                  static_cast<long long>(seconds));
    } else {
      ++failed;
      std::string why;
      for (const auto& failure : verdict.Failures()) why += (why.empty() ? "" : "; ") + failure;
      std::printf("FAIL %s: %s (saw: %s) [%lld s]\n", c.name.c_str(), why.c_str(),
                  verdict.SeenText().c_str(), static_cast<long long>(seconds));
      for (const auto& note : verdict.Notes()) std::printf("    | %s\n", note.c_str());
    }
    std::fflush(stdout);
  }
  const auto total =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  std::printf("The matrix took %lld s.\n", static_cast<long long>(total));
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
  return failed == 0 ? 0 : 1;
}

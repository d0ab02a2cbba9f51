#include "support/case_folder.h"

#include <gtest/gtest.h>

#include "support/source_folder.h"

namespace quillon::e2e {

constexpr wchar_t kKeepVariable[] = L"QUILLON_E2E_KEEP";

std::wstring CurrentTestFolderName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name = Widen(info != nullptr ? info->name() : "test");
  for (wchar_t& c : name)
    if (c == L'/' || c == L'\\') c = L'_';
  return name;
}

KeepSwitch::~KeepSwitch() {
  if (switched_) ::SetEnvironmentVariableW(kKeepVariable, nullptr);
}

void KeepSwitch::On() {
  if (switched_ || ::GetEnvironmentVariableW(kKeepVariable, nullptr, 0) > 0) return;
  ::SetEnvironmentVariableW(kKeepVariable, L"1");
  switched_ = true;
}

std::optional<std::string> CaseFolder::JobLog() const {
  auto log = ReadBytes(JobLogFile());
  if (!log || log->find(Narrow(Path())) == std::string::npos) return std::nullopt;
  return log;
}

std::string CaseFolder::Keep() {
  On();
  if (const auto log = JobLog()) WriteBytes(Path() + L"last-job.log", *log);
  return "The test's files are kept in " + Narrow(Path());
}

}  // namespace quillon::e2e

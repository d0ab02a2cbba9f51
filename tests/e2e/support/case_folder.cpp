#include "support/case_folder.h"

#include <gtest/gtest.h>

#include "support/source_folder.h"

namespace quillon::e2e {

std::wstring CurrentTestFolderName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name = ToWide(info != nullptr ? info->name() : "test");
  for (wchar_t& c : name)
    if (c == L'/' || c == L'\\') c = L'_';
  return name;
}

std::optional<std::string> CaseFolder::JobLog() const {
  auto log = ReadBytes(JobLogFile());
  if (!log || log->find(ToUtf8(Path())) == std::string::npos) return std::nullopt;
  return log;
}

std::string CaseFolder::Keep() {
  TestFolder::Keep();
  if (const auto log = JobLog()) WriteBytes(Path() + L"last-job.log", *log);
  return "The test's files are kept in " + ToUtf8(Path());
}

}  // namespace quillon::e2e

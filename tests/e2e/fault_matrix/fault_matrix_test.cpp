// The fault matrix as GoogleTest tests: one test per case, named after it
// ("ToolFaults/FaultMatrix.Case/unrar_missing"), failing with what went wrong
// and what the user saw; run with the keystroke pause 0 and Wine's crash
// dialog off.

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <exception>
#include <optional>
#include <ostream>
#include <string>

#include "fault_matrix/matrix.h"
#include "quillon_test.h"

namespace quillon::fault {

// How GoogleTest shows a case: by its name.
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

namespace {

// The keystroke pause is 0 while the matrix runs, so that the subtitle macro
// does not wait a second per step; the user's value comes back.
class StoredPauseZero : public ::testing::Environment {
 public:
  void SetUp() override {
    saved_ = e2e::ReadStoredPause();
    e2e::WriteStoredPause(L"0");
  }
  void TearDown() override { e2e::WriteStoredPause(saved_); }

 private:
  std::optional<std::wstring> saved_;
};

// A tool that crashes must not leave Wine's "program error" dialog on the
// screen, where it would take the keystrokes of the cases that follow.
class CrashDialogOff : public ::testing::Environment {
 public:
  void SetUp() override {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
        ERROR_SUCCESS)
      old_ = value;
    Set(0);
  }
  void TearDown() override {
    if (old_)
      Set(*old_);
    else
      ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Wine\\WineDbg";
  static constexpr wchar_t kValue[] = L"ShowCrashDialog";
  static void Set(DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof(value));
  }
  std::optional<DWORD> old_;
};

class FaultMatrix : public e2e::QuillonTest, public ::testing::WithParamInterface<Case> {
 protected:
  FaultMatrix() : QuillonTest(ToWide(GetParam().name)) {}

  // The stored pause is the matrix's, whatever a case did to it.
  void TearDown() override {
    e2e::WriteStoredPause(L"0");
    QuillonTest::TearDown();
  }
};

TEST_P(FaultMatrix, Case) {
  Verdict verdict;
  try {
    GetParam().run(quillon_, verdict);
  } catch (const std::exception& error) {
    verdict.Fail(std::string("the case could not be run: ") + error.what());
  }
  if (verdict.Passed())
    std::printf("saw: %s\n", verdict.SeenText().c_str());
  else
    ADD_FAILURE() << verdict.Report();
}

// GoogleTest's names hold letters, digits and "_" only: "unrar-missing"
// becomes "unrar_missing".
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(ToolFaults, FaultMatrix, ::testing::ValuesIn(ToolFaultCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Folders, FaultMatrix, ::testing::ValuesIn(FolderCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(CommandLines, FaultMatrix, ::testing::ValuesIn(CommandLineCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Sessions, FaultMatrix, ::testing::ValuesIn(SessionCases()), CaseName);

}  // namespace
}  // namespace quillon::fault

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new quillon::fault::StoredPauseZero);
  ::testing::AddGlobalTestEnvironment(new quillon::fault::CrashDialogOff);
  return RUN_ALL_TESTS();
}

// A small program the Win32 tests start. Two modes:
//   test_child <ms> [exit code] [mutex name]
//       sleeps <ms> milliseconds holding the named mutex (so a test can tell
//       whether it still runs), then exits with the exit code;
//   with QUILLON_TEST_ECHO set to a file path: writes the program's
//       arguments, as the platform reads them, to that file in UTF-8;
//   with QUILLON_TEST_SHOW set to a file path: writes the show style it was
//       started with ("-" when none was given) to that file;
//   with QUILLON_TEST_TOOL set to a command line: runs it as a tool of a job
//       (ShellWait), then waits to be ended.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "support/files.h"

using quillon::test::WriteBytes;

int wmain(int argc, wchar_t** argv) {
  wchar_t reportFile[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"QUILLON_TEST_ECHO", reportFile, MAX_PATH) > 0) {
    WriteBytes(reportFile, quillon::Win32Platform().CommandLine());
    return 0;
  }
  if (::GetEnvironmentVariableW(L"QUILLON_TEST_SHOW", reportFile, MAX_PATH) > 0) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    WriteBytes(reportFile, (startup.dwFlags & STARTF_USESHOWWINDOW) != 0
                               ? std::to_string(startup.wShowWindow)
                               : std::string("-"));
    return 0;
  }
  wchar_t tool[1024] = {};
  if (::GetEnvironmentVariableW(L"QUILLON_TEST_TOOL", tool, 1024) > 0) {
    // The tool inherits the environment, and must not start a tool of its own.
    ::SetEnvironmentVariableW(L"QUILLON_TEST_TOOL", nullptr);
    quillon::Win32Platform platform;
    platform.ShellWait(quillon::ToUtf8(tool), quillon::kShowMinimized, 60000);
    ::Sleep(INFINITE);
  }
  const DWORD ms = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 0;
  const int exitCode = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
  quillon::UniqueHandle mutex;
  if (argc > 3) mutex.Reset(::CreateMutexW(nullptr, TRUE, argv[3]));
  ::Sleep(ms);
  return exitCode;
}

// A small program the Win32 tests start. Two modes:
//   test_child <ms> [exit code] [mutex name]
//       sleeps <ms> milliseconds holding the named mutex (so a test can tell
//       whether it still runs), then exits with the exit code;
//   with QUILLON_TEST_ECHO set to a file path: writes the program's
//       arguments, as the platform reads them, to that file in UTF-8.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "winauto/handles_win.h"
#include "winauto/win32_platform_win.h"

int wmain(int argc, wchar_t** argv) {
  wchar_t echoFile[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"QUILLON_TEST_ECHO", echoFile, MAX_PATH) > 0) {
    const std::string arguments = quillon::Win32Platform().CommandLine();
    quillon::UniqueHandle file(
        ::CreateFileW(echoFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), arguments.data(), static_cast<DWORD>(arguments.size()), &written,
                nullptr);
    return 0;
  }
  const DWORD ms = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 0;
  const int exitCode = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
  quillon::UniqueHandle mutex;
  if (argc > 3) mutex.Reset(::CreateMutexW(nullptr, TRUE, argv[3]));
  ::Sleep(ms);
  return exitCode;
}

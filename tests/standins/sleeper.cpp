// sleeper.exe <milliseconds>: a console program that takes a known time, for
// the tests of starting a program and waiting for its end.

#include <cwchar>

#include "support/standin.h"

int wmain(int argc, wchar_t** argv) {
  const standin::Mode mode = standin::Start();
  if (mode.kind == standin::ModeKind::kHang) standin::SleepForever();
  wchar_t* end = nullptr;
  const unsigned long ms = argc == 2 ? std::wcstoul(argv[1], &end, 10) : 0;
  if (argc != 2 || end == argv[1] || *end != L'\0') {
    standin::Log(L"error", L"expected one argument: milliseconds");
    standin::Exit(7);
  }
  Sleep(static_cast<DWORD>(ms));
  standin::Exit(0);
}

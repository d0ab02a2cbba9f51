#pragma once
// Small pieces of the program's start that WinMain keeps out of its way.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace quillon {

struct WaitLimits;

struct WaitLimitsOverride {
  std::uint32_t windowAppearMs;
  std::uint32_t toolRunMs;
  std::optional<std::uint32_t> unattendedBoxMs;
};

// "<appearMs>,<runMs>" or "<appearMs>,<runMs>,<boxMs>": whole numbers of
// milliseconds, each at least 1; the third is how long a batch run's message
// box stays. Anything else (signs, blanks, a missing part, overflow) is not
// an override.
std::optional<WaitLimitsOverride> ParseWaitLimits(std::wstring_view text);

// QUILLON_WAIT_LIMITS, when set and well-formed, replaces the time limits
// for tool windows, tool runs and, when given, a batch run's boxes. Tests of
// the whole program use it to keep a failing run short; an ill-formed value
// is ignored.
void ApplyWaitLimitsOverride(WaitLimits& limits);

// Runs the program and returns its exit code. An error that escapes it (the
// window could not be made, its first timer was refused) goes to `report`,
// and the program ends as a job that did not start: a batch run must not
// read it as one that ran and only missed a result.
int RunProgram(const std::function<int()>& program,
               const std::function<void(const char* what)>& report);

}  // namespace quillon

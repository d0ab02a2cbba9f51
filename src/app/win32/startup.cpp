#include "app/win32/startup.h"

#include <cstdint>
#include <exception>
#include <string>

#include "app/frm_main.h"

namespace quillon {
namespace {

constexpr wchar_t kWaitLimitsVariable[] = L"QUILLON_WAIT_LIMITS";

std::optional<std::uint32_t> ParseMilliseconds(std::wstring_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;  // ten digits fit
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  if (value == 0 || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<WaitLimitsOverride> ParseWaitLimits(std::wstring_view text) {
  const size_t comma = text.find(L',');
  if (comma == std::wstring_view::npos) return std::nullopt;
  const size_t third = text.find(L',', comma + 1);
  const auto appear = ParseMilliseconds(text.substr(0, comma));
  const auto run = ParseMilliseconds(text.substr(comma + 1, third - comma - 1));
  if (!appear || !run) return std::nullopt;
  WaitLimitsOverride limits{*appear, *run, std::nullopt};
  if (third == std::wstring_view::npos) return limits;
  limits.unattendedBoxMs = ParseMilliseconds(text.substr(third + 1));
  if (!limits.unattendedBoxMs) return std::nullopt;
  return limits;
}

void ApplyWaitLimitsOverride(WaitLimits& limits) {
  wchar_t buffer[64];
  const DWORD n = ::GetEnvironmentVariableW(kWaitLimitsVariable, buffer, 64);
  if (n == 0 || n >= 64) return;
  if (const auto parsed = ParseWaitLimits(std::wstring_view(buffer, n))) {
    limits.windowAppearMs = parsed->windowAppearMs;
    limits.toolRunMs = parsed->toolRunMs;
    if (parsed->unattendedBoxMs) limits.unattendedBoxMs = *parsed->unattendedBoxMs;
  }
}

int RunProgram(const std::function<int()>& program,
               const std::function<void(const char* what)>& report) {
  try {
    return program();
  } catch (const std::exception& error) {
    report(error.what());
    return kExitJobFailed;
  }
}

}  // namespace quillon

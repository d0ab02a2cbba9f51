#pragma once
// Every control of the main window, in one place. The enumerators carry the
// controls' names; the numbers are their Win32 control identifiers.

namespace quillon {

enum class ControlId : int {
  cmdOpen = 101,
  cmdAbout = 102,
  cmdWFK = 103,
  fraAud = 104,
  optAudOrig = 105,
  optAudMP3 = 106,
  lblAudQual = 107,
  cmbAudQual = 108,
  fraSub = 109,
  optSubOrig = 110,
  optSubSRT = 111,
  chkSubMux = 112,
  fraOpt = 113,
  chkDelTemp = 114,
  chkShutDown = 115,
  chkMux = 116,
  cmdStart = 117,
};

inline constexpr int kFirstControlId = 101;
inline constexpr int kControlCount = 17;

inline constexpr int Index(ControlId id) {
  return static_cast<int>(id) - kFirstControlId;
}

// The window's two timers.
enum class TimerId : int { TimerCMD = 1, TimerWorking = 2 };

}  // namespace quillon

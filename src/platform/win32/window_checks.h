#pragma once
// What the window calls and the keyboard calls share: questions about other
// programs' windows, none of which sends the window a message (so none can
// hang on a busy program), and the one way they send a message and hear of
// its answer without waiting for it.

#include <windows.h>

#include <memory>

#include "platform/win32/win32_platform.h"

namespace quillon {

// Whether `window` stands for the desktop: none, the desktop window, the
// shell's window, or another window of the shell's desktop thread (the
// icons, the window behind them). Keys there act on the desktop, where
// Alt+F4 means "shut down".
bool IsDesktop(HWND window);

// Whether the keyboard focus of the window's thread is in `window` or one of
// its children; keys sent while the focus is nowhere are lost.
bool FocusIn(HWND window);

// Sends `message` to `window` without waiting; once `window`'s thread has
// handled it, `answers` hears that round trip `roundTrip` was answered, or
// that click `click` for `clickWindow` was carried out. False when the
// message could not be sent (the window is gone).
bool SendNoted(HWND window, UINT message, const std::shared_ptr<SentMessageAnswers>& answers,
               std::uint64_t roundTrip, HWND clickWindow = nullptr, std::uint64_t click = 0);

}  // namespace quillon

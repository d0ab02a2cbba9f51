#pragma once
// Control identifiers of the text-input dialog, for the code and for tests
// that fill it in. The buttons are the system's IDOK and IDCANCEL.

namespace quillon {

inline constexpr int kInputBoxEditId = 1000;
inline constexpr int kInputBoxPromptId = 1001;

}  // namespace quillon

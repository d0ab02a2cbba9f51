#pragma once
// The main window's controls as plain data: what each one is, where it lies,
// what it says and how it starts. The model takes its first states from
// here, the Win32 window its controls, and the tests their names.

#include <optional>
#include <span>

#include "app/control_ids.h"

namespace quillon {

enum class ControlKind { PushButton, Frame, OptionButton, CheckBox, Label, Combo };
enum class ControlFace { Regular, Bold, Italic };

// The window's inside, in twips (1/1440 inch).
inline constexpr int kClientWidthTwips = 3540;
inline constexpr int kClientHeightTwips = 3855;

struct ControlDesign {
  ControlId id;
  const char* name;  // the identifier's name
  ControlKind kind;
  const char* caption;             // empty for the bit-rate box
  std::optional<ControlId> frame;  // the frame the place is relative to; none: the window
  int left, top, width, height;    // twips
  bool startsGroup;                // first control of a keyboard group
  bool enabled;                    // as the window opens
  int value;                       // check box or option button as the window opens: 1 when on
  ControlFace face = ControlFace::Regular;
};

// Every control once, in z-order from the top, which is also the tab order.
std::span<const ControlDesign> ControlTable();

const ControlDesign& DesignOf(ControlId id);

// Where a control lies in the window, in twips: its frame's place added.
struct TwipsRect {
  int left, top, width, height;
};
TwipsRect PlaceInWindow(const ControlDesign& design);

}  // namespace quillon

#include "app/control_table.h"

#include <iterator>
#include <stdexcept>

namespace quillon {
namespace {

using enum ControlId;
using enum ControlKind;

constexpr bool kStartsGroup = true;
constexpr bool kInGroup = false;
constexpr std::optional<ControlId> kNoFrame;
constexpr bool kEnabled = true;
constexpr bool kDisabled = false;

// Listed in z-order from the top. Controls that overlap follow that order
// too: "about..." lies over "WaitFor&Key", Start over "&Mux all", and the
// frames lie under everything inside them. "WaitFor&Key" and "&Mux all" must
// never show, yet stay in the tab order with their access keys: each lies
// wholly inside the button above it. The window opens with nothing to start
// and both option groups keeping the original, so the controls that only
// matter for a conversion are off.
// Columns: id, name, kind, caption, frame, left, top, width, height (twips),
// keyboard group, enabled and value as the window opens, face.
constexpr ControlDesign kTable[] = {
    {cmdOpen, "cmdOpen", PushButton, "Select folder...", kNoFrame, 120, 240, 1335, 375,
     kStartsGroup, kEnabled, 0},
    {optAudOrig, "optAudOrig", OptionButton, "Original", fraAud, 120, 360, 1335, 255, kStartsGroup,
     kEnabled, 1},
    {optAudMP3, "optAudMP3", OptionButton, "Convert to MP3", fraAud, 120, 720, 1335, 255, kInGroup,
     kEnabled, 0},
    {optSubOrig, "optSubOrig", OptionButton, "Original", fraSub, 120, 360, 1335, 255, kStartsGroup,
     kEnabled, 1},
    {optSubSRT, "optSubSRT", OptionButton, "Convert to SRT", fraSub, 120, 720, 1335, 255, kInGroup,
     kEnabled, 0},
    {cmdStart, "cmdStart", PushButton, "Start", kNoFrame, 2400, 2760, 975, 855, kStartsGroup,
     kDisabled, 0, ControlFace::Bold},
    {cmbAudQual, "cmbAudQual", Combo, "", fraAud, 720, 1200, 615, 285, kStartsGroup, kDisabled, 0},
    {chkSubMux, "chkSubMux", CheckBox, "Mux into AVI", fraSub, 120, 1200, 1095, 255, kStartsGroup,
     kDisabled, 0},
    {cmdAbout, "cmdAbout", PushButton, "about...", kNoFrame, 2640, 240, 735, 255, kStartsGroup,
     kEnabled, 0, ControlFace::Italic},
    {cmdWFK, "cmdWFK", PushButton, "WaitFor&Key", kNoFrame, 2640, 240, 735, 255, kStartsGroup,
     kEnabled, 0},
    {chkDelTemp, "chkDelTemp", CheckBox, "Delete temporary files", fraOpt, 120, 240, 1695, 375,
     kStartsGroup, kEnabled, 1},
    {chkShutDown, "chkShutDown", CheckBox, "Shut down computer", fraOpt, 120, 600, 1695, 255,
     kStartsGroup, kEnabled, 0},
    {chkMux, "chkMux", CheckBox, "&Mux all", kNoFrame, 2640, 2760, 735, 255, kStartsGroup, kEnabled,
     1},
    {lblAudQual, "lblAudQual", Label, "Quality:", fraAud, 120, 1200, 495, 255, kStartsGroup,
     kDisabled, 0},
    {fraAud, "fraAud", Frame, "Audio", kNoFrame, 120, 840, 1575, 1695, kStartsGroup, kEnabled, 0},
    {fraSub, "fraSub", Frame, "Subtitles", kNoFrame, 1800, 840, 1575, 1695, kStartsGroup, kEnabled,
     0},
    {fraOpt, "fraOpt", Frame, "Options", kNoFrame, 120, 2640, 2175, 975, kStartsGroup, kEnabled, 0},
};

// Each identifier from the first to the last exactly once, so that a
// control's identifier can index an array of all of them.
constexpr bool CoversEveryIdOnce() {
  bool seen[kControlCount]{};
  for (const ControlDesign& d : kTable) {
    const int i = Index(d.id);
    if (i < 0 || i >= kControlCount || seen[i]) return false;
    seen[i] = true;
  }
  return static_cast<int>(std::size(kTable)) == kControlCount;
}
static_assert(CoversEveryIdOnce());

}  // namespace

std::span<const ControlDesign> ControlTable() {
  return kTable;
}

const ControlDesign& DesignOf(ControlId id) {
  for (const ControlDesign& d : kTable)
    if (d.id == id) return d;
  throw std::logic_error("a control without a design");
}

TwipsRect PlaceInWindow(const ControlDesign& design) {
  TwipsRect place{design.left, design.top, design.width, design.height};
  if (design.frame) {
    const ControlDesign& frame = DesignOf(*design.frame);
    place.left += frame.left;
    place.top += frame.top;
  }
  return place;
}

}  // namespace quillon

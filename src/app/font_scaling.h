#pragma once
// How the main window's font follows the system's scaling. The window and
// its controls grow with the scaling exactly (the design is in twips); the
// font must grow with them without outgrowing them. The measurements come
// from the Win32 side; the choices are made here.

namespace quillon {

// The scaling the design was drawn at (100 %).
inline constexpr int kDesignDpi = 96;

// The character height, in pixels, that the design's 6.75-point font has at
// `dpi`.
int DesignCharacterHeight(int dpi);

// Whether the design's bitmap face must give way to a scalable one: it has no
// size near `wantedHeight` and gave `realisedHeight` (more than a tenth
// smaller). A height that could not be measured (0) keeps the design's face.
bool NeedsScalableFace(int wantedHeight, int realisedHeight);

// The character height at which the window's texts keep the share of their
// controls that they have at 100 %: `height` when the texts, `textWidth`
// pixels wide at that height, are no wider than `designTextWidth` (their
// width at 100 %) grown with the scaling; otherwise a height smaller in
// proportion, at least 1. Unknown widths (0) keep `height`.
int FittingCharacterHeight(int height, long textWidth, long designTextWidth, int dpi);

}  // namespace quillon

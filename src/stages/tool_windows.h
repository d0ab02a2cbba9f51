#pragma once
// What the subtitle macro knows of the two GUI tools it drives: captions and
// control identifiers. The stand-in tools of the test suite share this header
// so that both sides agree by construction.

namespace quillon::tools {

inline constexpr char kSubToSupCaption[] = "SubToSup";
inline constexpr int kSubToSupOpenButton = 1002;
// Shown when the converter has written its SUP files.
inline constexpr char kSubToSupDoneCaption[] = "SubToSup 0.9 Beta";

// The editor's main window caption ends in its author's name and the
// recognition window's in the engine author's name; neither name is fixed
// here, so both windows are matched on these beginnings.
inline constexpr char kSubEditCaptionPrefix[] = "DVDSubEdit -- Version 1.34 By ";
inline constexpr char kOcrProgressCaptionPrefix[] = "Running OCR... (based on GOCR by ";
inline constexpr char kLoadIfoCaption[] = "Load IFO file";
inline constexpr int kSubEditRecognizeButton = 1053;
inline constexpr int kSubEditSaveButton = 1056;
inline constexpr char kSubEditSettingsFile[] = "DVDSubEdit.ini";

}  // namespace quillon::tools

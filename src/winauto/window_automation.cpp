#include "app/frm_main.h"

namespace quillon {

WindowHandle FrmMain::FindCaption(const CaptionPattern&) { return 0; }
void FrmMain::WaitForCaption(const CaptionPattern&) {}
void FrmMain::WaitForNotCaption(const CaptionPattern&) {}
void FrmMain::ClickThing(const CaptionPattern&, int) {}
void FrmMain::RunActive(const std::string&, const CaptionPattern&, int) {}
void FrmMain::PressKeys(const std::string&) {}
void FrmMain::TypeText(const std::string&) {}

}  // namespace quillon

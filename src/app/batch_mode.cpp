#include <exception>

#include "app/batch_command.h"
#include "app/frm_main.h"
#include "platform/add_backslash.h"

namespace quillon {

namespace {

// Only the exact one-character texts act; anything else leaves the control.
int Switch(const std::string& field) {
  if (field == "0") return 0;
  if (field == "1") return 1;
  return -1;
}

}  // namespace

bool FrmMain::CommandLineGiven() {
  return platform_.CommandLine().find_first_not_of(" \t") != std::string::npos;
}

void FrmMain::TickCommandTimer() {
  view_.SetTimer(TimerId::TimerCMD, false);
  if (!CommandLineGiven()) return;
  try {
    RunCommandLine();
  } catch (const std::exception& error) {
    // A failing job is handled inside StartJob; this is the folder scan.
    FailJob(std::string("The command line could not be carried out:\r\n") + error.what());
  }
}

void FrmMain::RunCommandLine() {
  const std::string commandLine = platform_.CommandLine();
  const auto fields = SplitBatchFields(commandLine);
  if (!fields) {
    // A folder dropped onto the program arrives as its bare (maybe quoted)
    // path: open it as if it had been picked.
    if (commandLine.find('?') == std::string::npos) {
      const std::string folder = DroppedFolder(commandLine);
      if (!folder.empty() && platform_.FolderExists(folder)) {
        job_.Files().SetSource(AddBackslash(folder));
        ScanSourceFolder();
        return;
      }
    }
    RefuseCommandLine(commandLine);
    return;
  }

  batchMode_ = true;
  const BatchFields& field = *fields;
  job_.Files().SetSource(AddBackslash(field[0]));
  ScanSourceFolder();
  if (const int audio = Switch(field[1]); audio >= 0)
    SelectOption(audio == 1 ? ControlId::optAudMP3 : ControlId::optAudOrig);
  SetQualityText(field[2]);
  if (const int subtitles = Switch(field[3]); subtitles >= 0)
    SelectOption(subtitles == 1 ? ControlId::optSubSRT : ControlId::optSubOrig);
  const ControlId boxes[] = {ControlId::chkSubMux, ControlId::chkDelTemp, ControlId::chkShutDown,
                             ControlId::chkMux};
  for (std::size_t i = 0; i < std::size(boxes); ++i)
    if (const int value = Switch(field[4 + i]); value >= 0) SetCheck(boxes[i], value);
  StartJob();
}

void FrmMain::RefuseCommandLine(const std::string& commandLine) {
  // A command line means no one may be watching, whether or not it could be
  // read: the refusal closes itself like a batch run's boxes.
  platform_.ShowMessage(CommandLineRefusal(commandLine), kAppName, MessageIcon::Error,
                        job_.Limits().unattendedBoxMs);
  exitCode_ = kExitBadCommandLine;
  CloseWindow();
}

}  // namespace quillon

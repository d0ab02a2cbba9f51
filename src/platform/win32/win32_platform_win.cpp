#include "platform/win32/win32_platform_win.h"

#include "platform/win32/activate_window_win.h"
#include "platform/win32/ansi_text_file_win.h"
#include "platform/win32/browse_for_folder_win.h"
#include "platform/win32/command_line_win.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/get_special_folder_win.h"
#include "platform/win32/input_box_win.h"
#include "platform/win32/message_box_win.h"
#include "platform/win32/process_start_win.h"
#include "platform/win32/program_paths_win.h"
#include "platform/win32/send_input_win.h"
#include "platform/win32/settings_store_win.h"
#include "platform/win32/shell_wait_win.h"
#include "platform/win32/utf8_text_file_win.h"
#include "platform/win32/wait_seconds_win.h"
#include "platform/win32/window_search_win.h"

namespace quillon {

std::string Win32Platform::CommandLine() {
  return ProgramArguments();
}
std::string Win32Platform::ExecutableFolder() {
  return quillon::ExecutableFolder();
}
std::string Win32Platform::WorkingFolder() {
  return quillon::WorkingFolder();
}

bool Win32Platform::FileExists(const std::string& path) {
  return quillon::FileExists(path);
}
bool Win32Platform::FolderExists(const std::string& path) {
  return quillon::FolderExists(path);
}
std::vector<FolderEntry> Win32Platform::ListFolder(const std::string& folder) {
  return quillon::ListFolder(folder);
}
void Win32Platform::CopyFile(const std::string& from, const std::string& to) {
  CopyFileReplacing(from, to);
}
void Win32Platform::DeleteFile(const std::string& path) {
  DeleteOneFile(path);
}
void Win32Platform::CreateFolder(const std::string& path) {
  quillon::CreateFolder(path);
}
void Win32Platform::RemoveFolder(const std::string& path) {
  quillon::RemoveFolder(path);
}
void Win32Platform::WriteAnsiTextFile(const std::string& path, const std::string& text) {
  quillon::WriteAnsiTextFile(path, text);
}
std::unique_ptr<HeldTextFile> Win32Platform::HoldTextFile(const std::string& path) {
  return HoldUtf8TextFile(path);
}

ProcessOutcome Win32Platform::ShellWait(const std::string& commandLine, int showStyle,
                                        std::uint32_t timeoutMs) {
  return quillon::ShellWait(commandLine, showStyle, timeoutMs);
}
bool Win32Platform::StartProgram(const std::string& commandLine, int showStyle) {
  std::optional<StartedProcess> started = StartProcess(commandLine, showStyle);
  if (!started) return false;
  std::erase_if(started_, [](const UniqueHandle& process) {
    return ::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT;
  });
  started_.push_back(std::move(started->process));
  return true;
}
void Win32Platform::EndStartedPrograms() {
  for (const UniqueHandle& process : started_) {
    if (::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT) continue;
    ::TerminateProcess(process.Get(), 1);
    // Ending is asynchronous; the tool's windows and files go with it.
    ::WaitForSingleObject(process.Get(), 5000);
  }
  started_.clear();
}
void Win32Platform::ShellOpen(const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& folder,
                              int showStyle) {
  quillon::ShellOpen(verb, file, parameters, folder, showStyle);
}

void Win32Platform::WaitSeconds(std::int32_t seconds) {
  quillon::WaitSeconds(seconds, mainWindow_);
}
std::uint64_t Win32Platform::NowMilliseconds() {
  return quillon::NowMilliseconds();
}
void Win32Platform::PumpMessagesFor(std::uint32_t ms) {
  quillon::PumpMessagesFor(ms, mainWindow_);
}

WindowHandle Win32Platform::FindCaption(const std::string& caption) {
  return FromHwnd(quillon::FindCaption(caption));
}
WindowHandle Win32Platform::FindCaptionPrefix(const std::string& prefix) {
  return FromHwnd(quillon::FindCaptionPrefix(prefix));
}
bool Win32Platform::ActivateWindow(WindowHandle window) {
  return quillon::ActivateWindow(ToHwnd(window));
}
void Win32Platform::ClickControl(WindowHandle window, int controlId) {
  quillon::ClickControl(ToHwnd(window), controlId);
}
void Win32Platform::SendKeys(const std::vector<KeyStroke>& keys) {
  quillon::SendKeys(keys, mainWindow_);
}
void Win32Platform::SendText(const std::string& text) {
  quillon::SendText(text, mainWindow_);
}

std::string Win32Platform::BrowseForFolder(const std::string& title) {
  return quillon::BrowseForFolder(mainWindow_, title);
}
std::string Win32Platform::GetSpecialFolder(int csidl) {
  return quillon::GetSpecialFolder(csidl);
}

std::optional<std::string> Win32Platform::ReadSetting(const std::string& app,
                                                      const std::string& section,
                                                      const std::string& key) {
  return quillon::ReadSetting(app, section, key);
}
void Win32Platform::WriteSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value) {
  quillon::WriteSetting(app, section, key, value);
}

void Win32Platform::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon,
                                std::uint32_t closeAfterMs) {
  quillon::ShowMessage(mainWindow_, text, title, icon, closeAfterMs);
}
std::optional<std::string> Win32Platform::InputBox(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& defaultText) {
  return quillon::InputBox(mainWindow_, prompt, title, defaultText);
}

}  // namespace quillon

// BeSweet.exe: the audio converter. It takes exactly the one command-line
// form the program uses,
//   "<own path>" -core( -input "<in>" -output "<out>" ) -lame( -b <kbit/s>)
// and "converts" by writing an MP3 stand-in that names its input and rate.

#include "support/standin.h"
#include "tool_model/outside_tools.h"

namespace {

std::optional<quillon::tool_model::BeSweetCall<wchar_t>> Parse(std::wstring_view command_line) {
  const auto call = quillon::tool_model::ReadBeSweetCall(command_line);
  if (!call) {
    standin::Log(L"error", L"command line is not in the accepted form");
    return std::nullopt;
  }
  if (!standin::IsOwnPath(call->program)) return std::nullopt;
  return call;
}

}  // namespace

int wmain() {
  const standin::Mode mode = standin::Start();
  if (mode.kind == standin::ModeKind::kHang) standin::SleepForever();
  const auto request = Parse(GetCommandLineW());
  if (!request) standin::Exit(1);

  const std::optional<std::string> input = standin::ReadBytes(request->input);
  if (!input) {
    standin::Log(L"error", L"cannot open input " + request->input);
    standin::Exit(1);
  }
  Sleep(mode.DelayOr(standin::kUsualDelayMs));

  std::string mp3 =
      standin::ToUtf8(L"MP3 " + request->bitrate + L" kbit/s from " + request->input + L"\r\n");
  mp3 += "input size " + std::to_string(input->size()) + " bytes\r\n";
  const bool crashes = mode.kind == standin::ModeKind::kPartialCrash;
  if (mode.kind == standin::ModeKind::kPartial || crashes) mp3.resize(mp3.size() / 2);
  if (!standin::WriteWholeFile(request->output, mp3)) standin::Exit(1);
  standin::Log(L"wrote", request->output);
  if (crashes) standin::Crash();
  standin::Log(L"done", L"Conversion Completed");
  standin::Exit(0);
}

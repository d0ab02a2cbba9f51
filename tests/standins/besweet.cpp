// BeSweet.exe: the audio converter. It takes exactly the one command-line
// form the program uses,
//   "<own path>" -core( -input "<in>" -output "<out>" ) -lame( -b <kbit/s>)
// and "converts" by writing an MP3 stand-in that names its input and rate.

#include "support/standin.h"

namespace {

struct Request {
  std::wstring input;
  std::wstring output;
  std::wstring bitrate;
};

std::optional<Request> Parse(std::wstring_view command_line) {
  standin::ExactReader reader(command_line);
  if (!standin::ReadOwnPath(reader)) return std::nullopt;
  std::optional<std::wstring> input, output, bitrate;
  if (!reader.Literal(L" -core( -input ") || !(input = reader.Quoted()) ||
      !reader.Literal(L" -output ") || !(output = reader.Quoted()) ||
      !reader.Literal(L" ) -lame( -b ") || !(bitrate = reader.Digits()) || !reader.Literal(L")") ||
      !reader.AtEnd()) {
    standin::Log(L"error", L"command line is not in the accepted form");
    return std::nullopt;
  }
  return Request{*input, *output, *bitrate};
}

}  // namespace

int wmain() {
  const standin::Mode mode = standin::Start();
  if (mode.kind == standin::ModeKind::kHang) standin::SleepForever();
  const std::optional<Request> request = Parse(GetCommandLineW());
  if (!request) standin::Exit(1);

  const std::optional<std::string> input = standin::ReadWholeFile(request->input);
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

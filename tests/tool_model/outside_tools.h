#pragma once
// What the tests know of the outside tools, shared by their two models: the
// scripted tools of the unit tests (in memory, narrow UTF-8 text) and the
// Win32 stand-ins (real programs, wide text). Only what both genuinely agree
// on lives here: the one command-line form each console tool accepts, read
// exactly, and where "Open SUP file..." sits in the editor's File menu.
// Portable C++: no <windows.h>.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::tool_model {

// Reads a command line piece by piece, exactly: the outside tools are given
// fixed forms, and a stray space or quote must show up as an error.
template <typename Char>
class ExactReader {
 public:
  using View = std::basic_string_view<Char>;
  using String = std::basic_string<Char>;

  explicit ExactReader(View text) : rest_(text) {}
  // Consumes `literal` (plain ASCII) if the text continues with it.
  bool Literal(std::string_view literal) {
    if (rest_.size() < literal.size()) return false;
    for (std::size_t i = 0; i < literal.size(); ++i)
      if (rest_[i] != static_cast<Char>(literal[i])) return false;
    rest_.remove_prefix(literal.size());
    return true;
  }
  // Consumes a double-quoted text (no quote inside) and returns its inside.
  std::optional<String> Quoted() {
    if (rest_.empty() || rest_[0] != Char('"')) return std::nullopt;
    const std::size_t close = rest_.find(Char('"'), 1);
    if (close == View::npos) return std::nullopt;
    String inside(rest_.substr(1, close - 1));
    rest_.remove_prefix(close + 1);
    return inside;
  }
  // Consumes one or more decimal digits.
  std::optional<String> Digits() {
    std::size_t n = 0;
    while (n < rest_.size() && rest_[n] >= Char('0') && rest_[n] <= Char('9')) ++n;
    if (n == 0) return std::nullopt;
    String digits(rest_.substr(0, n));
    rest_.remove_prefix(n);
    return digits;
  }
  bool AtEnd() const { return rest_.empty(); }

 private:
  View rest_;
};

// "<program>" e "<archive>" "<destination>"
template <typename Char>
struct UnRarCall {
  std::basic_string<Char> program, archive, destination;
};
template <typename Char>
std::optional<UnRarCall<Char>> ReadUnRarCall(std::basic_string_view<Char> line) {
  ExactReader<Char> r(line);
  std::optional<std::basic_string<Char>> program, archive, destination;
  if (!(program = r.Quoted()) || !r.Literal(" e ") || !(archive = r.Quoted()) || !r.Literal(" ") ||
      !(destination = r.Quoted()) || !r.AtEnd())
    return std::nullopt;
  return UnRarCall<Char>{*program, *archive, *destination};
}

// "<program>" -core( -input "<input>" -output "<output>" ) -lame( -b <kbit/s>)
template <typename Char>
struct BeSweetCall {
  std::basic_string<Char> program, input, output, bitrate;
};
template <typename Char>
std::optional<BeSweetCall<Char>> ReadBeSweetCall(std::basic_string_view<Char> line) {
  ExactReader<Char> r(line);
  std::optional<std::basic_string<Char>> program, input, output, bitrate;
  if (!(program = r.Quoted()) || !r.Literal(" -core( -input ") || !(input = r.Quoted()) ||
      !r.Literal(" -output ") || !(output = r.Quoted()) || !r.Literal(" ) -lame( -b ") ||
      !(bitrate = r.Digits()) || !r.Literal(")") || !r.AtEnd())
    return std::nullopt;
  return BeSweetCall<Char>{*program, *input, *output, *bitrate};
}

// "<program>" "<script>"
template <typename Char>
struct AviMuxCall {
  std::basic_string<Char> program, script;
};
template <typename Char>
std::optional<AviMuxCall<Char>> ReadAviMuxCall(std::basic_string_view<Char> line) {
  ExactReader<Char> r(line);
  std::optional<std::basic_string<Char>> program, script;
  if (!(program = r.Quoted()) || !r.Literal(" ") || !(script = r.Quoted()) || !r.AtEnd())
    return std::nullopt;
  return AviMuxCall<Char>{*program, *script};
}

// The editor's File menu, top to bottom ("" is a separator). Alt+F opens it
// with the first entry highlighted, so "Open SUP file..." is as many Down
// arrows away as its place.
inline constexpr const char* kSubEditFileMenu[] = {
    "&New project", "Open &IFO file...", "Open &VobSub...", "&Open SUP file...", "", "E&xit",
};
inline constexpr int kSubEditOpenSupEntry = 3;
// The extension the editor's save dialog adds to a name typed without one.
inline constexpr char kSubEditSaveExtension[] = "srt";

}  // namespace quillon::tool_model

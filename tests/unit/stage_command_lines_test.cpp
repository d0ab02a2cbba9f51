// The command lines given to the command-line tools, byte for byte.

#include <gtest/gtest.h>

#include "stages/mux_script.h"
#include "stages/tool_commands.h"

namespace quillon {
namespace {

constexpr char kBeSweet[] = "C:\\App\\tools\\BeSweetv1.5b31\\BeSweet.exe";

struct BeSweetCase {
  const char* sourceDir;
  const char* entry;
  const char* bitRate;
  const char* expected;
};

class BeSweetCommandLineTest : public ::testing::TestWithParam<BeSweetCase> {};

TEST_P(BeSweetCommandLineTest, IsExact) {
  const auto& c = GetParam();
  JobFiles files;
  files.SetSource(c.sourceDir);
  EXPECT_EQ(BeSweetCommandLine(kBeSweet, files.SourceTrack(c.entry), files.Mp3(c.entry), c.bitRate),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, BeSweetCommandLineTest,
    ::testing::Values(
        BeSweetCase{
            "D:\\Rips\\Film\\", "0x80.ac3", "128",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\Rips\Film\0x80.ac3" -output "D:\Rips\Film\mux\0x80.mp3" ) -lame( -b 128))"},
        // A long name: the output carries the track key only.
        BeSweetCase{
            "D:\\Rips\\Film\\", "0x80 main.ac3", "320",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\Rips\Film\0x80 main.ac3" -output "D:\Rips\Film\mux\0x80.mp3" ) -lame( -b 320))"},
        // An MP3 track is encoded again, into the mux folder.
        BeSweetCase{
            "D:\\Rips\\Film\\", "0x82.mp3", "64",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\Rips\Film\0x82.mp3" -output "D:\Rips\Film\mux\0x82.mp3" ) -lame( -b 64))"},
        // The bit-rate text goes in verbatim, even empty or not a number.
        BeSweetCase{
            "D:\\Rips\\Film\\", "0x80.ac3", "",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\Rips\Film\0x80.ac3" -output "D:\Rips\Film\mux\0x80.mp3" ) -lame( -b ))"},
        BeSweetCase{
            "D:\\Rips\\Film\\", "0x80.ac3", "high",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\Rips\Film\0x80.ac3" -output "D:\Rips\Film\mux\0x80.mp3" ) -lame( -b high))"},
        // Spaces and notation characters in the folder stay inside the quotes.
        BeSweetCase{
            "D:\\My Rips\\50% (a+b) {c}\\", "a.wav", "192",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\My Rips\50% (a+b) {c}\a.wav" -output "D:\My Rips\50% (a+b) {c}\mux\a.wa.mp3" ) -lame( -b 192))"},
        // Non-ASCII: the key is four characters, not four bytes.
        BeSweetCase{
            "D:\\Filme\\Großstadt\\", "Ünïcode.ac3", "128",
            R"("C:\App\tools\BeSweetv1.5b31\BeSweet.exe" -core( -input "D:\Filme\Großstadt\Ünïcode.ac3" -output "D:\Filme\Großstadt\mux\Ünïc.mp3" ) -lame( -b 128))"}));

TEST(UnRarCommandLine, QuotesEveryPathAndPassesNoSwitch) {
  EXPECT_EQ(UnRarCommandLine("C:\\App\\tools\\UnRAR.exe", "D:\\Rips\\Film\\movie.rar",
                             "D:\\Rips\\Film\\mux\\"),
            R"("C:\App\tools\UnRAR.exe" e "D:\Rips\Film\movie.rar" "D:\Rips\Film\mux\")");
  EXPECT_EQ(
      UnRarCommandLine("C:\\Program Files\\Q\\tools\\UnRAR.exe",
                       "D:\\My Rips\\Film\\subtitles\\movie.rar", "D:\\My Rips\\Film\\mux\\"),
      R"("C:\Program Files\Q\tools\UnRAR.exe" e "D:\My Rips\Film\subtitles\movie.rar" "D:\My Rips\Film\mux\")");
}

TEST(AviMuxCommandLine, QuotesTheProgramAndTheScript) {
  JobFiles files;
  files.SetSource("D:\\Rips\\Film\\");
  EXPECT_EQ(AviMuxCommandLine("C:\\App\\tools\\AVI-Mux_GUI-1.17.7\\AVIMux_GUI.exe", files.Script()),
            R"("C:\App\tools\AVI-Mux_GUI-1.17.7\AVIMux_GUI.exe" "D:\Rips\Film\mux\movie.amg")");
  files.SetSource("D:\\My Rips\\Film\\");
  EXPECT_EQ(AviMuxCommandLine("C:\\A b\\AVIMux_GUI.exe", files.Script()),
            R"("C:\A b\AVIMux_GUI.exe" "D:\My Rips\Film\mux\movie.amg")");
}

}  // namespace
}  // namespace quillon

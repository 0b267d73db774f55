// The voice's rate and its command line, run through /bin/sh with a stand-in espeak-ng.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "command_line.h"
#include "espeak_speech.h"

namespace lumiseek::voice {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(EspeakVoice, RateZeroIsNormalSlowAndFastDifferClearlyLimitsHold) {
  for (auto [rate, wpm] : std::vector<std::pair<int, int>>{{0, 175}, {-3, 126}, {3, 243}, {-10, 80}, {-30, 80},
                                                            {10, 450}, {99, 450}})
    EXPECT_EQ(WordsPerMinute(rate), wpm) << rate;
}

TEST(EspeakVoice, CommandLineRunsEspeakWithRateTextAndWavAndReportsIdAndExitCode) {
  fs::path dir = fs::temp_directory_path() / ("voice test " + std::to_string(getpid()));
  fs::create_directories(dir / "bin");
  // The stand-in records its arguments and ends with 3.
  fs::path fake = dir / "bin" / "espeak-ng";
  std::ofstream(fake) << "#!/bin/sh\nprintf '[%s]\\n' \"$@\" > \"" << (dir / "args").string()
                      << "\"\nexit 3\n";
  fs::permissions(fake, fs::perms::owner_all);

  std::string wav = (dir / "out \\\"1\".wav").string();  // a backslash before a quote
  EXPECT_EQ(testing::RunWindowsCommandLine(SpeechCommandLine(dir.string(), 7, 130, wav), (dir / "bin").string()), 0);
  std::string text_file = (dir / "7.txt").string();
  EXPECT_EQ(Slurp(dir / "args"), "[-s]\n[130]\n[-b]\n[1]\n[-f]\n[" + text_file + "]\n[-w]\n[" + wav + "]\n");
  EXPECT_EQ(Slurp(dir / "7.rc"), "3\n");
  EXPECT_FALSE(Slurp(dir / "7.pid").empty());

  // Without a WAV file the speech goes to the sound device: no -w.
  EXPECT_EQ(testing::RunWindowsCommandLine(SpeechCommandLine(dir.string(), 8, 175, ""), (dir / "bin").string()), 0);
  EXPECT_EQ(Slurp(dir / "args"), "[-s]\n[175]\n[-b]\n[1]\n[-f]\n[" + (dir / "8.txt").string() + "]\n");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace lumiseek::voice

#include "espeak_speech.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace lumiseek::voice {

namespace {

constexpr int kNormalWordsPerMinute = 175;
constexpr int kSlowestWordsPerMinute = 80;
constexpr int kFastestWordsPerMinute = 450;

// $1 folder, $2 number, $3 words per minute, $4 WAV file or empty. The id and the exit code are
// written under another name first and then renamed, so a reader never sees half a number.
constexpr const char* kScript =
    "exec 2>/dev/null; d=$1; n=$2; set -- -s \"$3\" -b 1 -f \"$d/$n.txt\" ${4:+-w} ${4:+\"$4\"}; "
    "espeak-ng \"$@\" >/dev/null 2>&1 & "
    "echo $! >\"$d/$n.p\"; mv -f \"$d/$n.p\" \"$d/$n.pid\"; "
    "wait $!; echo $? >\"$d/$n.r\"; mv -f \"$d/$n.r\" \"$d/$n.rc\"";

}  // namespace

int WordsPerMinute(long rate) {
  rate = std::clamp(rate, -10L, 10L);
  double wpm = kNormalWordsPerMinute * std::pow(3.0, static_cast<double>(rate) / 10.0);
  return std::clamp(static_cast<int>(RoundHalfEven(wpm)), kSlowestWordsPerMinute, kFastestWordsPerMinute);
}

std::string SpeechCommandLine(const std::string& folder, unsigned number, int words_per_minute,
                              const std::string& wav) {
  std::string line = "/bin/sh -c";
  for (const std::string& arg : {std::string(kScript), std::string("lumiseek-voice"), folder, std::to_string(number),
                                 std::to_string(words_per_minute), wav}) {
    line.append(1, ' ').append(QuoteWindowsArgument(arg));
  }
  return line;
}

}  // namespace lumiseek::voice

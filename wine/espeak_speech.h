// What the espeak-ng voice asks of Linux, built without the platform so that it is tested
// anywhere: the speaking rate in words per minute and the command line of one utterance.
#pragma once

#include <string>

namespace lumiseek::voice {

// espeak-ng's words per minute for a voice rate from -10 to 10 (beyond is taken as the limit):
// 0 is espeak-ng's normal 175, each step a tenth of a tripling (10 is three times as fast,
// -10 a third), kept within what espeak-ng accepts (80 to 450).
int WordsPerMinute(long rate);

// The command line that speaks utterance `number` of the Linux folder `folder`: its text is the
// UTF-8 file <folder>/<number>.txt. /bin/sh starts espeak-ng at `words_per_minute`, writes
// espeak-ng's process id to <number>.pid as soon as it runs and its exit code to <number>.rc
// when it ends (a Windows program gets no process handle for a Linux one). With a `wav` path
// the speech goes to that WAV file instead of the sound device.
std::string SpeechCommandLine(const std::string& folder, unsigned number, int words_per_minute,
                              const std::string& wav);

}  // namespace lumiseek::voice

// es on Linux: the arguments joined with blanks make the command line, which is then read by
// the same rules as on Windows (a caller may pass the whole line as one argument). Started by
// es.exe under Wine with kHandOffSwitch alone, it reads its command line from standard input.
#include <cstring>
#include <string>

#include "handoff.h"
#include "run.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], es::kHandOffSwitch) == 0) es::ServeHandOff();
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return es::RunEs(line, false, false, true);
}

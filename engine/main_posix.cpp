// es on Linux: the arguments joined with blanks make the command line, which is then read by
// the same rules as on Windows (a caller may pass the whole line as one argument).
#include <string>

#include "run.h"

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return es::RunEs(line, false);
}

// es on Linux: the arguments joined with blanks make the command line.
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

// es.exe: the search text is read from the raw command line, so quotes and blanks reach the
// parser exactly as the command interpreter passed them.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "base/text.h"
#include "run.h"

int wmain(int, wchar_t**) {
  _setmode(_fileno(stdout), _O_BINARY);
  const wchar_t* line = GetCommandLineW();
  // Skip the program name: quoted up to the closing quote, else up to the first blank.
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  std::u16string_view rest(reinterpret_cast<const char16_t*>(line), wcslen(line));
  return es::RunEs(lumiseek::Utf16ToUtf8(rest), true);
}

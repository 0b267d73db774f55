// es.exe: reads the raw command line (not the C runtime's argv, whose backslash and quote rules
// would take the quote of `!"c:\program files\"` as escaped); the program's name is skipped by
// the same rule that splits the rest.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "base/text.h"
#include "options.h"
#include "run.h"

int wmain(int, wchar_t**) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);  // none when started without a console
  if (out != nullptr && out != INVALID_HANDLE_VALUE) _setmode(_fileno(stdout), _O_BINARY);
  const wchar_t* line = GetCommandLineW();
  std::string text = lumiseek::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(line), wcslen(line)));
  return es::RunEs(es::AfterFirstArgument(text), true, false, true);
}

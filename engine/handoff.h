// Handing a search to the native es under Wine: the native program's command line, built here
// without the platform so that it can be tested anywhere (handoff_win32.cpp starts it).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"

namespace es {

// The arguments for the native es that makes the same search as `options`, over the Linux
// folders `linux_roots` shown as `shown_roots`, writing the export (when there is one) to the
// Linux path `linux_export`. Arguments are read by es's own rules on the other side, so one
// holding a double quote cannot be handed over: then nothing.
std::optional<std::vector<std::string>> NativeEsArguments(const Options& options,
                                                          const std::vector<std::string>& linux_roots,
                                                          const std::vector<std::string>& shown_roots,
                                                          const std::string& linux_export);

// The switch that makes the native es a program handed a search: it reads its command line from
// standard input, a connected socket (HandOffRequest), ends as soon as that socket reaches its end
// (the program that handed the search over is gone), and writes its exit code back (HandOffReply).
// The export file it is given is the caller's temporary file: made by it, written in place, and
// removed when the caller ends if it is still there (a caller moves it away before it ends). For
// -index-start, -index-status and -index-stop, what it prints comes back in the reply, for the caller
// to print: a Linux program may not reach every output a Windows one has.
constexpr const char* kHandOffSwitch = "-wine-handoff";

// What goes over the socket: the arguments joined with blanks, ended by a NUL byte.
std::string HandOffRequest(const std::vector<std::string>& arguments);

// The most of each printed text a reply carries; more is cut.
constexpr size_t kMaxHandOffPrinted = 4096;

// The exit code as it goes back: its number and a line end; with printed text, the number, the
// byte counts of the standard output's and the standard error's text, a line end, then both texts.
std::string HandOffReply(int exit_code, std::string_view printed = {}, std::string_view errors = {});

struct HandOffAnswer {
  int exit_code = 0;
  std::string printed, errors;
};

// The answer in a reply received so far; nothing when it is not of that form or not yet whole.
std::optional<HandOffAnswer> ReadHandOffReply(std::string_view text);

// Under Wine, with a native es (a Linux program file named "es") beside this program: runs the
// search (or the index switch, printing what the native es printed) there, with the Windows roots and `export_file` translated to Linux paths and every path
// shown as this program would show it, sets `exit_code` and returns true. False, having done nothing
// that counts, when not under Wine, without a native es, when it cannot be started, or when it ends
// without sending its exit code (a partly written `export_file` is then removed). Defined on Windows
// only.
bool HandOffToNativeEs(const Options& options, const std::vector<std::string>& roots, const std::string& export_file,
                       int& exit_code);

// Serves one search handed over on standard input (see kHandOffSwitch) and ends the process with its
// exit code. Defined off Windows only.
[[noreturn]] void ServeHandOff();

}  // namespace es

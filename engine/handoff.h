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

// The command line that runs `program` with `arguments` through /bin/sh, which writes the
// program's process id to `status` + ".pid" when it starts and its exit code to `status` when
// it ends (a Windows program gets no process handle for a Linux one).
std::string ShellCommandLine(const std::string& status, const std::string& program,
                             const std::vector<std::string>& arguments);

// Under Wine, with a native es (a Linux program file named "es") beside this program: runs the
// search there, with the Windows roots and export file translated to Linux paths and every
// path shown as this program would show it, sets `exit_code` and returns true. False, having
// done nothing that counts, when not under Wine, without a native es, or when it cannot be
// started or ends without an exit code. Defined on Windows only.
bool HandOffToNativeEs(const Options& options, const std::vector<std::string>& roots, int& exit_code);

// The exit code in the text of a status file; nothing when it holds no number or its line has
// not ended yet (echo writes the number and the line end at once: an empty or unended file is
// one still being written).
std::optional<int> ReadExitCode(std::string_view text);

}  // namespace es

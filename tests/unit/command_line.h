// Test helpers: a command line split by the Windows rules (as CommandLineToArgvW and Wine, when it
// starts a Linux program, split it), and a Linux program run with those arguments.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace lumiseek::testing {

inline std::vector<std::string> SplitWindowsCommandLine(const std::string& line) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string arg;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2) arg += '"';
        else quoted = !quoted;
      } else {
        arg.append(backslashes, '\\');
        if (i >= line.size() || (!quoted && (line[i] == ' ' || line[i] == '\t'))) break;
        arg += line[i];
      }
    }
    args.push_back(arg);
  }
  return args;
}

// Runs the command line's program with its arguments, PATH put in front by `path_first`; returns the
// exit status.
inline int RunWindowsCommandLine(const std::string& line, const std::string& path_first) {
  std::vector<std::string> args = SplitWindowsCommandLine(line);
  pid_t pid = fork();
  if (pid == 0) {
    std::string path = path_first + ":" + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin");
    setenv("PATH", path.c_str(), 1);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace lumiseek::testing

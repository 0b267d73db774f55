// The native es's command line: the same search read back on the other side, and the shell that
// reports its exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "command_line.h"
#include "handoff.h"
#include "run.h"
#include "walk.h"

namespace es {
namespace {

namespace fs = std::filesystem;

std::string Join(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) line += (line.empty() ? "" : " ") + arg;
  return line;
}

// What a search is made of, as one text.
std::string Summary(const Options& o) {
  return o.search + "|" + std::to_string(o.size) + std::to_string(o.date_modified) + std::to_string(int(o.type)) +
         std::to_string(int(o.sort)) + "|" + std::to_string(o.max_results) + "|" + o.export_file;
}

TEST(HandOff, NativeEsReadsTheSameSearchWithLinuxRootsShownAsWindowsOnes) {
  for (const char* line : {"!c:\\windows\\ !\"c:\\program files\\\" -size -size-format 2 -dm /a-d -sort dm -n 100 "
                           "-export-csv results.txt budget|\"my notes\"",
                           "/ad -sort name ext:txt;md"}) {
    Options windows = ParseCommandLine(line, true).options;
    auto args = NativeEsArguments(windows, {"/home/ann", "/mnt/my disk"}, {"Z:\\home\\ann", "D:\\"}, "/app dir/r.txt");
    ASSERT_TRUE(args) << line;
    ParseResult native = ParseCommandLine(Join(*args), false);
    ASSERT_EQ(native.exit_code, kExitOk) << native.error;
    if (windows.export_csv) windows.export_file = "/app dir/r.txt";
    EXPECT_EQ(Summary(native.options), Summary(windows));
    EXPECT_EQ(native.options.paths, (std::vector<std::string>{"/home/ann", "/mnt/my disk"}));
    EXPECT_EQ(native.options.shown_paths, (std::vector<std::string>{"Z:\\home\\ann", "D:\\"}));
    EXPECT_TRUE(native.options.wine_view);
  }
  // A double quote cannot pass es's rules inside a path: no hand-off.
  EXPECT_FALSE(NativeEsArguments(Options{}, {"/home/a\"b"}, {"Z:\\home\\a\"b"}, ""));
}

TEST(HandOff, ShellPassesEveryArgumentWholeAndLeavesTheExitCode) {
  fs::path dir = fs::temp_directory_path() / ("handoff test " + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::path program = dir / "native es";
  std::ofstream(program) << "#!/bin/sh\nprintf '[%s]\\n' \"$@\" > \"$(dirname \"$0\")/args\"\nexit 7\n";
  fs::permissions(program, fs::perms::owner_all);
  std::string status = (dir / "status").string();
  std::vector<std::string> args = {"!\"c:\\program files\\\" a\\\\b", "", "tab\there", "end\\"};
  EXPECT_EQ(lumiseek::testing::RunWindowsCommandLine(ShellCommandLine(status, program.string(), args), ""), 0);
  std::string text;
  ASSERT_TRUE(ReadWholeFile((dir / "args").string(), text));
  EXPECT_EQ(text, "[!\"c:\\program files\\\" a\\\\b]\n[]\n[tab\there]\n[end\\]\n");
  ASSERT_TRUE(ReadWholeFile(status, text));
  EXPECT_EQ(ReadExitCode(text), 7);
  EXPECT_TRUE(fs::exists(status + ".pid"));
  EXPECT_FALSE(ReadExitCode("") || ReadExitCode("x1\n") || ReadExitCode("7"));  // "7": not yet written whole
  fs::remove_all(dir);
}

}  // namespace
}  // namespace es

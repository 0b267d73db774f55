#include <gtest/gtest.h>

#include "options.h"
#include "query.h"
#include "run.h"

namespace es {
namespace {

TEST(CommandLine, SplitsAsEsDoesAndReadsLumiseeksFileSearch) {
  EXPECT_EQ(SplitCommandLine("  a  \"b c\"\td\"e f\" "), (std::vector<std::string>{"a", "\"b c\"", "d\"e f\""}));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
  // A backslash before a quote escapes nothing; & | < > ^ % are plain characters.
  EXPECT_EQ(SplitCommandLine("!\"c:\\program files\\\" a>x.txt&echo \"cat|dog\" %PATH% x^y"),
            (std::vector<std::string>{"!\"c:\\program files\\\"", "a>x.txt&echo", "\"cat|dog\"", "%PATH%", "x^y"}));
  ParseResult r = ParseCommandLine(
      " !c:\\windows\\ !\"c:\\program files\\\" !c:\\r&d\\  -size -size-format 2 -dm /a-d  -sort dm  -n 500 "
      "-export-csv results.txt budget cat|dog",
      true);
  ASSERT_EQ(r.exit_code, kExitOk) << r.error;
  const Options& o = r.options;
  EXPECT_TRUE(o.size && o.date_modified && o.export_csv && o.type == TypeFilter::FilesOnly);
  EXPECT_TRUE(o.sort == SortKind::DateModified && o.max_results == 500 && o.export_file == "results.txt");
  EXPECT_EQ(o.search, "!c:\\windows\\ !\"c:\\program files\\\" !c:\\r&d\\ budget cat|dog");
  Query q = ParseQuery(o.search, '\\');
  EXPECT_EQ(q.excluded_paths, (std::vector<std::string>{"c:\\windows\\", "c:\\program files\\", "c:\\r&d\\"}));
  ASSERT_EQ(q.groups.size(), 5u);
  EXPECT_EQ(q.groups[4].size(), 2u);  // cat OR dog
}

TEST(CommandLine, SwitchVariants) {
  ParseResult r = ParseCommandLine("/AD -SORT Name -export-csv \"my results.txt\" \"a b\" \"-size\"", true);
  ASSERT_EQ(r.exit_code, kExitOk) << r.error;
  EXPECT_TRUE(r.options.type == TypeFilter::FoldersOnly && r.options.sort == SortKind::Name);
  EXPECT_EQ(r.options.export_file, "my results.txt");
  EXPECT_EQ(r.options.search, "\"a b\" \"-size\"");  // a quoted switch is search text
  EXPECT_EQ(r.options.max_results, -1);
  // A negative count (the count clause prints its minus sign in place of the blank): no limit.
  EXPECT_EQ(ParseCommandLine("-n-5 x", true).options.max_results, -5);
  EXPECT_EQ(ParseCommandLine("-N100000", true).options.max_results, 100000);
  EXPECT_EQ(ParseCommandLine("a - b /", true).options.search, "a - b /");  // a lone - or / is a term
  // Off Windows only /ad and /a-d are switches; other slash terms are paths.
  r = ParseCommandLine("/A-D !/home/ann/ /tmp/", false);
  EXPECT_EQ(r.options.type, TypeFilter::FilesOnly);
  EXPECT_EQ(r.options.search, "!/home/ann/ /tmp/");
}

TEST(CommandLine, ErrorsNameTheirCause) {
  ParseResult r = ParseCommandLine("-bogus x", true);
  EXPECT_EQ(r.exit_code, kExitUnknownSwitch);
  EXPECT_NE(r.error.find("-bogus"), std::string::npos);
  EXPECT_EQ(ParseCommandLine("/tmp/", true).exit_code, kExitUnknownSwitch);
  for (const char* line : {"x -n", "-n many", "-n 99999999999999999999", "-sort", "-sort colour", "-export-csv",
                           "-size-format"})
    EXPECT_EQ(ParseCommandLine(line, true).exit_code, kExitMissingValue) << line;
}

TEST(RootsFile, LinesBomCommentsAndRelativePaths) {
  std::vector<std::string> roots =
      ParseRootsFile("\xEF\xBB\xBF/home/ann/\r\n\r\n  # comment\r\n  /srv/data  \nsub\n", "/opt/lumi");
  EXPECT_EQ(roots, (std::vector<std::string>{"/home/ann", "/srv/data", "/opt/lumi/sub"}));
  EXPECT_TRUE(ParseRootsFile("\r\n \n", "/x").empty());
}

}  // namespace
}  // namespace es

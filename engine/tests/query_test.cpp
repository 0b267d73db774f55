// es's command line, its search text and what a search finds.
#include <gtest/gtest.h>

#include "options.h"
#include "query.h"

namespace es {
namespace {

TEST(CommandLine, SplitsAsEsDoesAndReadsLumiseeksFileSearch) {
  EXPECT_EQ(SplitCommandLine("  a  \"b c\"\td\"e f\" "), (std::vector<std::string>{"a", "\"b c\"", "d\"e f\""}));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
  for (const char* help : {"-h", "-help", "/?"}) EXPECT_TRUE(ParseCommandLine(help, true).options.help) << help;
  EXPECT_EQ(ParseCommandLine("-n 5 -bogus a", false).error, "es: unknown switch '-bogus'");
  // es.exe's own name is left out of what it reads, quoted folder with blanks and all.
  EXPECT_EQ(AfterFirstArgument("\"C:\\Program Files\\Lumiseek\\es.exe\" -n 5 a"), " -n 5 a");
  // A backslash before a quote escapes nothing; & | < > ^ % are plain characters.
  EXPECT_EQ(SplitCommandLine("!\"c:\\program files\\\" a>x.txt&echo \"cat|dog\" %PATH% x^y"),
            (std::vector<std::string>{"!\"c:\\program files\\\"", "a>x.txt&echo", "\"cat|dog\"", "%PATH%", "x^y"}));
  ParseResult r = ParseCommandLine(
      " !c:\\windows\\ !\"c:\\program files\\\" !c:\\r&d\\  -size -size-format 2 -dm /a-d  -sort dm  -n 500 "
      "-export-csv results.txt budget cat|dog", true);
  ASSERT_EQ(r.exit_code, kExitOk) << r.error;
  const Options& o = r.options;
  EXPECT_TRUE(o.size && o.date_modified && o.export_csv && o.type == TypeFilter::FilesOnly);
  EXPECT_TRUE(o.sort == SortKind::DateModified && o.max_results == 500 && o.export_file == "results.txt");
  EXPECT_EQ(o.search, "!c:\\windows\\ !\"c:\\program files\\\" !c:\\r&d\\ budget cat|dog");
  Query q = ParseQuery(o.search, '\\');
  EXPECT_EQ(q.excluded_paths, (std::vector<std::string>{"c:\\windows\\", "c:\\program files\\", "c:\\r&d\\"}));
  ASSERT_EQ(q.groups.size(), 5u);
  EXPECT_EQ(q.groups[4].size(), 2u);  // cat OR dog
  // Entries of a folder read are not matched against the excluded folders again, but a path term
  // that does not end with the separator can still end inside a name.
  Query entry = EntryQuery(q, '\\');
  ASSERT_EQ(entry.groups.size(), 2u);
  EXPECT_TRUE(entry.needs_name && !entry.needs_path);
  entry = EntryQuery(ParseQuery("!c:\\windows !c:\\temp\\|x", '\\'), '\\');
  EXPECT_EQ(entry.groups.size(), 2u);
  EXPECT_TRUE(entry.needs_path);
}

TEST(CommandLine, SwitchVariantsAndErrors) {
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
  // Errors name their cause.
  r = ParseCommandLine("-bogus x", true);
  EXPECT_EQ(r.exit_code, kExitUnknownSwitch);
  EXPECT_NE(r.error.find("-bogus"), std::string::npos);
  EXPECT_EQ(ParseCommandLine("/tmp/", true).exit_code, kExitUnknownSwitch);
  for (const char* line : {"x -n", "-n many", "-n 99999999999999999999", "-sort", "-sort colour", "-export-csv",
                           "-size-format"})
    EXPECT_EQ(ParseCommandLine(line, true).exit_code, 4) << line;  // es's code, which callers tell apart
}

// Whether `search` finds the entry at `path` (a Linux path unless `sep` says otherwise).
bool Finds(std::string_view search, std::string_view path, bool is_folder = false, char sep = '/') {
  std::string lower_path;
  FoldCase(path, lower_path);
  std::string lower_name = lower_path.substr(lower_path.rfind(sep) + 1);
  return Matches(ParseQuery(search, sep), Candidate{lower_name, lower_path, is_folder});
}

void ExpectFinds(std::initializer_list<std::tuple<const char*, const char*, bool>> cases) {
  for (auto [search, path, found] : cases) EXPECT_EQ(Finds(search, path), found) << search << " on " << path;
}

TEST(Query, BlanksMeanAndBarsMeanOrNotQuotesAndEmptyTermsAreLeftOut) {
  ExpectFinds({
      {"budget 2023", "/d/budget-2023.xls", true}, {"budget 2024", "/d/budget-2023.xls", false},
      // a|b c is (a or b) and c; blanks around the bar and runs of bars still join
      {"cat|dog food", "/d/dog food.txt", true}, {"cat|dog food", "/d/catfood", true},
      {"cat|dog food", "/d/dog.txt", false}, {"cat|dog food", "/d/food.txt", false},
      {"cat | dog", "/d/dog", true}, {"cat| |dog", "/d/dog", true}, {"cat || dog", "/d/dog", true},
      {"report !draft", "/d/Report final.doc", true}, {"report !draft", "/d/REPORT DRAFT.doc", false},
      {"!!draft", "/d/draft.doc", true}, {"!a|b", "/d/ab", true}, {"!a|c", "/d/ab", false},
      {"\"my file\"", "/d/MY FILE.txt", true}, {"\"my file\"", "/d/my_file.txt", false},
      {"!\"my file\"", "/d/xmy filex", false},
      {"\"a|b\"", "/d/xa|by", true}, {"\"a|b\"", "/d/a", false}, {"\"!x\"", "/d/!x", true},  // plain inside quotes
      {"ÄRGER ZIP", "/d/ärger.zip", true}, {"zip", "/d/ZIP.TXT", true},
      // Terms that ask for nothing are left out: a lone '!' (an exclusion list ending in a line
      // break) must not negate the next term.
      {"!/windows/ ! budget", "/d/budget.txt", true}, {"! \"\" ext: |", "/d/anything", true},
      {"", "/d/anything", true}, {"a|", "/d/a", true}, {"a|", "/d/b", false}});
}

TEST(Query, WildcardsCoverTheWholeName) {
  ExpectFinds({
      {"*.txt", "/d/notes.TXT", true}, {"*.txt", "/d/notes.txt.bak", false}, {"n?tes.*", "/d/notes.md", true},
      {"n?tes", "/d/notes.md", false}, {"notes*", "/d/notes", true}, {"*", "/d/anything", true},
      {"?rger", "/d/Ärger", true}, {"??rger", "/d/Ärger", false},  // one ? is one character, not one byte
      {"*a*b*c*", "/d/xxaxxbxxcxx", true}, {"*a*b*c*", "/d/xxcxxbxxaxx", false}});
}

TEST(Query, PathTermsMatchTheFullPath) {
  ExpectFinds({
      {"/home/ann/", "/home/ann/docs/a.txt", true}, {"/home/ann/", "/home/anna/a.txt", false},
      {"!/home/ann/", "/home/ann/docs/a.txt", false}, {"!/home/ann/", "/home/ann", true},  // not under itself
      {"/home/*.txt", "/home/ann/a.txt", true}, {"/home/*.txt", "/home/ann/a.txt.gz", false}});
  // Windows separator: a backslash term is a path term, a slash one is not.
  EXPECT_FALSE(Finds("!c:\\windows\\", "c:\\windows\\system32\\cat.dll", false, '\\'));
  EXPECT_TRUE(Finds("!c:\\windows\\ x/y", "c:\\data\\x/y.txt", false, '\\'));
}

TEST(Query, ExtensionLists) {
  ExpectFinds({
      {"ext:txt;PDF", "/d/a.pdf", true}, {"EXT:txt;pdf", "/d/A.TXT", true}, {"ext:txt;pdf", "/d/a.txt.gz", false},
      {"ext:txt", "/d/report.v2.txt", true}, {"ext:txt", "/d/txt", false}, {"ext:bashrc", "/d/.bashrc", true},
      {"!ext:txt", "/d/a.doc", true}, {"ext:jpg;png holiday", "/d/Holiday 1.JPG", true},
      {"ext:jpg;png holiday", "/d/work.jpg", false}, {"ext:mp3|ext:wav", "/d/a.wav", true},
      // A category prefix glued to the following word makes a longer last extension.
      {"ext:wma;xmbeatles", "/d/a.xmbeatles", true}, {"ext:wma;xmbeatles", "/d/beatles.xm", false},
  });
  EXPECT_FALSE(Finds("ext:txt", "/d/notes.txt", true));  // folders have no extension here
}

}  // namespace
}  // namespace es

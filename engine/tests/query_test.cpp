#include <gtest/gtest.h>

#include "query.h"

namespace es {
namespace {

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

TEST(Query, BlanksMeanAndBarsMeanOrNotAndQuotes) {
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
  });
}

TEST(Query, TermsThatAskForNothingAreLeftOut) {
  // A lone '!' (an exclusion list ending in a line break) must not negate the next term.
  Query q = ParseQuery("!/windows/ ! budget", '/');
  ASSERT_EQ(q.groups.size(), 2u);
  EXPECT_FALSE(q.groups[1][0].negated);
  ExpectFinds({{"!/windows/ ! budget", "/d/budget.txt", true}, {"! \"\" ext: |", "/d/anything", true},
               {"", "/d/anything", true}, {"a|", "/d/a", true}, {"a|", "/d/b", false}});
}

TEST(Query, WildcardsCoverTheWholeName) {
  ExpectFinds({
      {"*.txt", "/d/notes.TXT", true}, {"*.txt", "/d/notes.txt.bak", false}, {"n?tes.*", "/d/notes.md", true},
      {"n?tes", "/d/notes.md", false}, {"notes*", "/d/notes", true}, {"*", "/d/anything", true},
      {"?rger", "/d/Ärger", true}, {"??rger", "/d/Ärger", false},  // one ? is one character, not one byte
      {"*a*b*c*", "/d/xxaxxbxxcxx", true}, {"*a*b*c*", "/d/xxcxxbxxaxx", false},
  });
}

TEST(Query, PathTermsMatchTheFullPath) {
  ExpectFinds({
      {"/home/ann/", "/home/ann/docs/a.txt", true}, {"/home/ann/", "/home/anna/a.txt", false},
      {"!/home/ann/", "/home/ann/docs/a.txt", false}, {"!/home/ann/", "/home/ann", true},  // not under itself
      {"/home/*.txt", "/home/ann/a.txt", true}, {"/home/*.txt", "/home/ann/a.txt.gz", false},
  });
  // Windows separator: a backslash term is a path term, a slash one is not.
  EXPECT_FALSE(Finds("!c:\\windows\\", "c:\\windows\\system32\\cat.dll", false, '\\'));
  EXPECT_TRUE(Finds("!c:\\windows\\ x/y", "c:\\data\\x/y.txt", false, '\\'));
  // Only lone negated plain path terms prune whole folders.
  EXPECT_EQ(ParseQuery("!/a/ !/b/|x !/c*/ /d/", '/').excluded_paths, std::vector<std::string>{"/a/"});
  EXPECT_EQ(ParseQuery("!c:\\windows\\ d:\\a\\", '\\').excluded_paths, std::vector<std::string>{"c:\\windows\\"});
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

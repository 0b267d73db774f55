#include <gtest/gtest.h>

#include "query.h"

namespace es {
namespace {

struct Entry {
  std::string lower_name;
  std::string lower_path;
  bool is_folder = false;
};

// Builds the candidate the walker would hand over for a Linux path.
Entry MakeEntry(std::string_view path, bool is_folder = false) {
  Entry e;
  FoldCase(path, e.lower_path);
  e.lower_name = e.lower_path.substr(e.lower_path.rfind('/') + 1);
  e.is_folder = is_folder;
  return e;
}

bool Finds(std::string_view search, std::string_view path, bool is_folder = false, char sep = '/') {
  Query q = ParseQuery(search, sep);
  Entry e = MakeEntry(path, is_folder);
  Candidate c{e.lower_name, e.lower_path, e.is_folder};
  return Matches(q, c);
}

TEST(Query, BlanksMeanAndBarsMeanOrAndBindTighter) {
  EXPECT_TRUE(Finds("budget 2023", "/d/budget-2023.xls"));
  EXPECT_FALSE(Finds("budget 2024", "/d/budget-2023.xls"));
  // a|b c is (a or b) and c
  EXPECT_TRUE(Finds("cat|dog food", "/d/dog food.txt"));
  EXPECT_TRUE(Finds("cat|dog food", "/d/catfood"));
  EXPECT_FALSE(Finds("cat|dog food", "/d/dog.txt"));
  EXPECT_FALSE(Finds("cat|dog food", "/d/food.txt"));
  // blanks around the bar and runs of bars still join
  EXPECT_TRUE(Finds("cat | dog", "/d/dog"));
  EXPECT_TRUE(Finds("cat| |dog", "/d/dog"));
  EXPECT_TRUE(Finds("cat || dog", "/d/dog"));
}

TEST(Query, NotQuotesAndCase) {
  EXPECT_TRUE(Finds("report !draft", "/d/Report final.doc"));
  EXPECT_FALSE(Finds("report !draft", "/d/REPORT DRAFT.doc"));
  EXPECT_TRUE(Finds("!!draft", "/d/draft.doc"));
  EXPECT_TRUE(Finds("!a|b", "/d/ab"));   // (not a) or b
  EXPECT_FALSE(Finds("!a|c", "/d/ab"));
  EXPECT_TRUE(Finds("\"my file\"", "/d/MY FILE.txt"));
  EXPECT_FALSE(Finds("\"my file\"", "/d/my_file.txt"));
  EXPECT_FALSE(Finds("!\"my file\"", "/d/xmy filex"));
  // inside quotes, | and ! are plain characters
  EXPECT_TRUE(Finds("\"a|b\"", "/d/xa|by"));
  EXPECT_FALSE(Finds("\"a|b\"", "/d/a"));
  EXPECT_TRUE(Finds("\"!x\"", "/d/!x"));
  EXPECT_TRUE(Finds("ÄRGER", "/d/ärger.txt"));
}

TEST(Query, TermsThatAskForNothingAreLeftOut) {
  // A lone '!' (an exclusion list ending in a line break) must not negate the next term
  // nor empty the result.
  Query q = ParseQuery("!/windows/ ! budget", '/');
  ASSERT_EQ(q.groups.size(), 2u);
  EXPECT_FALSE(q.groups[1][0].negated);
  EXPECT_TRUE(Finds("!/windows/ ! budget", "/d/budget.txt"));
  EXPECT_TRUE(Finds("! \"\" ext: |", "/d/anything"));
  EXPECT_TRUE(Finds("", "/d/anything", true));
  EXPECT_TRUE(Finds("a|", "/d/a"));
  EXPECT_FALSE(Finds("a|", "/d/b"));
}

TEST(Query, WildcardsCoverTheWholeName) {
  EXPECT_TRUE(Finds("*.txt", "/d/notes.TXT"));
  EXPECT_FALSE(Finds("*.txt", "/d/notes.txt.bak"));
  EXPECT_FALSE(Finds("note", "/d/x") );
  EXPECT_TRUE(Finds("n?tes.*", "/d/notes.md"));
  EXPECT_FALSE(Finds("n?tes", "/d/notes.md"));
  EXPECT_TRUE(Finds("?rger", "/d/Ärger"));  // one ? is one character, not one byte
  EXPECT_FALSE(Finds("??rger", "/d/Ärger"));
  EXPECT_TRUE(Finds("*a*b*c*", "/d/xxaxxbxxcxx"));
  EXPECT_FALSE(Finds("*a*b*c*", "/d/xxcxxbxxaxx"));
  EXPECT_TRUE(Finds("*", "/d/anything"));
}

TEST(WildcardMatch, Backtracking) {
  EXPECT_TRUE(WildcardMatch("*ab", "aab"));
  EXPECT_TRUE(WildcardMatch("a*a*a", "aaaa"));
  EXPECT_FALSE(WildcardMatch("a*a*a", "aa"));
  EXPECT_TRUE(WildcardMatch("", ""));
  EXPECT_FALSE(WildcardMatch("", "x"));
  EXPECT_TRUE(WildcardMatch("**", ""));
  EXPECT_FALSE(WildcardMatch("?", ""));
}

TEST(Query, PathTermsMatchTheFullPath) {
  // Linux separator
  EXPECT_TRUE(Finds("/home/ann/", "/home/ann/docs/a.txt"));
  EXPECT_FALSE(Finds("/home/ann/", "/home/anna/a.txt"));
  EXPECT_FALSE(Finds("!/home/ann/", "/home/ann/docs/a.txt"));
  EXPECT_TRUE(Finds("!/home/ann/", "/home/ann"));  // the folder itself is not under itself
  EXPECT_TRUE(Finds("/home/*.txt", "/home/ann/a.txt"));
  EXPECT_FALSE(Finds("/home/*.txt", "/home/ann/a.txt.gz"));
  // Windows separator: a backslash term is a path term, a slash one is not
  Query q = ParseQuery("!c:\\windows\\ d:\\a\\ x/y", '\\');
  ASSERT_EQ(q.groups.size(), 3u);
  EXPECT_EQ(q.groups[0][0].kind, TermKind::Path);
  EXPECT_EQ(q.groups[1][0].kind, TermKind::Path);
  EXPECT_EQ(q.groups[2][0].kind, TermKind::Name);
  EXPECT_EQ(q.excluded_paths, std::vector<std::string>{"c:\\windows\\"});
  EXPECT_TRUE(q.needs_path);
  EXPECT_TRUE(q.needs_name);
}

TEST(Query, OnlyLoneNegatedPlainPathTermsPruneFolders) {
  EXPECT_EQ(ParseQuery("!/a/ !/b/|x !/c*/ /d/", '/').excluded_paths, std::vector<std::string>{"/a/"});
  EXPECT_FALSE(ParseQuery("foo", '/').needs_path);
}

TEST(Query, ExtensionLists) {
  EXPECT_TRUE(Finds("ext:txt;PDF", "/d/a.pdf"));
  EXPECT_TRUE(Finds("EXT:txt;pdf", "/d/A.TXT"));
  EXPECT_FALSE(Finds("ext:txt;pdf", "/d/a.txt.gz"));
  EXPECT_FALSE(Finds("ext:txt", "/d/txt"));             // no extension
  EXPECT_FALSE(Finds("ext:txt", "/d/notes.txt", true));  // folders have no extension here
  EXPECT_TRUE(Finds("ext:bashrc", "/d/.bashrc"));
  EXPECT_TRUE(Finds("!ext:txt", "/d/a.doc"));
  EXPECT_TRUE(Finds("ext:jpg;png holiday", "/d/Holiday 1.JPG"));
  EXPECT_FALSE(Finds("ext:jpg;png holiday", "/d/work.jpg"));
  EXPECT_TRUE(Finds("ext:mp3|ext:wav", "/d/a.wav"));
  // A prefix glued to the following word makes a longer last extension.
  EXPECT_TRUE(Finds("ext:wma;xmbeatles", "/d/a.xmbeatles"));
  EXPECT_FALSE(Finds("ext:wma;xmbeatles", "/d/beatles.xm"));
}

// The six lists Lumiseek expands from audio:, zip:, doc:, exe:, pic: and video:.
TEST(Query, CategoryLists) {
  struct Case {
    const char* list;
    const char* hit;
    const char* miss;
  } cases[] = {
      {"ext:aac;ac3;aif;aifc;aiff;au;cda;dts;fla;flac;it;m1a;m2a;m3u;m4a;m4b;m4p;mid;midi;mka;mod;"
       "mp2;mp3;mpa;ogg;ra;rmi;snd;spc;umx;voc;wav;wma;xm",
       "song.FLAC", "song.mp4"},
      {"ext:7z;ace;arj;bz2;cab;gz;gzip;jar;r00;r01;r02;r03;r04;r05;r06;r07;r08;r09;r10;r11;r12;r13;"
       "r14;r15;r16;r17;r18;r19;r20;r21;r22;r23;r24;r25;r26;r27;r28;r29;rar;tar;tgz;z;zip",
       "backup.r29", "backup.r30"},
      {"ext:c;chm;cpp;csv;cxx;doc;docm;docx;dot;dotm;dotx;h;hpp;htm;html;hxx;ini;java;lua;mht;mhtml;"
       "odt;pdf;potx;potm;ppam;ppsm;ppsx;pps;ppt;pptm;pptx;rtf;sldm;sldx;thmx;txt;vsd;wpd;wps;wri;"
       "xlam;xls;xlsb;xlsm;xlsx;xltm;xltx;xml",
       "main.c", "main.cs"},
      {"ext:bat;cmd;exe;msi;msp;scr", "setup.EXE", "setup.exe.txt"},
      {"ext:ani;bmp;gif;ico;jpe;jpeg;jpg;pcx;png;psd;tga;tif;tiff;webp;wmf", "cat.webp", "cat.svg"},
      {"ext:3g2;3gp;3gp2;3gpp;amr;amv;asf;avi;bdmv;bik;d2v;divx;drc;dsa;dsm;dss;dsv;evo;f4v;flc;fli;"
       "flic;flv;hdmov;ifo;ivf;m1v;m2p;m2t;m2ts;m2v;m4v;mkv;mp2v;mp4;mp4v;mpe;mpeg;mpg;mpls;mpv2;mpv4;"
       "mov;mts;ogm;ogv;pss;pva;qt;ram;ratdvd;rm;rmm;rmvb;roq;rpm;smil;smk;swf;tp;tpr;ts;vob;vp6;webm;"
       "wm;wmp;wmv",
       "film.m2ts", "film.m2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hit);
    EXPECT_TRUE(Finds(c.list, std::string("/d/") + c.hit));
    EXPECT_FALSE(Finds(c.list, std::string("/d/") + c.miss));
  }
}

}  // namespace
}  // namespace es

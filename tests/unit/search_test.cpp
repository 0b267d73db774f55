// The search: the argument string handed to es, the checks before it, the run and its outcome.
#include <gtest/gtest.h>

#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "search/search.h"

namespace lumiseek {
namespace {

using test::FakePort;
using test::Spoken;

const std::string kSystem = " !c:\\windows\\ !c:\\$recycle.bin\\ ";
const std::string kFiles = " -size -size-format 2 -dm /a-d ";
const std::string kExport = " -export-csv results.txt ";

// Notes what the list holds and what has been spoken when the announcement and the run happen.
struct WatchingPort : FakePort {
    App* app = nullptr;
    std::vector<std::string> firstRowWhenSpoken;
    std::vector<std::string> headerWhenSpoken;
    size_t spokenBeforeRun = 0;
    std::map<std::string, std::string> filesAfterRun;  // written by the "engine" during the run
    void VoiceSpeak(const std::string& text, int flags) override {
        firstRowWhenSpoken.push_back(app->Results.empty() ? "" : app->Results[0].Name);
        headerWhenSpoken.push_back(columns.count(1) ? columns[1].first : "");
        FakePort::VoiceSpeak(text, flags);
    }
    RunResult RunHidden(const std::string& program, const std::string& arguments) override {
        spokenBeforeRun = spoken.size();
        for (const auto& [path, bytes] : filesAfterRun) Write(path, bytes);
        return FakePort::RunHidden(program, arguments);
    }
};

struct SearchTest : ::testing::Test {
    WatchingPort port;
    App app{port};
    SearchTest() {
        port.app = &app;
        app.CounterFrequency = 1000;
        CreateFileTypeLists(app);
        app.settings.MaxResults = 500;
        app.settings.SortType = 1;
        app.settings.ExcludeSystemFolders = 1;
    }
    std::string Run(int type, const std::string& box) {
        app.settings.SearchType = type;
        port.boxText = box;
        port.ran.clear();
        Search(app);
        return port.ran.empty() ? std::string("<not run>") : port.ran.back();
    }
};

TEST_F(SearchTest, FileSearchForBudgetEndToEnd) {
    port.files["filelist.txt"] = "old";
    port.filesAfterRun["results.txt"] =
        "Size,Date Modified,Filename\r\n1234,05/17/2023 10:22,C:\\Docs\\Budget.xlsx\r\n";
    port.counterStep = 1500;

    EXPECT_EQ(Run(1, "  Budget "), kSystem + kFiles + " -sort dm " + " -n" + " 500" + kExport + "budget");

    EXPECT_EQ(port.boxText, "  Budget ");  // the box keeps what was typed
    EXPECT_EQ(app.settings.SearchTerm, "budget");
    EXPECT_EQ(app.settings.LastSearchType, 1);
    EXPECT_FALSE(port.files.count("filelist.txt"));
    EXPECT_EQ(port.clipboard, app.SearchCommand);
    EXPECT_EQ(port.ran[0], app.SearchCommand);
    EXPECT_EQ(port.sought, std::vector<std::string>{"es.exe"});
    EXPECT_EQ(port.ranPrograms, std::vector<std::string>{"c:\\lumiseek\\es.exe"});

    ASSERT_EQ(port.spoken.size(), 2u);
    EXPECT_EQ(port.spoken[0], (Spoken{"File Search for budget", 2}));
    EXPECT_EQ(port.spokenBeforeRun, 1u);                          // the announcement came first
    EXPECT_EQ(port.firstRowWhenSpoken[0], "Loading ...");         // while the list waited
    EXPECT_EQ(port.headerWhenSpoken[0], "Name");
    EXPECT_EQ(port.spoken[1], (Spoken{"Search is complete : 1 Match : budget.xlsx", 3}));

    // Counter values 1500, 3000, 4500 at 1000 per second.
    EXPECT_EQ(port.caption, "Lumiseek 4.2    1.5 sec : 3.0 sec   ... " + app.SearchCommand);
    EXPECT_EQ(port.status, "     1  budget.xlsx  05/17/2023 10:22  1234  c:\\docs\\");
    EXPECT_EQ(port.columns[1].first, "Name  (1)");
    EXPECT_EQ(port.focused, ctl::ResultsList);
}

TEST_F(SearchTest, EachTypeHasItsSwitchesAndAnnouncement) {
    EXPECT_EQ(Run(2, "x"), kSystem + " -size -size-format 2 -dm /ad " + " -sort dm  -n 500" + kExport + "x");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2], (Spoken{"Folder Search for x", 2}));

    EXPECT_EQ(Run(3, "x"), kSystem + " -size -size-format 2 -dm " + " -sort dm  -n 500" + kExport + "x");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2].text, "Search All for x");

    // A custom search hands the term over as the whole argument string.
    EXPECT_EQ(Run(4, "X -n 3"), "x -n 3");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2].text, "Custom Searchx -n 3");
    EXPECT_EQ(app.settings.LastSearchType, 4);
}

TEST_F(SearchTest, SortAndCountClauses) {
    app.settings.SortType = 0;
    EXPECT_EQ(Run(1, "a"), kSystem + kFiles + " -sort name " + " -n 500" + kExport + "a");
    app.settings.MaxResults = 0;
    EXPECT_EQ(Run(1, "a"), kSystem + kFiles + " -sort name " + kExport + "a");
    app.settings.MaxResults = 100000;
    EXPECT_EQ(Run(1, "a"), kSystem + kFiles + " -sort name " + " -n 100000" + kExport + "a");
    app.settings.MaxResults = -5;
    EXPECT_EQ(Run(1, "a"), kSystem + kFiles + " -sort name " + " -n-5" + kExport + "a");
}

TEST_F(SearchTest, TermReachesEsAsTyped) {
    // No command interpreter reads the arguments: its marks mean nothing and are passed on.
    EXPECT_EQ(Run(1, "cat|dog"), kSystem + kFiles + " -sort dm  -n 500" + kExport + "cat|dog");
    EXPECT_EQ(Run(1, "%PATH%"), kSystem + kFiles + " -sort dm  -n 500" + kExport + "%path%");
    EXPECT_EQ(Run(4, "a>x.txt&echo ^\"b|c\""), "a>x.txt&echo ^\"b|c\"");
    EXPECT_EQ(port.clipboard, "a>x.txt&echo ^\"b|c\"");
    EXPECT_EQ(port.caption.substr(port.caption.find(" ... ")), " ... a>x.txt&echo ^\"b|c\"");
}

TEST_F(SearchTest, CategoryPrefixesExpandInPlace) {
    std::string head = kSystem + kFiles + " -sort dm  -n 500" + kExport;
    EXPECT_EQ(Run(1, "audio: beatles"), head + app.AudioTypes + " beatles");
    EXPECT_EQ(Run(1, "Audio:beatles"), head + app.AudioTypes + "beatles");
    EXPECT_EQ(app.AudioTypes.substr(0, 12), "ext:aac;ac3;");
    EXPECT_EQ(app.AudioTypes.substr(app.AudioTypes.size() - 11), ";wav;wma;xm");
    EXPECT_EQ(Run(4, "zip:x pic:y"), app.ZipTypes + "x " + app.PicTypes + "y");
    EXPECT_EQ(Run(4, "doc: exe: video:"), app.DocTypes + " " + app.ExeTypes + " " + app.VideoTypes);
    // Only where a word starts: after a blank, "!", "|" or a double quote, not inside a word.
    EXPECT_EQ(Run(4, "topic: gzip:a !zip:b|exe:c \"pic:d\""),
              "topic: gzip:a !" + app.ZipTypes + "b|" + app.ExeTypes + "c \"" + app.PicTypes + "d\"");
    EXPECT_EQ(app.ExeTypes, "ext:bat;cmd;exe;msi;msp;scr");
    EXPECT_NE(app.ZipTypes.find(";r08;r09;"), std::string::npos);  // the pieces join without a gap
    EXPECT_NE(app.VideoTypes.find(";mp4;mp4v;"), std::string::npos);
}

TEST_F(SearchTest, ExclusionFileGivesOneExclusionPerLine) {
    std::string tail = kFiles + " -sort dm  -n 500" + kExport + "a";
    port.files["exclusion.txt"] = "D:\\Temp\\\r\ne:\\old";
    EXPECT_EQ(Run(1, "a"), " !D:\\Temp\\ !e:\\old" + tail);

    // LF and CR line ends, blank lines; a line with a blank is quoted whole (es takes the
    // backslash before the closing quote as part of the path), a double quote is dropped.
    const std::string expected = " !\"c:\\program files\\\" !c:\\r&d\\ !\"d:\\my docs\\\"" + tail;
    port.files["exclusion.txt"] = "\nc:\\program files\\\n  \t\rc:\\r&d\\\r\n\"d:\\my docs\\\"  \r\n\n";
    EXPECT_EQ(Run(1, "a"), expected);
    // The same lines as UTF-16 with its byte-order mark, as editors save it.
    std::string utf16 = "\xFF\xFE";
    for (char ch : std::string("c:\\program files\\\r\nc:\\r&d\\\r\nd:\\my docs\\\r\n")) utf16 += std::string{ch, '\0'};
    port.files["exclusion.txt"] = utf16;
    EXPECT_EQ(Run(1, "a"), expected);

    port.files["exclusion.txt"] = "\r\n";
    EXPECT_EQ(Run(1, "a"), tail);
    app.settings.ExcludeSystemFolders = 0;
    port.files["exclusion.txt"] = "x";
    EXPECT_EQ(Run(1, "a"), tail);
}

TEST_F(SearchTest, EmptyTermIsValid) {
    EXPECT_EQ(Run(1, "   "), kSystem + kFiles + " -sort dm  -n 500" + kExport);
}

TEST_F(SearchTest, TermIsCutToItsLimit) {
    Run(1, std::string(120, 'a'));
    EXPECT_EQ(app.settings.SearchTerm, std::string(99, 'a'));
}

TEST_F(SearchTest, InvalidTermIsRefusedAndChangesNothing) {
    app.settings.LastSearchType = 2;
    port.caption = "before";
    for (std::string term : {"a#b", "caf\xC3\xA9"}) {
        port.spoken.clear();
        port.placed.clear();
        port.files["filelist.txt"] = "old";
        EXPECT_EQ(Run(1, term), "<not run>") << term;
        // The steps before the check still happen: the layout, filelist.txt, the term.
        EXPECT_EQ(port.placed[ctl::SearchBox].w, 1564) << term;
        EXPECT_FALSE(port.files.count("filelist.txt")) << term;
        EXPECT_EQ(app.settings.SearchTerm, term) << term;
        EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Invalid Search Term", 3}})) << term;
        EXPECT_EQ(port.focused, ctl::SearchBox);
        EXPECT_EQ(port.selFrom, 0);
        EXPECT_EQ(port.selTo, -1);
    }
    EXPECT_EQ(app.settings.LastSearchType, 2);
    EXPECT_EQ(port.caption, "before");
    EXPECT_EQ(port.clipboardHasText, false);

    // The same text runs as a custom search.
    EXPECT_EQ(Run(4, "a#b"), "a#b");
}

TEST_F(SearchTest, EveryAllowedCharacterPasses) {
    app.settings.SearchTerm = "09 azAZ!%*()-_=+\\|:./?\"";
    EXPECT_EQ(ValidSearchTerm(app), 1);
    app.settings.SearchTerm = "";
    EXPECT_EQ(ValidSearchTerm(app), 1);
    for (std::string bad : {"#", "$", "&", "'", ",", ";", "<", ">", "@", "[", "]", "^", "`", "{", "}", "~", "\t", "\xC3\xA9"}) {
        app.settings.SearchTerm = "a" + bad;
        EXPECT_EQ(ValidSearchTerm(app), 0) << bad;
    }
}

TEST_F(SearchTest, HeaderOnlyResultsGiveEmptyListAndZeroMatches) {
    port.filesAfterRun["results.txt"] = "Size,Date Modified,Filename\r\n";
    Run(1, "nothing");
    EXPECT_EQ(port.spoken.back(), (Spoken{"Search is complete : 0 Matches : <empty>", 3}));
    EXPECT_EQ(port.columns[1].first, "Name  (0)");
}

TEST_F(SearchTest, ManyMatchesAreCountedInGroups) {
    std::string csv = "Size,Date Modified,Filename\r\n";
    for (int i = 0; i < 1234; ++i) csv += "1,01/01/2020 00:00,c:\\f" + std::to_string(i) + ".txt\r\n";
    port.filesAfterRun["results.txt"] = csv;
    Run(1, "f");
    EXPECT_EQ(port.spoken.back().text, "Search is complete : 1,234 Matches : f0.txt");
}

// A search that found three rows, then row 2 selected and the list scrolled by one.
struct FailedSearchTest : SearchTest {
    const std::string fresh = "Size,Date Modified,Filename\r\n1,01/01/2020 00:00,c:\\a.txt\r\n"
                              "2,01/01/2020 00:00,c:\\b.txt\r\n3,01/01/2020 00:00,c:\\c.txt\r\n";
    FailedSearchTest() {
        port.filesAfterRun["results.txt"] = fresh;
        Run(1, "a");
        port.filesAfterRun.clear();
        port.selectedRow = 2;
        port.topIndex = 1;
    }
    // The failure is spoken, and the list shows the three rows as before with row 2 selected.
    void ExpectListKept(const std::string& failure) {
        EXPECT_EQ(port.spoken.back(), (Spoken{"Search Failed : " + failure, 3}));
        ASSERT_EQ(app.Results.size(), 3u) << failure;
        EXPECT_EQ(app.Results[1].Name, "b.txt");
        EXPECT_EQ(port.itemCount, 3);
        EXPECT_EQ(port.columns[1].first, "Name  (3)");
        EXPECT_EQ(port.selectedRow, 2);
        EXPECT_EQ(port.setTopRow, 1);
        EXPECT_EQ(port.status, "     2  b.txt  01/01/2020 00:00  2  c:\\");
        EXPECT_EQ(port.clipboard, app.SearchCommand);
    }
};

TEST_F(FailedSearchTest, OldResultsAreNeverAnnouncedAsNew) {
    // A custom search without -export-csv leaves results.txt as it was.
    Run(4, "x");
    ExpectListKept("no results were written");
    port.files.erase("results.txt");
    Run(1, "x");
    ExpectListKept("no results were written");
    // The same bytes written again are new results.
    port.filesAfterRun["results.txt"] = fresh;
    Run(1, "x");
    EXPECT_EQ(port.spoken.back().text, "Search is complete : 3 Matches : a.txt");
    EXPECT_EQ(port.selectedRow, 1);
}

TEST_F(FailedSearchTest, EngineFailuresAreNamed) {
    port.runResult = {true, 8};
    Run(1, "x");
    ExpectListKept("Everything is not running");
    port.runResult = {true, 3221225477u};
    Run(1, "x");
    ExpectListKept("error 3221225477");
    port.runResult = {false, 0};
    Run(1, "x");
    ExpectListKept("the es program could not be started");
    port.program.reset();
    EXPECT_EQ(Run(1, "x"), "<not run>");
    ExpectListKept("the es program was not found");
    EXPECT_EQ(port.caption.substr(port.caption.find(" ... ") + 5), app.SearchCommand);

    // Rows es wrote before it failed are shown all the same.
    port.program = "es.exe";
    port.runResult = {true, 1};
    port.filesAfterRun["results.txt"] = "Size,Date Modified,Filename\r\n7,05/17/2023 10:22,c:\\new.txt\r\n";
    Run(1, "x");
    EXPECT_EQ(port.spoken.back().text, "Search Failed : error 1");
    ASSERT_EQ(app.Results.size(), 1u);
    EXPECT_EQ(app.Results[0].Name, "new.txt");
}

TEST_F(SearchTest, FocusOnSearchBoxAfterTheSearchWhenAsked) {
    app.settings.FocusOnRE = 1;
    Run(1, "a");
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(port.selFrom, 0);
    EXPECT_EQ(port.selTo, -1);
}

TEST_F(SearchTest, SpreadSearchTerm) {
    app.settings.SearchTerm = "   ";
    EXPECT_EQ(SpreadSearchTerm(app), "Empty");
    app.settings.SearchTerm = "a*b?c**";
    EXPECT_EQ(SpreadSearchTerm(app), "a *b ?c * *");
}

}  // namespace
}  // namespace lumiseek

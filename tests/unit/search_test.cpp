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
    RunResult RunHidden(const std::string& c) override {
        spokenBeforeRun = spoken.size();
        for (const auto& [path, bytes] : filesAfterRun) files[path] = bytes;
        return FakePort::RunHidden(c);
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

    EXPECT_EQ(Run(1, "  Budget "), "CMD /C es " + kSystem + kFiles + " -sort dm " + " -n" + " 500" + kExport + "budget");

    EXPECT_EQ(port.boxText, "  Budget ");  // the box keeps what was typed
    EXPECT_EQ(app.settings.SearchTerm, "budget");
    EXPECT_EQ(app.settings.LastSearchType, 1);
    EXPECT_FALSE(port.files.count("filelist.txt"));
    EXPECT_EQ(port.clipboard, app.SearchCommand);
    EXPECT_EQ(port.ran[0], "CMD /C es " + app.SearchCommand);

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
    EXPECT_EQ(Run(2, "x"), "CMD /C es " + kSystem + " -size -size-format 2 -dm /ad " + " -sort dm  -n 500" + kExport + "x");
    EXPECT_EQ(port.spoken.back().text.substr(0, 21), "Search is complete : ");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2], (Spoken{"Folder Search for x", 2}));

    EXPECT_EQ(Run(3, "x"), "CMD /C es " + kSystem + " -size -size-format 2 -dm " + " -sort dm  -n 500" + kExport + "x");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2].text, "Search All for x");

    // A custom search hands the term over as the whole argument string.
    EXPECT_EQ(Run(4, "X -n 3"), "CMD /C es x -n 3");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2].text, "Custom Searchx -n 3");
    EXPECT_EQ(app.settings.LastSearchType, 4);
}

TEST_F(SearchTest, SortAndCountClauses) {
    app.settings.SortType = 0;
    EXPECT_EQ(Run(1, "a"), "CMD /C es " + kSystem + kFiles + " -sort name " + " -n 500" + kExport + "a");
    app.settings.MaxResults = 0;
    EXPECT_EQ(Run(1, "a"), "CMD /C es " + kSystem + kFiles + " -sort name " + kExport + "a");
    app.settings.MaxResults = 100000;
    EXPECT_EQ(Run(1, "a"), "CMD /C es " + kSystem + kFiles + " -sort name " + " -n 100000" + kExport + "a");
    app.settings.MaxResults = -5;
    EXPECT_EQ(Run(1, "a"), "CMD /C es " + kSystem + kFiles + " -sort name " + " -n-5" + kExport + "a");
}

TEST_F(SearchTest, BarIsEscapedForTheCommandInterpreter) {
    EXPECT_EQ(Run(1, "cat|dog"), "CMD /C es " + kSystem + kFiles + " -sort dm  -n 500" + kExport + "cat^|dog");
    EXPECT_EQ(Run(4, "a|b|c"), "CMD /C es a^|b^|c");
}

TEST_F(SearchTest, CategoryPrefixesExpandInPlace) {
    std::string head = "CMD /C es " + kSystem + kFiles + " -sort dm  -n 500" + kExport;
    EXPECT_EQ(Run(1, "audio: beatles"), head + app.AudioTypes + " beatles");
    EXPECT_EQ(Run(1, "Audio:beatles"), head + app.AudioTypes + "beatles");
    EXPECT_EQ(app.AudioTypes.substr(0, 12), "ext:aac;ac3;");
    EXPECT_EQ(app.AudioTypes.substr(app.AudioTypes.size() - 11), ";wav;wma;xm");
    EXPECT_EQ(Run(4, "zip:x pic:y"), "CMD /C es " + app.ZipTypes + "x " + app.PicTypes + "y");
    EXPECT_EQ(Run(4, "doc: exe: video:"), "CMD /C es " + app.DocTypes + " " + app.ExeTypes + " " + app.VideoTypes);
    EXPECT_EQ(app.ExeTypes, "ext:bat;cmd;exe;msi;msp;scr");
    EXPECT_NE(app.ZipTypes.find(";r08;r09;"), std::string::npos);  // the pieces join without a gap
    EXPECT_NE(app.VideoTypes.find(";mp4;mp4v;"), std::string::npos);
}

TEST_F(SearchTest, ExclusionFileGivesOneExclusionPerLine) {
    std::string tail = kFiles + " -sort dm  -n 500" + kExport + "a";
    port.files["exclusion.txt"] = "D:\\Temp\\\r\ne:\\old";
    EXPECT_EQ(Run(1, "a"), "CMD /C es  !D:\\Temp\\ !e:\\old" + tail);
    port.files["exclusion.txt"] = "D:\\Temp\\\r\ne:\\old\r\n";
    EXPECT_EQ(Run(1, "a"), "CMD /C es  !D:\\Temp\\ !e:\\old !" + tail);
    port.files["exclusion.txt"] = "";
    EXPECT_EQ(Run(1, "a"), "CMD /C es  !" + tail);

    app.settings.ExcludeSystemFolders = 0;
    EXPECT_EQ(Run(1, "a"), "CMD /C es " + tail);
    port.files.erase("exclusion.txt");
    EXPECT_EQ(Run(1, "a"), "CMD /C es " + tail);
}

TEST_F(SearchTest, EmptyTermIsValid) {
    EXPECT_EQ(Run(1, "   "), "CMD /C es " + kSystem + kFiles + " -sort dm  -n 500" + kExport);
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
    EXPECT_EQ(Run(4, "a#b"), "CMD /C es a#b");
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

TEST_F(SearchTest, NoResultsFileGivesEmptyListAndZeroMatches) {
    Run(1, "nothing");
    EXPECT_EQ(port.files.at("results.txt"), "");  // left behind, empty
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

TEST_F(SearchTest, FailedEngineIsReportedNotAnnouncedAsComplete) {
    port.files["results.txt"] = "Size,Date Modified,Filename\r\n7,05/17/2023 10:22,c:\\old.txt\r\n";
    port.runResult = {true, 8};
    Run(1, "a");
    EXPECT_EQ(port.spoken.back(), (Spoken{"Search Failed : Everything is not running", 3}));
    ASSERT_EQ(app.Results.size(), 1u);  // whatever the file holds is still shown
    EXPECT_EQ(app.Results[0].Name, "old.txt");

    port.runResult = {true, 9009};
    Run(1, "a");
    EXPECT_EQ(port.spoken.back().text, "Search Failed : the es program was not found");
    port.runResult = {true, 1};
    Run(1, "a");
    EXPECT_EQ(port.spoken.back().text, "Search Failed : error 1");
    port.runResult = {true, 3221225477u};
    Run(1, "a");
    EXPECT_EQ(port.spoken.back().text, "Search Failed : error 3221225477");
    for (const auto& s : port.SpokenTexts()) EXPECT_EQ(s.find("Search is complete"), std::string::npos);
}

TEST_F(SearchTest, CommandInterpreterThatCannotStartImportsNothing) {
    port.files["results.txt"] = "Size,Date Modified,Filename\r\n7,05/17/2023 10:22,c:\\old.txt\r\n";
    port.runResult = {false, 0};
    Run(1, "a");
    EXPECT_EQ(port.spoken.back(), (Spoken{"Search Failed : the command interpreter could not be started", 3}));
    ASSERT_EQ(app.Results.size(), 1u);
    EXPECT_EQ(app.Results[0].Name, "<empty>");
    EXPECT_EQ(port.itemCount, 1);
    EXPECT_EQ(port.clipboard, app.SearchCommand);
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

// The search: the argument string handed to es, the checks before it, the run and its outcome.
#include <gtest/gtest.h>

#include <tuple>

#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "search/search.h"

namespace lumiseek {
namespace {

const std::string kOldHeader = "Size,Date Modified,Filename\r\n";
const std::string kSystem = " !c:\\windows\\ !c:\\$recycle.bin\\ ";
const std::string kFiles = " -size -size-format 2 -dm /a-d ";
const std::string kTail = " -sort dm  -n 100 -export-csv results.txt ";

// Notes what the list holds and what has been spoken when es runs.
struct WatchingPort : FakePort {
    App* app = nullptr;
    std::string listAtRun;  // its row count and first row
    size_t spokenAtRun = 0;
    std::map<std::string, std::string> filesAfterRun;  // written by the "engine" during the run
    RunResult RunHidden(const std::string& program, const std::string& arguments) override {
        spokenAtRun = spoken.size();
        listAtRun = std::to_string(itemCount) + " " + (app->Results.empty() ? "" : app->Results[0].Name);
        for (const auto& [path, bytes] : filesAfterRun) Write(path, bytes);
        return FakePort::RunHidden(program, arguments);
    }
};

struct SearchTest : ::testing::Test {
    WatchingPort port;
    App app{port};
    SearchTest() {
        ConnectDispatcher(app);
        port.app = &app;
        app.CounterFrequency = 1000;
        CreateFileTypeLists(app);
    }
    // Runs the search command of the type (1 files .. 4 custom) as its button does; what es received.
    std::string Run(int type, const std::string& box) {
        port.boxText = box;
        port.ran.clear();
        RA(app, cmd::SearchFiles + type - 1);
        return port.ran.empty() ? std::string("<not run>") : port.ran.back();
    }
};

TEST_F(SearchTest, FileSearchEndToEnd) {
    port.filesAfterRun["results.txt"] = kOldHeader + "1234,05/17/2023 10:22,C:\\Docs\\Budget.xlsx\r\n";
    port.counterStep = 1500;
    EXPECT_EQ(Run(1, "  Budget "), kSystem + kFiles + kTail + "budget");
    EXPECT_EQ(port.beeps, 1);
    EXPECT_EQ(port.boxText, "  Budget ");  // the box keeps what was typed
    EXPECT_EQ(app.settings.LastSearchType, 1);
    EXPECT_EQ(port.clipboard, port.ran[0]);
    // The announcement is spoken to its end before es runs, while the list shows "Loading ...".
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"File Search for budget", 2},
                                                {"Search is complete : 1 Match : budget.xlsx", 3}}));
    EXPECT_EQ(std::make_pair(port.spokenAtRun, port.listAtRun), std::make_pair(size_t{1}, std::string("1 Loading ...")));
    EXPECT_EQ(port.caption, "Lumiseek 4.2    1.5 sec : 3.0 sec   ... " + port.ran[0]);  // counter steps of 1.5 s
    EXPECT_EQ(port.status, "     1  budget.xlsx  05/17/2023 10:22  1234  c:\\docs\\");
    EXPECT_EQ(port.focused, ctl::ResultsList);

    // What the import left out is told after the first name.
    const std::string tooLong = "2,05/17/2023 10:22,c:\\" + std::string(200000, 'x') + "\r\n";
    port.filesAfterRun["results.txt"] = kOldHeader + "1,05/17/2023 10:22,c:\\a.txt\r\n" + tooLong +
                                        "3,05/17/2023 10:22,c:\\torn";
    Run(1, "a");
    EXPECT_EQ(port.LastSpoken(), "Search is complete : 1 Match : a.txt : 1 Row Too Long Was Left Out"
                                 " : The Last Row Was Still Being Written");
    port.filesAfterRun["results.txt"] = kOldHeader + tooLong + "1,05/17/2023 10:22,c:\\a.txt\r\n" + tooLong;
    Run(1, "a");
    EXPECT_EQ(port.LastSpoken(), "Search is complete : 1 Match : a.txt : 2 Rows Too Long Were Left Out");

    app.settings.FocusOnRE = 1;
    Run(1, "a");
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(std::make_pair(port.selFrom, port.selTo), std::make_pair(0, -1));
}

TEST_F(SearchTest, ArgumentsFollowTypeSortAndLimit) {
    // es gets the arguments exactly so: no command interpreter reads them, marks mean nothing. A category
    // prefix expands where a word starts: at the start, after a blank, "!", "|" or a double quote.
    struct Case { int type, sort, max; std::string box, args, announced; };
    const Case cases[] = {
        {2, 1, 100, "cat dog|video:x", kSystem + " -size -size-format 2 -dm /ad " + kTail + "cat dog|" +
         app.VideoTypes + "x", "Folder Search for cat dog|video:x"},
        {3, 0, 0, "Audio:x %PATH%", kSystem + " -size -size-format 2 -dm  -sort name  -export-csv results.txt " +
         app.AudioTypes + "x %path%", "Search All for audio:x %path%"},
        {1, 1, 100, "   ", kSystem + kFiles + kTail, "File Search for "},
        {4, 1, 100, "A#b>x&echo ^\"pic:d\"|exe:c !zip:b topic: gzip:a",
         "a#b>x&echo ^\"" + app.PicTypes + "d\"|ext:bat;cmd;exe;msi;msp;scrc !" + app.ZipTypes + "b topic: gzip:a",
         "Custom Searcha#b>x&echo ^\"pic:d\"|exe:c !zip:b topic: gzip:a"},
    };
    for (const Case& c : cases) {
        app.settings.SortType = c.sort;
        app.settings.MaxResults = c.max;
        EXPECT_EQ(Run(c.type, c.box), c.args);
        EXPECT_EQ(port.spoken[port.spoken.size() - 2].text, c.announced);
    }
    Run(1, std::string(120, 'a'));
    EXPECT_EQ(app.settings.SearchTerm, std::string(99, 'a'));
    // Windows' limit in UTF-16 units: the quoted program, a blank, the arguments and the closing zero.
    EXPECT_EQ(std::make_pair(CommandLineTooLong("\xC3\xA9s.exe", std::string(32757, 'a')),
                             CommandLineTooLong("es.exe", std::string(32758, 'a'))), std::make_pair(false, true));
    app.settings.SearchTerm = "a*b?c**";  // the spoken term
    EXPECT_EQ(SpreadSearchTerm(app), "a *b ?c * *");
    app.settings.SearchTerm = "   ";
    EXPECT_EQ(SpreadSearchTerm(app), "Empty");
}

TEST_F(SearchTest, ExclusionFileGivesOneExclusionPerLine) {
    const std::string tail = kFiles + kTail + "a";
    port.files["exclusion.txt"] = "D:\\Temp\\\r\ne:\\old\r\nzip:x";  // a folder: no prefix expanded
    EXPECT_EQ(Run(1, "a"), " !D:\\Temp\\ !e:\\old !zip:x" + tail);
    // LF and CR line ends, blank lines; a line with a blank is quoted whole (es takes the
    // backslash before the closing quote as part of the path), a double quote is dropped.
    const std::string expected = " !\"c:\\program files\\\" !c:\\r&d\\ !\"d:\\my docs\\\"" + tail;
    port.files["exclusion.txt"] = "\nc:\\program files\\\n  \t\rc:\\r&d\\\r\n\"d:\\my docs\\\"  \r\n\n";
    EXPECT_EQ(Run(1, "a"), expected);
    app.settings.ExcludeSystemFolders = 0;
    port.files["exclusion.txt"] = "x";
    EXPECT_EQ(Run(1, "a"), tail);
}

TEST_F(SearchTest, InvalidTermIsRefusedAndChangesNothing) {
    app.settings.LastSearchType = 2;
    port.caption = "before";
    for (std::string term : {"a#b", "caf\xC3\xA9", "a\tb"}) {
        port.spoken.clear();
        EXPECT_EQ(Run(1, term), "<not run>") << term;
        EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Invalid Search Term", 3}})) << term;
        EXPECT_EQ(port.focused, ctl::SearchBox);
        EXPECT_EQ(std::make_pair(port.selFrom, port.selTo), std::make_pair(0, -1));
    }
    EXPECT_EQ(app.settings.LastSearchType, 2);
    EXPECT_EQ(port.caption, "before");
    EXPECT_FALSE(port.clipboardHasText);
}

// After three rows found, row 2 selected and the list scrolled, a failure keeps that list as it was.
TEST_F(SearchTest, FailuresAreNamedAndKeepTheList) {
    port.filesAfterRun["results.txt"] = kOldHeader + "1,01/01/2020 00:00,c:\\a.txt\r\n2,01/01/2020 00:00,c:\\b.txt\r\n"
                                        "3,01/01/2020 00:00,c:\\c.txt\r\n";
    Run(1, "a");
    EXPECT_EQ(port.spoken.back(), (Spoken{"Search is complete : 3 Matches : a.txt", 3}));
    port.filesAfterRun.clear();
    const auto fail = [&](int type, const std::string& failure) {
        port.selectedRow = 2;
        port.topIndex = 1;
        Run(type, "x");
        EXPECT_EQ(port.spoken.back(), (Spoken{"Search Failed : " + failure, 3}));
        EXPECT_EQ(port.status, "     2  b.txt  01/01/2020 00:00  2  c:\\") << failure;
        EXPECT_EQ(std::make_tuple(port.itemCount, port.selectedRow, port.setTopRow), std::make_tuple(3, 2, 1));
    };
    fail(4, "no results were written");  // a custom search without -export-csv
    for (auto [run, failure] : {std::pair{RunResult{true, 8}, "Everything is not running"}, {{true, 1}, "error 1"},
                                {{false, 0}, "the es program could not be started"}}) {
        port.runResult = run;
        fail(1, failure);
    }
    port.program.reset();
    fail(1, "the es program was not found");
    EXPECT_TRUE(port.ran.empty());
    port.program = "c:\\lumiseek\\es.exe";

    // A crashed engine's torn file and a killed engine's exit code 0 without a file of its own are
    // not imported; an exclusion list too long for a command line is refused before es runs.
    port.filesAfterRun["results.txt"] = kOldHeader + "1,01/01/2020 00:00,c:\\tor";
    port.runResult = RunResult{true, 0xC0000005u};
    fail(1, "the search engine stopped unexpectedly");
    port.filesAfterRun.clear();
    port.runResult = RunResult{true, 0};
    fail(1, "no results were written");
    std::string lines;
    while (lines.size() < 33000) lines += "c:\\excluded\\folder\\number\\" + std::to_string(lines.size()) + "\r\n";
    port.files["exclusion.txt"] = lines;
    port.ran.clear();
    fail(1, "the exclusion list is too long");
    EXPECT_TRUE(port.ran.empty());
    port.files["exclusion.txt"] = lines.substr(0, 30000);  // long, still within the limit
    Run(1, "a");
    EXPECT_EQ(port.ran.size(), 1u);
}

// Esc during the run ends es: the list, its selection and the list mode stay as they were.
TEST_F(SearchTest, CancelledOrFailedSearchKeepsTheListAndItsMode) {
    port.filesAfterRun["results.txt"] = kOldHeader + "1,01/01/2020 00:00,c:\\a.txt\r\n";
    port.runResult = RunResult{true, 0, true};
    port.selectedRow = 1;
    Run(1, "a");
    EXPECT_EQ(port.LastSpoken(), "Search Cancelled");
    EXPECT_EQ(RowNames(app), Texts{"<empty>"});

    for (int list : {5, 6}) {
        RA(app, list == 5 ? cmd::ShowSettingsList : cmd::DisplayActionsList);
        Texts rows = RowNames(app);
        port.runResult = RunResult{true, 8};
        Run(2, "a");
        EXPECT_EQ(port.LastSpoken(), "Search Failed : Everything is not running");
        EXPECT_EQ(std::make_pair(app.settings.SearchType, RowNames(app)), std::make_pair(list, rows));
        Run(2, "a#");  // refused before the run
        EXPECT_EQ(app.settings.SearchType, list);
    }
}

// Expanding a folder searches for its path as it is: no check of typed text, the box untouched.
TEST_F(SearchTest, OurEngineWithoutARootsFileSaysOnceThatItSearchesAllDrives) {
    port.filesAfterRun["results.txt"] = kOldHeader + "1,05/17/2023 10:22,C:\\a.txt\r\n";
    const Spoken warning{"Searching all drives. This can take a while.", 1};
    auto warned = [&](const std::string& box) {
        port.spoken.clear();
        Run(1, box);
        return std::count(port.spoken.begin(), port.spoken.end(), warning);
    };
    port.files["c:\\lumiseek\\es.exe"] = "MZ (Everything's es)";
    EXPECT_EQ(warned("a"), 0);
    app.AllDrivesChecked = false;
    port.files["c:\\lumiseek\\es.exe"] = std::string("MZ") + '\0' + "es-roots.txt";
    port.files["c:\\lumiseek\\es-roots.txt"] = "c:\\\r\n";
    EXPECT_EQ(warned("b"), 0);
    app.AllDrivesChecked = false;
    port.files.erase("c:\\lumiseek\\es-roots.txt");
    EXPECT_EQ(warned("c"), 1);
    EXPECT_EQ(port.spoken[1], warning);  // right after the announcement, before the outcome
    EXPECT_EQ(warned("d"), 0);           // once a run
}

TEST_F(SearchTest, ExpandSearchesForThePathItself) {
    port.filesAfterRun["results.txt"] = kOldHeader + "1,01/01/2020 00:00,c:\\caf\xC3\xA9 & co, it's #1\\x.txt\r\n";
    Run(1, "x");
    port.selectedRow = 1;
    port.boxText = "typed";
    port.ran.clear();
    RA(app, cmd::ExpandFolder);
    ASSERT_EQ(port.ran.size(), 1u);
    EXPECT_EQ(port.ran[0], kSystem + " -size -size-format 2 -dm " + kTail + "\"c:\\caf\xC3\xA9 & co, it's #1\\\"");
    RA(app, cmd::ExpandParentFolder);
    EXPECT_EQ(port.ran.back(), kSystem + " -size -size-format 2 -dm " + kTail + "c:\\");
    EXPECT_EQ(port.boxText, "typed");
    EXPECT_EQ(port.spoken[port.spoken.size() - 2].text, "Search All for c:\\");
}

}  // namespace
}  // namespace lumiseek

// Reading results.txt into the table, and what the list, the status bar and the voice show of it: the
// columns' texts, sorting by a column header, the selection.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "base/app.h"
#include "base/ini.h"
#include "base/ids.h"
#include "fake_port.h"
#include "search/columns.h"
#include "search/results.h"

namespace lumiseek {
namespace {

const std::string kOldHeader = "Size,Date Modified,Filename\r\n";
const std::string kNewHeader = "Filename,Size,Date Modified\r\n";

// --- reading results.txt ---

struct ImportTest : ::testing::Test {
    FakePort port;
    App app{port};
    int Import(const std::string& bytes) {
        port.files["results.txt"] = bytes;
        return ImportResults(app);
    }
    // name|folder|size text|size|date|sort key|folder flag, to compare a row in one line
    std::string Row(size_t i) const {
        const ResultRow& r = app.Results.at(i);
        return r.Name + "|" + r.Folder + "|" + r.SizeText + "|" + std::to_string(r.Size) + "|" + r.DateText + "|" +
               r.SortDate + "|" + std::to_string(r.IsFolder);
    }
    void ExpectEmptyList(int k) {
        EXPECT_EQ(std::tuple(k, RowNames(app), port.itemCount, port.selectedRow), std::tuple(0, Texts{"<empty>"}, 1, 1));
    }
};

TEST_F(ImportTest, OlderLayoutGivesNameFolderSizeAndDateKeys) {
    int k = Import("\r\n" + kOldHeader + "1234,05/17/2023 10:22,C:\\Docs\\Budget.XLSX\r\n\r\n" +
                   ",12/31/2022 09:05,c:\\docs\\Photos\r\n" + "3221225472,05/17/2023 10:22,c:\\big.iso\r\n" +
                   "\"2.5\",\"1/2/2024\",\"c:\\a,b\\report, final.doc\"\r\n");
    ASSERT_EQ(k, 4);
    EXPECT_EQ(Row(0), "budget.xlsx|c:\\docs\\|1234|1234|05/17/2023 10:22|2023/05/17 10:22|0");
    EXPECT_EQ(Row(1), "photos|c:\\docs\\||0|12/31/2022 09:05|2022/12/31 09:05|1");
    EXPECT_EQ(app.Results[2].Size, 3221225472LL);  // sizes past 32 bits
    // Quotes removed, a comma inside the path kept, a fraction rounded half to even, a short date.
    EXPECT_EQ(Row(3), "report, final.doc|c:\\a,b\\|2.5|2|1/2/2024|2024/1/2/2 |0");
}

TEST_F(ImportTest, QuotedFieldsHoldQuotesAndLineBreaksAndRowsEndAtLf) {
    // Rows end at LF or CR LF; inside double quotes CR, LF and commas are the name's, "" is one quote.
    // Outside them a quote is text, and so is what follows a closing quote. A quote left open runs to
    // the end of the file: that row never ends and is not kept.
    const std::string file = "Filename,Size,Date Modified\n\"c:\\q\\dq\"\"name.txt\",5,05/17/2023 10:22\n"
                             "\"c:\\q\\two\r\nlines, \r\"\"\n.txt\",6,05/17/2023 10:22\r\n\"c:\\q\\lf\nonly\",,1/2/2024\n"
                             "c:\\q\\plain\"quote.txt,7,1/2/2024\n\"c:\\q\\a\"b.txt\r,8,1/2/2024\n"
                             "\"c:\\q\\open,9,1/2/2024\n10,1/2/2024,c:\\x\n";
    for (size_t limit : {SIZE_MAX, size_t{1}, size_t{2}, size_t{5}}) {
        port.readPartLimit = limit;
        port.files["results.txt"] = file;
        ImportOutcome met;
        EXPECT_EQ(ImportResults(app, &met), 5);
        EXPECT_EQ(RowNames(app), (Texts{"dq\"name.txt", "two\r\nlines, \r\"\n.txt", "lf\nonly", "plain\"quote.txt",
                                        "ab.txt\r"})) << limit;
        EXPECT_EQ(std::tuple(met.rows, met.unfinished, met.cut, met.tooLong), std::tuple(5, true, false, 0));
        EXPECT_EQ(Row(2), "lf\nonly|c:\\q\\||0|1/2/2024|2024/1/2/2 |1");
    }
}

// A port whose results.txt never ends (a device such as /dev/zero, or a file written faster than it
// is read): every read returns bytes, and the farthest byte asked for is noted.
struct EndlessPort : FakePort {
    std::function<std::string(size_t)> more;  // the bytes a read appends to the file
    uint64_t farthest = 0;
    bool ReadFilePart(const std::string& p, uint64_t offset, size_t count, std::string& b) override {
        if (p == "results.txt") {
            farthest = std::max(farthest, offset + count);
            files[p] += more(count);
        }
        return FakePort::ReadFilePart(p, offset, count, b);
    }
};

TEST(ImportBounds, RowsTooLongAreDroppedAndCountedAndAnEndlessFileStopsAtTheLimit) {
    // The longest path (32,767 UTF-16 units, three UTF-8 bytes each) is a row; a row over 128 KiB, even
    // one whose quotes hold line breaks, is dropped whole and counted, and the rows around it are kept.
    std::string longest;
    for (int i = 0; i < 32767 - 3; ++i) longest += "\xE6\x97\xA5";
    const std::string tooLong = std::string(128 << 10, 'x');
    FakePort port;
    App app{port};
    port.files["results.txt"] = kOldHeader + "1,1/2/2024,c:\\a\r\n1,1/2/2024,c:\\" + longest + "\r\n" +
                                "1,1/2/2024,c:\\" + tooLong + "\r\n" + "1,1/2/2024,\"c:\\" + tooLong.substr(100) +
                                "\r\n" + tooLong.substr(100) + "\"\n2,1/2/2024,c:\\b\r\n";
    ImportOutcome met;
    EXPECT_EQ(ImportResults(app, &met), 3);
    EXPECT_EQ(app.Results[1].Name, longest);
    EXPECT_EQ(std::tuple(app.Results[2].Name.str(), met.tooLong, met.unfinished, met.cut), std::tuple("b", 2, false, false));

    // A row a file still being written has not ended is left out; so are rows past the limit.
    port.files["results.txt"] = kOldHeader + "1,1/2/2024,c:\\a\r\n2,1/2/2024,c:\\b\r\n3,1/2/2024,c:\\to";
    EXPECT_EQ(ImportResults(app, &met), 2);
    EXPECT_EQ(std::tuple(met.unfinished, met.cut), std::tuple(true, false));
    EXPECT_EQ(ImportResults(app, &met, ImportLimits{.rows = 1}), 1);
    EXPECT_EQ(std::tuple(RowNames(app), met.unfinished, met.cut), std::tuple(Texts{"a"}, false, true));

    // Zeros without end: read up to the limit once each pass, never a row, one row too long, cut.
    const ImportLimits small{.fileBytes = 4 << 20};
    EndlessPort zeros;
    zeros.more = [](size_t count) { return std::string(count, '\0'); };
    App onZeros{zeros};
    EXPECT_EQ(ImportResults(onZeros, &met, small), 0);
    EXPECT_EQ(RowNames(onZeros), Texts{"<empty>"});
    EXPECT_LE(zeros.farthest, small.fileBytes + 1);
    EXPECT_EQ(std::tuple(met.tooLong, met.unfinished, met.cut), std::tuple(1, false, true));

    // A file that grows by half a row at every read: the rows whole within the limit, then cut.
    const std::string row = "7,05/17/2023 10:22,c:\\grow.txt\r\n";
    EndlessPort growing;
    growing.files["results.txt"] = kOldHeader;
    size_t half = 0;
    growing.more = [&](size_t) { return half++ % 2 == 0 ? row.substr(0, row.size() / 2) : row.substr(row.size() / 2); };
    growing.readPartLimit = 100;
    App onGrowing{growing};
    const ImportLimits limits{.fileBytes = 16 << 10};
    EXPECT_EQ(ImportResults(onGrowing, &met, limits), static_cast<int>((limits.fileBytes - kOldHeader.size()) / row.size()));
    EXPECT_EQ(std::tuple(onGrowing.Results.back().Name.str(), met.unfinished, met.cut), std::tuple("grow.txt", false, true));
}

TEST_F(ImportTest, NewerLayoutIsReadByColumnName) {
    Import(kNewHeader + "c:\\p,q\\r, s.txt,13,01/03/2024 08:00\r\nc:\\folder,,01/04/2024 09:00\r\n");
    ASSERT_EQ(app.Results.size(), 2u);
    EXPECT_EQ(Row(0), "r, s.txt|c:\\p,q\\|13|13|01/03/2024 08:00|2024/01/03 08:00|0");  // commas unquoted
    EXPECT_EQ(app.Results[1].IsFolder, 1);

    Import("\"Date Modified\",\"Filename\",\"Size\"\r\n\"05/17/2023 10:22\",\"c:\\d\\e.txt\",\"77\"\r\n");
    EXPECT_EQ(Row(0), "e.txt|c:\\d\\|77|77|05/17/2023 10:22|2023/05/17 10:22|0");
    Import("Filename\r\nc:\\docs\r\n");  // without a Size column nothing marks a folder
    EXPECT_EQ(Row(0), "docs|c:\\||0||/ |0");
    // A header that names no Filename column means the older order.
    Import("whatever\r\n5,05/17/2023 10:22,c:\\f.txt\r\n");
    EXPECT_EQ(Row(0), "f.txt|c:\\|5|5|05/17/2023 10:22|2023/05/17 10:22|0");
}

TEST_F(ImportTest, NothingToShowGivesTheEmptyRow) {
    ExpectEmptyList(Import(kOldHeader));
    ExpectEmptyList(Import(""));
    ExpectEmptyList(Import("\r\n\r\n\r\n"));
    ExpectEmptyList(Import(kOldHeader + "\"\"\r\n\"\r\n"));  // lines of double quotes alone are blank
    ExpectEmptyList(Import("Size\rDate\r1,05/17/2023 10:22,c:\\a\r"));  // CR alone ends no line
    port.files.erase("results.txt");
    ExpectEmptyList(ImportResults(app));
    EXPECT_EQ(port.files.at("results.txt"), "");  // created, empty
}

TEST_F(ImportTest, IgnoreListHidesWholeExtensions) {
    std::string file = kOldHeader;
    for (const char* path : {"c:\\a.lnk", "c:\\.lnk", "c:\\x.l", "c:\\my.lnk\\readme", "c:\\B.URL", "c:\\c.lnkx"})
        file += "1,05/17/2023 10:22," + std::string(path) + "\r\n";
    app.settings.UseIgnoreList = 0;
    app.settings.IgnoreList = ".lnk";
    EXPECT_EQ(Import(file), 6);
    app.settings.UseIgnoreList = 1;
    for (std::string list : {".lnk.url", ".lnk,.url", ".lnk; .url", "lnk url"}) {
        app.settings.IgnoreList = list;
        Import(file);
        EXPECT_EQ(RowNames(app), (Texts{"x.l", "readme", "c.lnkx"})) << list;
    }
    app.settings.IgnoreList = ".lnk .url .l .lnkx";
    ExpectEmptyList(Import(file.substr(0, file.find("c:\\my")) + "1,05/17/2023 10:22,c:\\B.URL\r\n"));
}

TEST_F(ImportTest, TextIsUtf8WhenValidElseAnsiOrMarkedUtf16HoweverTheReadsSplitIt) {
    // A read may return fewer bytes than asked, splitting a CR LF, a character or a quoted field. After a
    // byte-order mark the file is UTF-8 or UTF-16 whatever follows; without one, not UTF-8 means the ANSI
    // code page.
    const std::vector<std::pair<std::string, Texts>> files = {
        {"\xEF\xBB\xBF" + kNewHeader + "\"c:\\M\xC3\xBCsik\\a, b.mp3\",12,05/17/2023 10:22\r\n\r\n" +
             "c:\\\xD0\x96\\caf\xE9,,01/02/2024 08:00\n",
         {"a, b.mp3|c:\\m\xC3\xBCsik\\|12|12|05/17/2023 10:22|2023/05/17 10:22|0",
          "caf\xEF\xBF\xBD|c:\\\xD0\xB6\\||0|01/02/2024 08:00|2024/01/02 08:00|1"}},
        {"\r\n" + kOldHeader + "1,05/17/2023 10:22,c:\\\xDC" "ber\\caf\xE9.txt\r\n\r\n",
         {"caf\xC3\xA9.txt|c:\\\xC3\xBC" "ber\\|1|1|05/17/2023 10:22|2023/05/17 10:22|0"}},
        {kOldHeader + "1,05/17/2023 10:22,c:\\M\xC3\xBCsik\\Stra\xC3\x9F" "e \xE6\x97\xA5.txt\r\n",
         {"stra\xC3\x9F" "e \xE6\x97\xA5.txt|c:\\m\xC3\xBCsik\\|1|1|05/17/2023 10:22|2023/05/17 10:22|0"}},
        // UTF-16 with its mark, a read splitting a unit or a surrogate pair.
        {EncodeUtf16Le(kNewHeader + "\"c:\\\xF0\x9F\x98\x80\\A\"\"b\r\n\xC3\x89.txt\",3,05/17/2023 10:22\n"),
         {"a\"b\r\n\xC3\xA9.txt|c:\\\xF0\x9F\x98\x80\\|3|3|05/17/2023 10:22|2023/05/17 10:22|0"}},
    };
    for (const auto& [file, rows] : files)
        for (size_t limit : {SIZE_MAX, size_t{1}, size_t{3}, size_t{7}}) {
            port.readPartLimit = limit;
            Import(file);
            ASSERT_EQ(app.Results.size(), rows.size()) << limit;
            for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(Row(i), rows[i]) << limit << " bytes at a time";
        }
}

// --- the list, the status bar and the voice ---

const std::string kEte = "\xC3\xA9t\xC3\xA9.txt";

struct ListTest : ::testing::Test {
    FakePort port;
    App app{port};
    ListTest() {
        app.Results = {
            {"beta.txt", "c:\\users\\ann\\documents\\b\\", "01/01/2023 00:00", "2147483648", "2023/01/01 00:00", 2147483648LL, 0},
            {"alpha", "c:\\a\\", "12/31/2022 23:59", "", "2022/12/31 23:59", 0, 1},
            {"gamma.doc", "d:\\", " 06/15/2023 12:00 ", " 10 ", "2023/06/15 12:00", 10, 0},
            {kEte, "c:\\ab\\", "06/15/2021 12:00", "3221225472", "2021/06/15 12:00", 3221225472LL, 0},
            {"alp", "c:\\abc\\", "06/15/2023 11:00", "5", "2023/06/15 11:00", 5, 0},
        };
    }
};

TEST_F(ListTest, CellTextsFollowTheSettings) {
    auto cells = [&](int row) {
        return GetCellText(app, row, 1) + "|" + GetCellText(app, row, 2) + "|" + GetCellText(app, row, 3) + "|" +
               GetCellText(app, row, 4);
    };
    app.settings.ShortPath = app.settings.EnableTime = app.settings.UseKB = 0;
    EXPECT_EQ(cells(1), "beta.txt|c:\\users\\ann\\documents\\b\\|01/01/2023|2,147,483,648 bytes");
    EXPECT_EQ(cells(2), "(f) alpha|c:\\a\\|12/31/2022|");  // folders show no size
    app.settings.ShortPath = app.settings.EnableTime = app.settings.UseKB = 1;
    EXPECT_EQ(cells(1), "beta.txt|c:\\users\\...\\b|01/01/2023 00:00|2,147,484 KB");
    EXPECT_EQ(cells(2), "(f) alpha|c:\\a\\|12/31/2022 23:59|");  // nothing to leave out
    EXPECT_EQ(cells(0) + cells(6) + GetCellText(app, 1, 5), "||||||");
    app.Results = {{"<empty>", "", "", "", "", 0, 0}, {"Loading ...", "", "", "", "", 0, 0}};
    EXPECT_EQ(cells(1) + cells(2), "<empty>|||Loading ...|||");  // placeholders show no size
}

TEST_F(ListTest, SelectionShowsTheSummaryAndSpeaksTheBareName) {
    app.SpeechPrefix = "Shortcut Pressed: x : ";
    SelectionChanged(app, 2);
    EXPECT_EQ(port.status, "     2  alpha  12/31/2022 23:59    c:\\a\\");
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Shortcut Pressed: x : alpha", 3}}));
    SelectionChanged(app, 3);  // date and size trimmed
    EXPECT_EQ(port.status, "     3  gamma.doc  06/15/2023 12:00  10  d:\\");
    EXPECT_EQ(port.LastSpoken(), "gamma.doc");
    port.spoken.clear();
    SelectionChanged(app, 9);
    EXPECT_TRUE(port.spoken.empty());
}

TEST_F(ListTest, ASessionReloadsTheResultsWithoutAWordAndSelectsRowOne) {
    port.files["results.txt"] = kOldHeader + "5,05/17/2023 10:22,c:\\a.txt\r\n6,05/17/2023 10:22,c:\\b.txt\r\n";
    port.selectedRow = 2;
    OpenSession(app);
    EXPECT_EQ(std::tuple(port.columns[1].first, port.itemCount, port.selectedRow, port.focused, port.gridStyle),
              std::tuple("Name  (2)", 2, 1, ctl::ResultsList, true));
    EXPECT_TRUE(port.spoken.empty());
    app.settings.FocusOnRE = 1;  // the focus goes to the search box instead
    OpenSession(app);
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(std::pair(port.selFrom, port.selTo), std::pair(0, -1));
}

TEST_F(ListTest, SizeInThousandsOrInBytes) {
    // KB: thousands, halves to even, at least 1 KB unless empty. Bytes: exact, grouped, unit named.
    for (auto [kb, bytes, text] : std::vector<std::tuple<int, int64_t, std::string>>{
             {1, 0, " KB"}, {1, 1, "1 KB"}, {1, 1499, "1 KB"}, {1, 1500, "2 KB"}, {1, 2500, "2 KB"},
             {1, 3LL << 30, "3,221,225 KB"}, {0, 0, "0 bytes"}, {0, 1, "1 byte"}, {0, 2, "2 bytes"}}) {
        app.settings.UseKB = kb;
        app.Results = {{"f.txt", "c:\\", "", std::to_string(bytes), "", bytes, 0}};
        EXPECT_EQ(FormatSize(app, 1), text) << bytes;
    }
}

TEST_F(ListTest, EachColumnSortsByItsKeyAndTheDirectionAlternates) {
    port.selectedRow = 4;
    // The first sort after start-up is descending, whichever column; the flag is shared by all columns.
    for (auto [column, names] : std::vector<std::pair<int, Texts>>{
             {1, {kEte, "gamma.doc", "beta.txt", "alpha", "alp"}}, {1, {"alp", "alpha", "beta.txt", "gamma.doc", kEte}},
             {4, {kEte, "beta.txt", "gamma.doc", "alp", "alpha"}},  // sizes past 2 and 4 GiB in order
             {2, {"alpha", kEte, "alp", "beta.txt", "gamma.doc"}},
             {3, {"gamma.doc", "alp", "beta.txt", "alpha", kEte}},  // by year first: 12/31/2022 before 01/01/2023
             {3, {kEte, "alpha", "beta.txt", "alp", "gamma.doc"}}}) {
        SortD(app, column);
        EXPECT_EQ(RowNames(app), names) << column;
        EXPECT_EQ(port.selectedRow, 1);
    }
}

TEST_F(ListTest, RowOneIsAnnouncedOnceWhetherOrNotItWasSelected) {
    // Row 1 already selected: the list sends no change, so the sort shows and speaks the new row 1.
    port.selectedRow = 1;
    app.SpeechPrefix = "Shortcut Pressed: x : ";
    SortD(app, 1);
    EXPECT_EQ(port.status, "     1  " + kEte + "  06/15/2021 12:00  3221225472  c:\\ab\\");
    EXPECT_EQ(port.SpokenTexts(), Texts{"Shortcut Pressed: x : " + kEte});
    // Another row selected: the list reports the change itself; nothing is doubled.
    port.spoken.clear();
    port.selectedRow = 3;
    SortD(app, 1);
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(port.selectedRow, 1);
    EXPECT_EQ(ListFocusText(app), "Results List has focus. alp");  // as column 1 shows it
    port.selectedRow = 2;
    EXPECT_EQ(ListFocusText(app), "Results List has focus. (f) alpha");
}

TEST_F(ListTest, TypeAheadGoesDownOnlyWithoutWrapping) {
    ResultTable t;
    for (std::string n : {"apple", "banana", "avocado", "Berry", "cherry"}) t.push_back({n, "", "", "", "", 0, 0});
    // Compared in lower case; from row 4 'b' never goes back to row 2.
    for (auto [from, key, row] : std::vector<std::tuple<int, char, int>>{{0, 'a', 1}, {1, 'A', 3}, {2, 'b', 4}, {4, 'b', 0}})
        EXPECT_EQ(TypeAheadRow(t, from, key), row) << from << key;
}

}  // namespace
}  // namespace lumiseek

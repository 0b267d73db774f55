// Reading results.txt into the table, and what the list, the status bar and the voice show of it.
#include <gtest/gtest.h>

#include <random>

#include "actions/short_folder.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "search/results.h"

namespace lumiseek {
namespace {

using test::FakePort;
using test::Spoken;

const std::string kOldHeader = "Size,Date Modified,Filename\r\n";
const std::string kNewHeader = "Filename,Size,Date Modified\r\n";

struct ImportTest : ::testing::Test {
    FakePort port;
    App app{port};
    int Import(const std::string& bytes) {
        port.files["results.txt"] = bytes;
        return ImportResults(app);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& r : app.Results) names.push_back(r.Name);
        return names;
    }
    void ExpectEmptyTable(int k) {
        EXPECT_EQ(k, 0);
        ASSERT_EQ(app.Results.size(), 1u);
        EXPECT_EQ(app.Results[0].Name, "<empty>");
        EXPECT_EQ(app.Results[0].Folder, "");
        EXPECT_EQ(port.itemCount, 1);
        EXPECT_EQ(port.selectedRow, 1);
    }
};

TEST_F(ImportTest, RowsOfTheOlderLayout) {
    int k = Import(kOldHeader + "1234,05/17/2023 10:22,C:\\Docs\\Budget.XLSX\r\n,05/18/2023 09:05,c:\\docs\\Photos\r\n");
    ASSERT_EQ(k, 2);
    ASSERT_EQ(app.Results.size(), 2u);
    const ResultRow& f = app.Results[0];
    EXPECT_EQ(f.Name, "budget.xlsx");
    EXPECT_EQ(f.Folder, "c:\\docs\\");
    EXPECT_EQ(f.SizeText, "1234");
    EXPECT_EQ(f.Size, 1234);
    EXPECT_EQ(f.DateText, "05/17/2023 10:22");
    EXPECT_EQ(f.SortDate, "2023/05/17 10:22");
    EXPECT_EQ(f.IsFolder, 0);
    const ResultRow& d = app.Results[1];
    EXPECT_EQ(d.Name, "photos");
    EXPECT_EQ(d.SizeText, "");
    EXPECT_EQ(d.Size, 0);
    EXPECT_EQ(d.IsFolder, 1);
    EXPECT_EQ(d.SortDate, "2023/05/18 09:05");
}

TEST_F(ImportTest, HeaderOnlyMissingOrEmptyFileGivesTheEmptyRow) {
    ExpectEmptyTable(Import(kOldHeader));
    ExpectEmptyTable(Import("Size,Date Modified,Filename"));
    ExpectEmptyTable(Import(""));
    ExpectEmptyTable(Import("\r\n\r\n\r\n"));
    port.files.erase("results.txt");
    ExpectEmptyTable(ImportResults(app));
    EXPECT_EQ(port.files.at("results.txt"), "");  // created, empty
}

TEST_F(ImportTest, BlankLinesAreSkipped) {
    int k = Import("\r\n\r\n" + kOldHeader + "1,01/01/2020 00:00,c:\\a\r\n\r\n\r\n2,01/01/2020 00:00,c:\\b\r\n\r\n\r\n");
    EXPECT_EQ(k, 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
    // Double quotes are removed before the lines are looked at, so a line of quotes alone is blank.
    k = Import(kOldHeader + "\"\"\r\n1,01/01/2020 00:00,c:\\a\r\n\"\r\n\"\"\"\r\n2,01/01/2020 00:00,c:\\b\r\n\"\"");
    EXPECT_EQ(k, 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
    ExpectEmptyTable(Import(kOldHeader + "\"\"\r\n"));
    // Room is kept for rows, not for line breaks.
    std::string blanks;
    for (int i = 0; i < 100000; ++i) blanks += "\r\n";
    EXPECT_EQ(Import(kOldHeader + blanks + "1,01/01/2020 00:00,c:\\a\r\n" + blanks), 1);
    EXPECT_EQ(app.Results.capacity(), 1u);
}

TEST_F(ImportTest, QuotedFieldsAndCommasInPaths) {
    // Quotes anywhere are removed; a comma in an unquoted path stays in the path.
    Import(kOldHeader + "\"1\",\"05/17/2023 10:22\",\"c:\\q\\a.txt\"\r\n" +
           "2,05/17/2023 10:22,c:\\a,b\\report, final.doc\r\n" +
           "3,05/17/2023 10:22,\"c:\\x,y\\z.txt\"\r\n");
    ASSERT_EQ(app.Results.size(), 3u);
    EXPECT_EQ(app.Results[0].Name, "a.txt");
    EXPECT_EQ(app.Results[0].SizeText, "1");
    EXPECT_EQ(app.Results[0].DateText, "05/17/2023 10:22");
    EXPECT_EQ(app.Results[1].Name, "report, final.doc");
    EXPECT_EQ(app.Results[1].Folder, "c:\\a,b\\");
    EXPECT_EQ(app.Results[2].Folder, "c:\\x,y\\");
}

TEST_F(ImportTest, NewerLayoutIsReadByColumnName) {
    Import(kNewHeader + "C:\\Music\\Song.mp3,4096,05/17/2023 10:22\r\n" +
           "\"c:\\a,b\\c.txt\",12,01/02/2024 08:00\r\n" + "c:\\p,q\\r, s.txt,13,01/02/2024 08:00\r\n" +
           "c:\\folder,,01/03/2024 09:00\r\n");
    ASSERT_EQ(app.Results.size(), 4u);
    EXPECT_EQ(app.Results[0].Name, "song.mp3");
    EXPECT_EQ(app.Results[0].Folder, "c:\\music\\");
    EXPECT_EQ(app.Results[0].Size, 4096);
    EXPECT_EQ(app.Results[0].SortDate, "2023/05/17 10:22");
    EXPECT_EQ(app.Results[1].Folder, "c:\\a,b\\");
    EXPECT_EQ(app.Results[1].Size, 12);
    EXPECT_EQ(app.Results[2].Name, "r, s.txt");
    EXPECT_EQ(app.Results[2].Folder, "c:\\p,q\\");
    EXPECT_EQ(app.Results[2].Size, 13);
    EXPECT_EQ(app.Results[2].DateText, "01/02/2024 08:00");
    EXPECT_EQ(app.Results[3].IsFolder, 1);

    // Quoted header names, in yet another order.
    Import("\"Date Modified\",\"Filename\",\"Size\"\r\n\"05/17/2023 10:22\",\"c:\\d\\e.txt\",\"77\"\r\n");
    ASSERT_EQ(app.Results.size(), 1u);
    EXPECT_EQ(app.Results[0].Name, "e.txt");
    EXPECT_EQ(app.Results[0].Size, 77);
    EXPECT_EQ(app.Results[0].DateText, "05/17/2023 10:22");

    // Without a Size column nothing marks a folder: every row is a file.
    Import("Filename\r\nc:\\docs\r\n\"c:\\docs\\a.txt\"\r\n");
    ASSERT_EQ(app.Results.size(), 2u);
    EXPECT_EQ(app.Results[0].IsFolder, 0);
    EXPECT_EQ(app.Results[1].IsFolder, 0);
    EXPECT_EQ(app.Results[1].Name, "a.txt");

    // A header that does not name the columns means the older order.
    Import("whatever\r\n5,05/17/2023 10:22,c:\\f.txt\r\n");
    EXPECT_EQ(app.Results[0].Name, "f.txt");
    EXPECT_EQ(app.Results[0].Size, 5);
}

TEST_F(ImportTest, ShortLinesGiveEmptyFields) {
    Import(kOldHeader + "justtext\r\n9,05/17/2023 10:22\r\n");
    ASSERT_EQ(app.Results.size(), 2u);
    EXPECT_EQ(app.Results[0].SizeText, "justtext");
    EXPECT_EQ(app.Results[0].Name, "");
    EXPECT_EQ(app.Results[0].IsFolder, 0);
    EXPECT_EQ(app.Results[1].Size, 9);
    EXPECT_EQ(app.Results[1].Name, "");
}

TEST_F(ImportTest, NamesOutsideAsciiSurvive) {
    // UTF-8 as es writes it, with and without the byte-order mark.
    std::string path = "c:\\M\xC3\xBCsik\\Stra\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC.txt";
    Import(kOldHeader + "1,05/17/2023 10:22," + path + "\r\n");
    EXPECT_EQ(app.Results[0].Folder, "c:\\m\xC3\xBCsik\\");
    EXPECT_EQ(app.Results[0].Name, "stra\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC.txt");
    Import("\xEF\xBB\xBF" + kNewHeader + path + ",1,05/17/2023 10:22\r\n");
    EXPECT_EQ(app.Results[0].Name, "stra\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC.txt");
    EXPECT_EQ(app.Results[0].Size, 1);

    // Bytes that are not UTF-8 are read in the ANSI code page (Windows-1252 here).
    Import(kOldHeader + "1,05/17/2023 10:22,c:\\\xDC" "ber\\caf\xE9.txt\r\n");
    EXPECT_EQ(app.Results[0].Folder, "c:\\\xC3\xBC" "ber\\");
    EXPECT_EQ(app.Results[0].Name, "caf\xC3\xA9.txt");
    // After a byte-order mark the file is UTF-8 whatever follows: the mark never becomes part of
    // the first column's name, and a stray byte is a replacement character.
    Import("\xEF\xBB\xBF" + kNewHeader + "c:\\caf\xE9.txt,7,05/17/2023 10:22\r\n");
    EXPECT_EQ(app.Results[0].Name, "caf\xEF\xBF\xBD.txt");
    EXPECT_EQ(app.Results[0].Size, 7);
}

TEST_F(ImportTest, SizesBeyond32Bits) {
    Import(kOldHeader + "3221225472,05/17/2023 10:22,c:\\big.iso\r\n" +
           "99999999999999999999999,05/17/2023 10:22,c:\\huge\r\n" + " 12abc,05/17/2023 10:22,c:\\odd\r\n");
    EXPECT_EQ(app.Results[0].Size, 3221225472LL);
    EXPECT_EQ(app.Results[1].Size, INT64_MAX);
    EXPECT_EQ(app.Results[2].Size, 12);
}

TEST_F(ImportTest, SizeWithAFractionRoundsHalfToEven) {
    Import(kOldHeader + "1499.5,05/17/2023 10:22,c:\\a\r\n" + "2.5,05/17/2023 10:22,c:\\b\r\n" +
           "2.51,05/17/2023 10:22,c:\\c\r\n" + "7.49,05/17/2023 10:22,c:\\d\r\n" +
           "\t 9,05/17/2023 10:22,c:\\e\r\n" + "-3.5,05/17/2023 10:22,c:\\f\r\n");
    ASSERT_EQ(app.Results.size(), 6u);
    EXPECT_EQ(app.Results[0].Size, 1500);
    EXPECT_EQ(app.Results[1].Size, 2);
    EXPECT_EQ(app.Results[2].Size, 3);
    EXPECT_EQ(app.Results[3].Size, 7);
    EXPECT_EQ(app.Results[4].Size, 9);
    EXPECT_EQ(app.Results[5].Size, -4);
    EXPECT_EQ(app.Results[0].SizeText, "1499.5");  // the text stays as written
}

TEST_F(ImportTest, LongPathsKeepNameAndFolder) {
    std::string folder = "c:\\" + std::string(300, 'd') + "\\";
    std::string name = std::string(280, 'n') + ".txt";
    Import(kOldHeader + "1,05/17/2023 10:22," + folder + name + "\r\n");
    EXPECT_EQ(app.Results[0].Folder, folder);
    EXPECT_EQ(app.Results[0].Name, name);
}

TEST_F(ImportTest, DateKeys) {
    Import(kOldHeader + "1,05/17/2023 10:22,c:\\a\r\n1,12/31/2022,c:\\b\r\n1,,c:\\c\r\n1,5/7/23 9:05,c:\\d\r\n");
    EXPECT_EQ(app.Results[0].SortDate, "2023/05/17 10:22");
    EXPECT_EQ(app.Results[1].SortDate, "2022/12/31 ");
    EXPECT_EQ(app.Results[2].SortDate, "/ ");
    EXPECT_EQ(app.Results[3].SortDate, "7/23/5/7/2 9:05");  // other forms: whatever the rule builds
}

TEST_F(ImportTest, IgnoreListMatchesWholeExtensions) {
    std::string file = kOldHeader + "1,05/17/2023 10:22,c:\\a.lnk\r\n" + "1,05/17/2023 10:22,c:\\x.l\r\n" +
                       "1,05/17/2023 10:22,c:\\y.ln\r\n" + ",05/17/2023 10:22,c:\\photos\r\n" +
                       "1,05/17/2023 10:22,c:\\my.lnk\\readme\r\n" + "1,05/17/2023 10:22,c:\\B.URL\r\n" +
                       "1,05/17/2023 10:22,c:\\c.lnkx\r\n";
    app.settings.UseIgnoreList = 0;
    EXPECT_EQ(Import(file), 7);

    app.settings.UseIgnoreList = 1;
    app.settings.IgnoreList = ".lnk";
    Import(file);
    EXPECT_EQ(Names(), (std::vector<std::string>{"x.l", "y.ln", "photos", "readme", "b.url", "c.lnkx"}));

    for (std::string list : {".lnk.url", ".lnk .url", ".lnk,.url", ".lnk; .url", "lnk url"}) {
        app.settings.IgnoreList = list;
        Import(file);
        EXPECT_EQ(Names(), (std::vector<std::string>{"x.l", "y.ln", "photos", "readme", "c.lnkx"})) << list;
    }

    // Matching is against the lower-cased path, so an upper-case entry never matches.
    app.settings.IgnoreList = ".LNK";
    EXPECT_EQ(Import(file), 7);
}

TEST_F(ImportTest, AllRowsIgnoredGivesTheEmptyRow) {
    app.settings.UseIgnoreList = 1;
    app.settings.IgnoreList = ".lnk";
    ExpectEmptyTable(Import(kOldHeader + "1,05/17/2023 10:22,c:\\a.lnk\r\n1,05/17/2023 10:22,c:\\b.lnk\r\n"));
}

TEST_F(ImportTest, MalformedFilesGiveWhatTheRulesYield) {
    // CR without LF: one line, the header.
    ExpectEmptyTable(Import("Size\rDate\r1,05/17/2023 10:22,c:\\a\r"));
    // A 10 MB line with no line break: the header alone.
    ExpectEmptyTable(Import(std::string(10 * 1024 * 1024, 'x')));
    // A long data line: one row.
    EXPECT_EQ(Import(kOldHeader + std::string(1024 * 1024, '7')), 1);
    EXPECT_EQ(app.Results[0].Size, INT64_MAX);
    // NUL bytes and a lone LF stay inside their fields.
    std::string nul("1,05/17/2023 10:22,c:\\a\0b\nc.txt\r\n", 33);
    EXPECT_EQ(Import(kOldHeader + nul), 1);
    EXPECT_EQ(app.Results[0].Name, std::string("a\0b\nc.txt", 9));
    // An unclosed quote runs to the end of its line only.
    EXPECT_EQ(Import(kOldHeader + "1,\"05/17,c:\\a\r\n2,05/17/2023 10:22,c:\\b\r\n"), 2);
    EXPECT_EQ(app.Results[1].Name, "b");
}

TEST_F(ImportTest, RandomBytesNeverBreakTheImport) {
    std::mt19937 random(12345);
    const std::string alphabet = std::string("\r\n,\"\\:. a1\0\xC3\xFF\x80", 16);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 400, ' ');
        for (char& ch : bytes) ch = alphabet[random() % alphabet.size()];
        if (round % 2) bytes = kNewHeader + bytes;
        app.settings.UseIgnoreList = round % 3 == 0;
        app.settings.IgnoreList = ". .\\ :.";
        int k = Import(bytes);
        ASSERT_FALSE(app.Results.empty());
        if (k == 0) {
            EXPECT_EQ(app.Results[0].Name, "<empty>");
        } else {
            EXPECT_EQ(k, static_cast<int>(app.Results.size()));
        }
        for (const auto& r : app.Results) EXPECT_EQ(r.IsFolder, r.SizeText.empty() && k > 0 ? 1 : 0);
    }
}

TEST_F(ImportTest, FileReadInSmallPiecesGivesTheSameRows) {
    // The import reads the file in pieces; a file system may hand over fewer bytes than asked,
    // so a CR LF, a UTF-8 character or a quoted field can be split between two reads.
    std::mt19937 random(99);
    std::vector<std::string> files = {
        "\xEF\xBB\xBF" + kNewHeader + "\"c:\\M\xC3\xBCsik\\a, b.mp3\",12,05/17/2023 10:22\r\n\r\n" +
            "c:\\\xD0\x96\\x,,01/02/2024 08:00",
        "\r\n\r\n" + kOldHeader + "1,05/17/2023 10:22,c:\\\xDC" "ber\\caf\xE9.txt\r\n\r\n",
        kOldHeader + "1,05/17/2023 10:22,c:\\a\rb\r\r\n2,x,c:\\b\n\r\n\r",
    };
    const std::string alphabet = "\r\n,\"\\:.a1\xC3\xA9\xFF";
    for (int round = 0; round < 20; ++round) {
        std::string bytes = kOldHeader;
        for (int n = random() % 300; n > 0; --n) bytes += alphabet[random() % alphabet.size()];
        files.push_back(bytes);
    }
    for (const std::string& file : files) {
        port.readPartLimit = SIZE_MAX;
        int whole = Import(file);
        ResultTable expected = app.Results;
        for (size_t limit : {1, 2, 3, 7}) {
            port.readPartLimit = limit;
            ASSERT_EQ(Import(file), whole) << limit;
            ASSERT_EQ(app.Results.size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                const ResultRow &a = app.Results[i], &b = expected[i];
                EXPECT_TRUE(a.Name == b.Name && a.Folder == b.Folder && a.DateText == b.DateText &&
                            a.SizeText == b.SizeText && a.SortDate == b.SortDate && a.Size == b.Size &&
                            a.IsFolder == b.IsFolder)
                    << "row " << i << " read " << limit << " bytes at a time: " << a.Folder << a.Name;
            }
        }
    }
}

// --- the list, the status bar and the voice ---

struct ListTest : ::testing::Test {
    FakePort port;
    App app{port};
    ListTest() {
        app.Results = {
            {"budget.xlsx", "c:\\users\\ann\\documents\\work\\", "05/17/2023 10:22", "1234567", "2023/05/17 10:22", 1234567, 0},
            {"photos", "c:\\work\\", "05/18/2023 09:05", "", "2023/05/18 09:05", 0, 1},
            {"empty.txt", "d:\\", " 01/02/2024 08:00 ", " 0 ", "2024/01/02 08:00", 0, 0},
        };
    }
};

TEST_F(ListTest, CellTextsInEverySetting) {
    EXPECT_EQ(GetCellText(app, 1, 1), "budget.xlsx");
    EXPECT_EQ(GetCellText(app, 2, 1), "(f) photos");

    app.settings.ShortPath = 1;
    EXPECT_EQ(GetCellText(app, 1, 2), "c:\\users\\...\\work");
    EXPECT_EQ(GetCellText(app, 2, 2), "c:\\work\\...\\work");
    app.settings.ShortPath = 0;
    EXPECT_EQ(GetCellText(app, 1, 2), "c:\\users\\ann\\documents\\work\\");

    app.settings.EnableTime = 1;
    EXPECT_EQ(GetCellText(app, 1, 3), "05/17/2023 10:22");
    app.settings.EnableTime = 0;
    EXPECT_EQ(GetCellText(app, 1, 3), "05/17/2023");

    app.settings.UseKB = 1;
    EXPECT_EQ(GetCellText(app, 1, 4), "1,235 KB");
    EXPECT_EQ(GetCellText(app, 2, 4), "");  // folders show no size
    app.settings.UseKB = 0;
    EXPECT_EQ(GetCellText(app, 1, 4), "1,234,567 bytes");

    // Outside the table, or an unknown column: nothing.
    EXPECT_EQ(GetCellText(app, 0, 1), "");
    EXPECT_EQ(GetCellText(app, 4, 1), "");
    EXPECT_EQ(GetCellText(app, 1, 5), "");
}

TEST_F(ListTest, PlaceholdersShowNoSize) {
    app.Results = {{"<empty>", "", "", "", "", 0, 0}};
    EXPECT_EQ(GetCellText(app, 1, 1), "<empty>");
    EXPECT_EQ(GetCellText(app, 1, 4), "");
    app.Results[0].Name = "Loading ...";
    EXPECT_EQ(GetCellText(app, 1, 4), "");
}

TEST_F(ListTest, ShortFolderForm) {
    app.settings.ShortPath = 1;
    EXPECT_EQ(ShortFolder(app, "C:\\Users\\Ann\\Documents\\Work\\"), "C:\\Users\\...\\Work");
    EXPECT_EQ(ShortFolder(app, "c:\\a\\b\\c"), "c:\\a\\...\\c");  // a "\" is added first
    EXPECT_EQ(ShortFolder(app, "c:\\work\\"), "c:\\work\\...\\work");
    EXPECT_EQ(ShortFolder(app, ""), "");
    app.settings.ShortPath = 0;
    EXPECT_EQ(ShortFolder(app, "c:\\a\\b\\c\\"), "");
}

TEST_F(ListTest, SelectionShowsSummarySpeaksBareName) {
    app.SpeechPrefix = "Shortcut Pressed: x : ";
    SelectionChanged(app, 2);
    EXPECT_EQ(port.status, "     2  photos  05/18/2023 09:05    c:\\work\\");
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Shortcut Pressed: x : photos", 3}}));
    EXPECT_EQ(app.SpeechPrefix, "");

    SelectionChanged(app, 3);  // date and size are trimmed in the summary
    EXPECT_EQ(port.status, "     3  empty.txt  01/02/2024 08:00  0  d:\\");

    port.spoken.clear();
    SelectionChanged(app, 9);
    EXPECT_TRUE(port.spoken.empty());
}

TEST_F(ListTest, ShowSearchResultsCountsRowsInGroups) {
    app.Results.resize(1234, app.Results[0]);
    ShowSearchResults(app);
    EXPECT_EQ(port.columns[1].first, "Name  (1,234)");
    EXPECT_EQ(port.itemCount, 1234);
    EXPECT_EQ(port.selectedRow, 1);
    EXPECT_TRUE(port.gridStyle);
    EXPECT_EQ(port.focused, ctl::ResultsList);

    InitializeList(app);
    ShowSearchResults(app);
    EXPECT_EQ(port.columns[1].first, "Name  (0)");
    EXPECT_EQ(port.itemCount, 1);
}

TEST_F(ListTest, OpenSessionReloadsQuietly) {
    port.files["results.txt"] = kOldHeader + "5,05/17/2023 10:22,c:\\a.txt\r\n6,05/17/2023 10:22,c:\\b.txt\r\n";
    port.caption = "unchanged";
    OpenSession(app);
    EXPECT_EQ(app.Results.size(), 2u);
    EXPECT_EQ(port.itemCount, 2);
    EXPECT_EQ(port.columns[1].first, "Name  (2)");
    EXPECT_EQ(port.focused, ctl::ResultsList);
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(port.caption, "unchanged");

    app.settings.FocusOnRE = 1;
    OpenSession(app);
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(port.selFrom, 0);
    EXPECT_EQ(port.selTo, -1);
}

TEST_F(ListTest, TypeAheadGoesDownOnlyWithoutWrapping) {
    ResultTable t;
    for (std::string n : {"apple", "banana", "avocado", "Berry", "cherry", "apricot"}) t.push_back({n, "", "", "", "", 0, 0});
    EXPECT_EQ(TypeAheadRow(t, 0, 'a'), 1);
    EXPECT_EQ(TypeAheadRow(t, 1, 'a'), 3);
    EXPECT_EQ(TypeAheadRow(t, 3, 'A'), 6);
    EXPECT_EQ(TypeAheadRow(t, 2, 'b'), 4);  // compared in lower case
    EXPECT_EQ(TypeAheadRow(t, 4, 'b'), 0);  // never back to row 2
    EXPECT_EQ(TypeAheadRow(t, 6, 'a'), 0);  // from the last row: nothing
    EXPECT_EQ(TypeAheadRow(t, 0, 'z'), 0);
}

}  // namespace
}  // namespace lumiseek

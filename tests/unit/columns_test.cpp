// The size column's text, sorting by a column header, and the list's focus announcement.
#include <gtest/gtest.h>

#include "base/app.h"
#include "fake_port.h"
#include "search/columns.h"

namespace lumiseek {
namespace {

struct ColumnsTest : ::testing::Test {
    test::FakePort port;
    App app{port};
};

TEST_F(ColumnsTest, SizeInThousandsOrInBytes) {
    // KB: thousands, halves to even, at least 1 KB unless empty. Bytes: exact, grouped, unit named.
    for (auto [kb, bytes, text] : std::vector<std::tuple<int, int64_t, std::string>>{
             {1, 0, " KB"}, {1, 1, "1 KB"}, {1, 1499, "1 KB"}, {1, 1500, "2 KB"}, {1, 2500, "2 KB"},
             {1, 1234567, "1,235 KB"}, {1, 3LL << 30, "3,221,225 KB"}, {0, 0, "0 bytes"}, {0, 1, "1 byte"},
             {0, 2, "2 bytes"}, {0, 1234567, "1,234,567 bytes"}, {0, 3LL << 30, "3,221,225,472 bytes"}}) {
        app.settings.UseKB = kb;
        app.Results = {{"f.txt", "c:\\", "", std::to_string(bytes), "", bytes, 0}};
        EXPECT_EQ(FormatSize(app, 1), text) << bytes;
    }
}

struct SortTest : ColumnsTest {
    const std::string ete = "\xC3\xA9t\xC3\xA9.txt";
    SortTest() {
        app.Results = {
            {"beta.txt", "c:\\b\\", "01/01/2023 00:00", "2147483648", "2023/01/01 00:00", 2147483648LL, 0},
            {"alpha", "c:\\a\\", "12/31/2022 23:59", "", "2022/12/31 23:59", 0, 1},
            {"gamma.doc", "d:\\", "06/15/2023 12:00", "10", "2023/06/15 12:00", 10, 0},
            {ete, "c:\\ab\\", "06/15/2021 12:00", "3221225472", "2021/06/15 12:00", 3221225472LL, 0},
            {"alp", "c:\\abc\\", "06/15/2023 11:00", "5", "2023/06/15 11:00", 5, 0},
        };
        port.selectedRow = 4;
    }
};

TEST_F(SortTest, EachColumnSortsByItsKeyAndTheDirectionAlternates) {
    // The first sort after start-up is descending, whichever column; the flag is shared by all columns.
    for (auto [column, names] : std::vector<std::pair<int, Texts>>{
             {1, {ete, "gamma.doc", "beta.txt", "alpha", "alp"}}, {1, {"alp", "alpha", "beta.txt", "gamma.doc", ete}},
             {4, {ete, "beta.txt", "gamma.doc", "alp", "alpha"}},  // sizes past 2 and 4 GiB in order
             {2, {"alpha", ete, "alp", "beta.txt", "gamma.doc"}},
             {3, {"gamma.doc", "alp", "beta.txt", "alpha", ete}},  // by year first: 12/31/2022 before 01/01/2023
             {0, {"gamma.doc", "alp", "beta.txt", "alpha", ete}}, {5, {"gamma.doc", "alp", "beta.txt", "alpha", ete}},
             {3, {ete, "alpha", "beta.txt", "alp", "gamma.doc"}}}) {
        SortD(app, column);
        EXPECT_EQ(RowNames(app), names) << column;
        EXPECT_EQ(port.selectedRow, 1);
    }
}

TEST_F(SortTest, RowOneIsAnnouncedOnceWhetherOrNotItWasSelected) {
    // Row 1 already selected: the list sends no change, so the sort shows and speaks the new row 1.
    port.selectedRow = 1;
    app.SpeechPrefix = "Shortcut Pressed: x : ";
    SortD(app, 1);
    EXPECT_EQ(port.status, "     1  " + ete + "  06/15/2021 12:00  3221225472  c:\\ab\\");
    EXPECT_EQ(port.SpokenTexts(), Texts{"Shortcut Pressed: x : " + ete});
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

}  // namespace
}  // namespace lumiseek

// The size column's text, sorting by a column header, and the list's focus announcement.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/app.h"
#include "fake_port.h"
#include "search/columns.h"

namespace lumiseek {
namespace {

using test::FakePort;

struct ColumnsTest : ::testing::Test {
    FakePort port;
    App app{port};
    std::string Size(int64_t bytes) {
        app.Results = {{"f.txt", "c:\\", "", std::to_string(bytes), "", bytes, 0}};
        return FormatSize(app, 1);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& r : app.Results) names.push_back(r.Name);
        return names;
    }
};

TEST_F(ColumnsTest, SizeInThousandsOfBytes) {
    app.settings.UseKB = 1;
    EXPECT_EQ(Size(0), " KB");  // no minimum for an empty file
    EXPECT_EQ(Size(1), "1 KB");
    EXPECT_EQ(Size(499), "1 KB");
    EXPECT_EQ(Size(1499), "1 KB");
    EXPECT_EQ(Size(1500), "2 KB");  // halves go to the even neighbour
    EXPECT_EQ(Size(2500), "2 KB");
    EXPECT_EQ(Size(3500), "4 KB");
    EXPECT_EQ(Size(1234567), "1,235 KB");
    EXPECT_EQ(Size(3LL << 30), "3,221,225 KB");
}

TEST_F(ColumnsTest, SizeInBytesWhenKbIsOff) {
    app.settings.UseKB = 0;
    EXPECT_EQ(Size(0), "0 bytes");
    EXPECT_EQ(Size(1), "1 byte");
    EXPECT_EQ(Size(1499), "1,499 bytes");
    EXPECT_EQ(Size(1234567), "1,234,567 bytes");
    EXPECT_EQ(Size(3LL << 30), "3,221,225,472 bytes");
}

struct SortTest : ColumnsTest {
    SortTest() {
        app.Results = {
            {"beta.txt", "c:\\b\\", "01/01/2023 00:00", "2147483648", "2023/01/01 00:00", 2147483648LL, 0},
            {"alpha", "c:\\a\\", "12/31/2022 23:59", "", "2022/12/31 23:59", 0, 1},
            {"gamma.doc", "d:\\", "06/15/2023 12:00", "10", "2023/06/15 12:00", 10, 0},
            {"\xC3\xA9t\xC3\xA9.txt", "c:\\ab\\", "06/15/2021 12:00", "3221225472", "2021/06/15 12:00", 3221225472LL, 0},
            {"alp", "c:\\abc\\", "06/15/2023 11:00", "5", "2023/06/15 11:00", 5, 0},
        };
        port.selectedRow = 4;
    }
};

TEST_F(SortTest, SharedFlagAlternatesAcrossColumns) {
    // The first sort after start-up is descending, whichever column.
    SortD(app, 1);
    EXPECT_EQ(app.SortDescending, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"\xC3\xA9t\xC3\xA9.txt", "gamma.doc", "beta.txt", "alpha", "alp"}));
    EXPECT_EQ(port.selectedRow, 1);

    // The next one, on another column, ascending: smallest first, sizes past 2 GiB in order.
    SortD(app, 4);
    EXPECT_EQ(app.SortDescending, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "alp", "gamma.doc", "beta.txt", "\xC3\xA9t\xC3\xA9.txt"}));

    SortD(app, 4);
    EXPECT_EQ(Names(), (std::vector<std::string>{"\xC3\xA9t\xC3\xA9.txt", "beta.txt", "gamma.doc", "alp", "alpha"}));
}

TEST_F(SortTest, RowOneIsAnnouncedOnceWhetherOrNotItWasSelected) {
    // Row 1 already selected: the list sends no change, so the sort shows and speaks the new row 1.
    port.selectedRow = 1;
    app.SpeechPrefix = "Shortcut Pressed: x : ";
    SortD(app, 1);
    EXPECT_EQ(port.status, "     1  \xC3\xA9t\xC3\xA9.txt  06/15/2021 12:00  3221225472  c:\\ab\\");
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{"Shortcut Pressed: x : \xC3\xA9t\xC3\xA9.txt"}));
    // Another row selected: selecting row 1 is a change the list reports itself; nothing is doubled.
    port.spoken.clear();
    port.selectedRow = 3;
    SortD(app, 1);
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(port.selectedRow, 1);
}

TEST_F(SortTest, NameAscendingPutsPrefixFirstAndMixesFolders) {
    app.SortDescending = 1;
    SortD(app, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"alp", "alpha", "beta.txt", "gamma.doc", "\xC3\xA9t\xC3\xA9.txt"}));
}

TEST_F(SortTest, FolderBothWays) {
    SortD(app, 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"gamma.doc", "beta.txt", "alp", "\xC3\xA9t\xC3\xA9.txt", "alpha"}));
    SortD(app, 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "\xC3\xA9t\xC3\xA9.txt", "alp", "beta.txt", "gamma.doc"}));
}

TEST_F(SortTest, DateByYearFirstKeyBothWays) {
    SortD(app, 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"gamma.doc", "alp", "beta.txt", "alpha", "\xC3\xA9t\xC3\xA9.txt"}));
    SortD(app, 3);  // 12/31/2022 before 01/01/2023
    EXPECT_EQ(Names(), (std::vector<std::string>{"\xC3\xA9t\xC3\xA9.txt", "alpha", "beta.txt", "alp", "gamma.doc"}));
}

TEST_F(SortTest, UnknownColumnChangesNothing) {
    auto before = Names();
    SortD(app, 0);
    SortD(app, 5);
    EXPECT_EQ(app.SortDescending, 0);
    EXPECT_EQ(Names(), before);
}

TEST_F(ColumnsTest, ManyEqualKeysSortSafely) {
    // Most keys equal: every row is kept and the keys come out in order, both ways.
    app.Results.clear();
    for (int i = 0; i < 3000; ++i) app.Results.push_back({i % 3 ? "same" : "other", "c:\\", "", "", "", i % 2, 0});
    auto ordered = [&](auto key) {
        bool desc = app.SortDescending == 1;
        return std::is_sorted(app.Results.begin(), app.Results.end(),
                              [&](const ResultRow& a, const ResultRow& b) { return desc ? key(b) < key(a) : key(a) < key(b); });
    };
    for (int pass = 0; pass < 2; ++pass) {
        SortD(app, 1);
        EXPECT_TRUE(ordered([](const ResultRow& r) { return r.Name; }));
        SortD(app, 4);
        EXPECT_TRUE(ordered([](const ResultRow& r) { return r.Size; }));
        SortD(app, 2);
        ASSERT_EQ(app.Results.size(), 3000u);
        EXPECT_EQ(std::count_if(app.Results.begin(), app.Results.end(), [](const ResultRow& r) { return r.Name == "same"; }),
                  2000);
    }
}

TEST_F(ColumnsTest, FocusAnnouncementReadsColumnOneAsShown) {
    app.Results = {{"a.txt", "c:\\", "", "1", "", 1, 0}, {"docs", "c:\\", "", "", "", 0, 1}};
    port.selectedRow = 2;
    EXPECT_EQ(ListFocusText(app), "Results List has focus. (f) docs");
    port.selectedRow = 1;
    EXPECT_EQ(ListFocusText(app), "Results List has focus. a.txt");
}

}  // namespace
}  // namespace lumiseek

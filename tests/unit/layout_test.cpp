// The layout of the search box, the results list and the preview, and the list's columns.
#include <gtest/gtest.h>

#include "base/app.h"
#include "base/ids.h"
#include "app/layout.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using test::FakePort;

struct LayoutTest : ::testing::Test {
    FakePort port;
    App app{port};
    LayoutTest() {
        port.client = {1584, 741};
        port.heights[ctl::Toolbar] = 130;
        port.heights[ctl::StatusBar] = 38;
        app.settings.FontSize = 36;
        app.settings.SearchType = 1;
        app.settings.ShowPreview = 0;
        app.Results = {{"<empty>", "", "", "", "", 0, 0}};
    }
    std::vector<std::pair<std::string, int>> Columns() {
        std::vector<std::pair<std::string, int>> cols;
        for (int c = 1; c <= 4; ++c) cols.push_back(port.columns[c]);
        return cols;
    }
};

TEST_F(LayoutTest, WorkedExample) {
    Resize(app);
    EXPECT_EQ(port.placed[ctl::SearchBox], (Rect{10, 130, 1564, 97}));
    EXPECT_EQ(port.placed[ctl::ResultsList], (Rect{10, 232, 1564, 466}));
    EXPECT_EQ(Columns(), (std::vector<std::pair<std::string, int>>{
                             {"Name  (0)", 498}, {" Path", 498}, {" Date", 352}, {" Size", 236}}));
    EXPECT_FALSE(port.shown[ctl::Preview]);
    EXPECT_TRUE(port.shown[ctl::Toolbar]);
}

TEST_F(LayoutTest, SearchBoxHeightFromSinglePrecisionFactor) {
    // 2.7 is held a little above its value, so products ending in .5 round up.
    EXPECT_EQ(PlanLayout(1584, 741, 0, 0, 15, false, 1).SearchBox.h, 41);
    EXPECT_EQ(PlanLayout(1584, 741, 0, 0, 25, false, 1).SearchBox.h, 68);
    EXPECT_EQ(PlanLayout(1584, 741, 0, 0, 5, false, 1).SearchBox.h, 14);
    EXPECT_EQ(PlanLayout(1584, 741, 0, 0, 36, false, 1).SearchBox.h, 97);
    EXPECT_EQ(PlanLayout(1584, 741, 0, 0, 8, false, 1).SearchBox.h, 22);  // 21.6
    EXPECT_EQ(PlanLayout(1584, 741, 0, 0, 72, false, 1).SearchBox.h, 194);
}

TEST_F(LayoutTest, WithoutToolbarTheBoxStartsAtTheTop) {
    app.settings.ShowToolbar = 0;
    port.heights.erase(ctl::Toolbar);  // a hidden toolbar has no height
    Resize(app);
    EXPECT_FALSE(port.shown[ctl::Toolbar]);
    EXPECT_EQ(port.placed[ctl::SearchBox], (Rect{10, 0, 1564, 97}));
    EXPECT_EQ(port.placed[ctl::ResultsList], (Rect{10, 102, 1564, 596}));
    EXPECT_EQ(TBH(app), 0);
}

TEST_F(LayoutTest, PreviewNarrowsTheListButNotItsColumns) {
    app.settings.ShowPreview = 1;
    Resize(app);
    EXPECT_TRUE(port.shown[ctl::Preview]);
    EXPECT_EQ(port.placed[ctl::ResultsList], (Rect{10, 232, 950, 466}));
    EXPECT_EQ(port.placed[ctl::Preview], (Rect{970, 232, 604, 466}));
    EXPECT_EQ(port.columns[1].second + port.columns[2].second + port.columns[3].second + port.columns[4].second, 1584);

    // The preview's place is set while it is hidden too.
    app.settings.ShowPreview = 0;
    port.placed.clear();
    Resize(app);
    EXPECT_EQ(port.placed[ctl::Preview], (Rect{970, 232, 604, 466}));
}

TEST_F(LayoutTest, ColumnWidthsFillOtherWidths) {
    EXPECT_EQ(PlanLayout(1000, 900, 0, 20, 36, false, 4).ColumnWidths, (std::array<int, 4>{303, 303, 222, 171}));
}

TEST_F(LayoutTest, HeaderCountsRowsInGroups) {
    app.Results.assign(1234, {"a.txt", "c:\\", "", "1", "", 1, 0});
    Resize(app);
    EXPECT_EQ(port.columns[1].first, "Name  (1,234)");
    app.Results.assign(1, {"a.txt", "c:\\", "", "1", "", 1, 0});
    Resize(app);
    EXPECT_EQ(port.columns[1].first, "Name  (1)");
}

TEST_F(LayoutTest, SettingsAndActionsListsUseOneColumn) {
    app.settings.SearchType = 5;
    Resize(app);
    EXPECT_EQ(Columns(), (std::vector<std::pair<std::string, int>>{
                             {"Settings Shortcuts", 1584}, {"", 0}, {"", 0}, {"", 0}}));
    app.settings.SearchType = 6;
    Resize(app);
    EXPECT_EQ(Columns(), (std::vector<std::pair<std::string, int>>{
                             {"Action Shortcuts", 1584}, {"", 0}, {"", 0}, {"", 0}}));
}

TEST_F(LayoutTest, OtherModesLeaveTheColumns) {
    app.settings.SearchType = 7;
    Resize(app);
    EXPECT_TRUE(port.columns.empty());
    EXPECT_EQ(port.placed[ctl::SearchBox], (Rect{10, 130, 1564, 97}));
}

TEST(KeepInsideTest, WindowsEndWhollyOnTheNearestWorkArea) {
    const Rect screen{0, 0, 1920, 1040};  // 1920 x 1080, taskbar at the bottom
    // First start: 1600 wide, centred for the smaller window it was created as.
    EXPECT_EQ(KeepInside({327, 100, 1600, 800}, screen), (Rect{320, 100, 1600, 800}));
    // Already inside: unchanged.
    EXPECT_EQ(KeepInside({0, 0, 1920, 1040}, screen), (Rect{0, 0, 1920, 1040}));
    // Taskbar at the top, and at the left.
    EXPECT_EQ(KeepInside({100, 0, 800, 600}, {0, 40, 1920, 1040}), (Rect{100, 40, 800, 600}));
    EXPECT_EQ(KeepInside({0, 300, 800, 600}, {60, 0, 1860, 1080}), (Rect{60, 300, 800, 600}));
    // Left on a monitor that is gone: brought back to the right edge of the one that is left.
    EXPECT_EQ(KeepInside({2500, 200, 1600, 800}, screen), (Rect{320, 200, 1600, 800}));
    // A smaller second monitor left of the primary: moved and shrunk to fit it.
    EXPECT_EQ(KeepInside({-1500, -50, 1600, 1200}, {-1280, 0, 1280, 984}), (Rect{-1280, 0, 1280, 984}));
}

}  // namespace
}  // namespace lumiseek

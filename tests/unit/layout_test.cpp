// The layout of the search box, the results list and the preview, the list's columns, the window's place,
// and the colour schemes and the size of the large font, as the commands and the mouse wheel change them.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "view/colors.h"
#include "app/dispatch.h"
#include "view/layout.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using Columns = std::vector<std::pair<std::string, int>>;
constexpr int kBlue = 16711680, kWhite = 16777215, kBlack = 0, kYellow = 65535;

struct LayoutTest : ::testing::Test {
    test::FakePort port;
    App app{port};
    LayoutTest() {
        port.heights[ctl::Toolbar] = 130;
        port.heights[ctl::StatusBar] = 38;
        app.settings.SearchType = 1;
        app.Results = {{"<empty>", "", "", "", "", 0, 0}};
    }
    Columns Shown() {
        Resize(app);
        return {port.columns[1], port.columns[2], port.columns[3], port.columns[4]};
    }
};

TEST_F(LayoutTest, BoxAndListFillTheClientAreaBetweenToolbarAndStatusBar) {
    app.settings.ShowPreview = 0;
    EXPECT_EQ(Shown(), (Columns{{"Name  (0)", 498}, {" Path", 498}, {" Date", 352}, {" Size", 236}}));
    EXPECT_EQ(port.placed[ctl::SearchBox], (Rect{10, 130, 1564, 97}));
    EXPECT_EQ(port.placed[ctl::ResultsList], (Rect{10, 232, 1564, 466}));
    EXPECT_FALSE(port.shown[ctl::Preview]);
    // Without the toolbar the box starts at the top.
    app.settings.ShowToolbar = 0;
    port.heights.erase(ctl::Toolbar);
    Resize(app);
    EXPECT_FALSE(port.shown[ctl::Toolbar]);
    EXPECT_EQ(port.placed[ctl::SearchBox], (Rect{10, 0, 1564, 97}));
    EXPECT_EQ(port.placed[ctl::ResultsList], (Rect{10, 102, 1564, 596}));
    // The spoken lists have one wide column.
    app.settings.SearchType = 5;
    EXPECT_EQ(Shown(), (Columns{{"Settings Shortcuts", 1584}, {"", 0}, {"", 0}, {"", 0}}));
}

TEST_F(LayoutTest, BoxHeightFollowsTheFontAndThePreviewNarrowsTheList) {
    // 2.7 is held a little above its value, so 40.5 rounds up; 21.6 rounds to 22.
    for (auto [font, height] : {std::pair{15, 41}, {8, 22}, {72, 194}})
        EXPECT_EQ(PlanLayout(1584, 741, 0, 0, font, false, 1).SearchBox.h, height) << font;
    // The preview narrows the list but not its columns.
    app.settings.ShowPreview = 1;
    Resize(app);
    EXPECT_TRUE(port.shown[ctl::Preview]);
    EXPECT_EQ(port.placed[ctl::ResultsList], (Rect{10, 232, 950, 466}));
    EXPECT_EQ(port.placed[ctl::Preview], (Rect{970, 232, 604, 466}));
    EXPECT_EQ(port.columns[1].second + port.columns[2].second + port.columns[3].second + port.columns[4].second, 1584);
    EXPECT_EQ(PlanLayout(1000, 900, 0, 20, 36, false, 4).ColumnWidths, (std::array<int, 4>{303, 303, 222, 171}));
}

TEST_F(LayoutTest, ColourAndFontCommandsApplyAndAnnounceTheirSteps) {
    std::vector<std::pair<int, int>> applied;
    for (int i = 0; i < 3; ++i) {
        OnCommand(app, cmd::ChangeColors, 0);
        applied.emplace_back(port.fg, port.bg);
        EXPECT_EQ(std::make_pair(app.settings.FG, app.settings.BG), applied.back());
    }
    EXPECT_EQ(applied, (decltype(applied){{kBlack, kWhite}, {kWhite, kBlack}, {kYellow, kBlue}}));
    EXPECT_EQ(port.beeps, 3);
    EXPECT_TRUE(port.placed.count(ctl::SearchBox));  // laid out afterwards
    app.settings.BG = kYellow;  // a hand-edited background: the next step is a scheme again
    OnCommand(app, cmd::ChangeColors, 0);
    EXPECT_EQ(std::make_pair(port.fg, port.bg), (std::pair<int, int>{kYellow, kBlue}));
    // The selected row is drawn in the scheme's colours swapped: blue on yellow.
    EXPECT_EQ(OnListSelectedRowColors(app), (RowColors{kBlue, kYellow}));
    // Font commands and wheel notches step four points, down to eight, and announce the size; the
    // selected row is scrolled back into sight after each.
    port.selectedRow = 40;
    OnCommand(app, cmd::IncreaseFontSize, 0);
    EXPECT_EQ(std::make_pair(port.largeFontSize, port.shownRow), std::make_pair(40, 40));
    EXPECT_EQ(port.placed[ctl::SearchBox].h, 108);  // the box grows with the font
    OnMouseWheel(app, -360);
    OnCommand(app, cmd::DecreaseFontSize, 0);
    port.selectedRow = 3;
    OnMouseWheel(app, 1);
    EXPECT_EQ(port.shownRow, 3);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Black on White", "White on Black", "Yellow on Blue", "Yellow on Blue", "Font Size is  40",
                                         "Font Size is  36", "Font Size is  32", "Font Size is  36"}));
    // A zero delta changes nothing and says nothing, but applies colours and font again.
    port.fg = port.largeFontSize = -1;
    OnMouseWheel(app, 0);
    EXPECT_EQ(std::make_tuple(port.fg, port.largeFontSize, port.spoken.size()), std::make_tuple(kYellow, 36, size_t{8}));
    const int kMax = std::numeric_limits<int>::max();  // no upper limit, but no overflow either
    for (auto [from, step, to] : {std::tuple{10, -4, 8}, {8, -4, 8}, {-30, 4, 8}, {kMax - 1, 4, kMax}}) {
        app.settings.FontSize = from;
        ChangeFontSize(app, step);
        EXPECT_EQ(std::make_pair(app.settings.FontSize, port.LastSpoken()),
                  std::make_pair(to, "Font Size is  " + std::to_string(to)));
    }
}

TEST(KeepInsideTest, WindowsEndWhollyOnTheNearestWorkArea) {
    const Rect screen{0, 0, 1920, 1040};  // 1920 x 1080, taskbar at the bottom
    // First start: 1600 wide, centred for the smaller window it was created as.
    EXPECT_EQ(KeepInside({327, 100, 1600, 800}, screen), (Rect{320, 100, 1600, 800}));
    EXPECT_EQ(KeepInside({100, 0, 800, 600}, {0, 40, 1920, 1040}), (Rect{100, 40, 800, 600}));  // taskbar on top
    // A smaller second monitor left of the primary: moved there; larger than it, so the default size, shrunk.
    EXPECT_EQ(KeepInside({-1500, -50, 1600, 1200}, {-1280, 0, 1280, 984}), (Rect{-1280, 0, 1280, 800}));
    // The smallest a window gets on Windows (from a width of 0) and a full-width strip: the default size.
    EXPECT_EQ(KeepInside({100, 50, 112, 27}, screen), (Rect{100, 50, 1600, 800}));
    EXPECT_EQ(KeepInside({0, 0, 1920, 27}, screen), (Rect{0, 0, 1600, 800}));
    EXPECT_EQ(KeepInside({0, 0, 400, 300}, screen), (Rect{0, 0, 400, 300}));
}

TEST(KeepInsideTest, ASavedSizeNoOneChoseGivesTheDefaultWindowAtStart) {
    for (std::string size : {"Width=abc", "Width=-800\r\nHeight=-600", "Width=2147483647\r\nHeight=99999",
                             "Width=1600\r\nHeight=299", "Width=1921"}) {
        test::FakePort port;
        App app{port};
        port.files["lumiseek.ini"] = "[All]\r\nLeft=100\r\nTop=50\r\n" + size + "\r\n";
        StartupLoadSettings(app);
        EXPECT_EQ(port.window, (Rect{100, 50, 1600, 800})) << size;
    }
}

}  // namespace
}  // namespace lumiseek

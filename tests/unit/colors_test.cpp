#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/app.h"
#include "app/colors.h"
#include "app/dispatch.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using test::FakePort;

constexpr int kBlue = 16711680, kWhite = 16777215, kBlack = 0, kYellow = 65535;

struct ColorsTest : ::testing::Test {
    FakePort port;
    App app{port};
};

TEST_F(ColorsTest, TheColourCommandCyclesThroughThreeSchemesAndAppliesEach) {
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i) {
        OnCommand(app, cmd::ChangeColors, 0);
        names.push_back(ColorName(app.settings.BG));
        EXPECT_EQ(port.fg, app.settings.FG);
        EXPECT_EQ(port.bg, app.settings.BG);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Black on White", "White on Black", "Yellow on Blue", "Black on White"}));
    EXPECT_EQ(app.settings.FG, kBlack);
    EXPECT_EQ(port.beeps, 4);
    EXPECT_TRUE(port.placed.count(ctl::SearchBox));  // laid out afterwards
}

TEST_F(ColorsTest, TheSchemeIsKnownByItsBackgroundAlone) {
    EXPECT_EQ(ColorName(kBlue), "Yellow on Blue");
    EXPECT_EQ(ColorName(kWhite), "Black on White");
    EXPECT_EQ(ColorName(kBlack), "White on Black");
    EXPECT_EQ(ColorName(kYellow), "Black on Yellow");
    EXPECT_EQ(ColorName(255), "");
    EXPECT_EQ(ColorName(-1), "");

    app.settings.FG = 255;  // a hand-edited red text on blue
    app.settings.BG = kBlue;
    ChangeColors(app);
    EXPECT_EQ(app.settings.FG, kBlack);
    EXPECT_EQ(app.settings.BG, kWhite);
}

TEST_F(ColorsTest, ABackgroundOutsideTheCycleStaysButIsReapplied) {
    for (int bg : {kYellow, 12345}) {
        app.settings.FG = 77;
        app.settings.BG = bg;
        port.fg = port.bg = -1;
        ChangeColors(app);
        EXPECT_EQ(app.settings.FG, 77);
        EXPECT_EQ(app.settings.BG, bg);
        EXPECT_EQ(port.fg, 77);
        EXPECT_EQ(port.bg, bg);
    }
}

TEST_F(ColorsTest, FontSizeStopsAtEightAndStillAnnounces) {
    app.settings.FontSize = 10;
    ChangeFontSize(app, -4);
    EXPECT_EQ(app.settings.FontSize, 8);
    ChangeFontSize(app, -4);
    EXPECT_EQ(app.settings.FontSize, 8);
    EXPECT_EQ(port.SpokenTexts(), (std::vector<std::string>{"Font Size is  8", "Font Size is  8"}));
    EXPECT_EQ(port.largeFont, "Arial Black");
    EXPECT_EQ(port.largeFontSize, 8);

    // A size below the limit from a hand-edited file is raised by any step, even upwards.
    app.settings.FontSize = -30;
    ChangeFontSize(app, 4);
    EXPECT_EQ(app.settings.FontSize, 8);
}

TEST_F(ColorsTest, FontSizeHasNoUpperLimitButCannotOverflow) {
    app.settings.FontSize = 400;
    ChangeFontSize(app, 4);
    EXPECT_EQ(app.settings.FontSize, 404);
    app.settings.FontSize = std::numeric_limits<int32_t>::max() - 1;
    ChangeFontSize(app, 4);
    EXPECT_EQ(app.settings.FontSize, std::numeric_limits<int32_t>::max());
}

TEST_F(ColorsTest, LargerFontCommandReappliesColoursAndMakesTheBoxTaller) {
    OnCommand(app, cmd::IncreaseFontSize, 0);
    EXPECT_EQ(app.settings.FontSize, 40);
    EXPECT_EQ(port.largeFontSize, 40);
    EXPECT_EQ(port.LastSpoken(), "Font Size is  40");
    EXPECT_EQ(port.fg, kYellow);
    EXPECT_EQ(port.placed[ctl::SearchBox].h, 108);  // 2.7 x 40
    OnCommand(app, cmd::DecreaseFontSize, 0);
    EXPECT_EQ(port.placed[ctl::SearchBox].h, 97);   // 2.7 x 36, rounded
}

TEST_F(ColorsTest, EachWheelNotchStepsFourPointsByItsSign) {
    OnMouseWheel(app, 1);
    EXPECT_EQ(app.settings.FontSize, 40);
    OnMouseWheel(app, -360);
    EXPECT_EQ(app.settings.FontSize, 36);
    EXPECT_EQ(port.spoken.size(), 2u);

    // A zero delta changes nothing but re-applies colours and layout, silently.
    port.fg = port.bg = -1;
    port.placed.clear();
    OnMouseWheel(app, 0);
    EXPECT_EQ(app.settings.FontSize, 36);
    EXPECT_EQ(port.spoken.size(), 2u);
    EXPECT_EQ(port.fg, kYellow);
    EXPECT_EQ(port.bg, kBlue);
    EXPECT_EQ(port.placed[ctl::SearchBox].h, 97);
}

}  // namespace
}  // namespace lumiseek

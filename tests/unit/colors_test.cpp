// The colour schemes and the size of the large font, as the commands and the mouse wheel change them.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "app/colors.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

constexpr int kBlue = 16711680, kWhite = 16777215, kBlack = 0, kYellow = 65535;
using Pairs = std::vector<std::pair<int, int>>;

struct ColorsTest : ::testing::Test {
    struct TonePort : test::FakePort {
        Pairs tones;
        void Beep(int hz, int ms) override { tones.emplace_back(hz, ms); }
    } port;
    App app{port};
};

TEST_F(ColorsTest, TheColourCommandCyclesThreeSchemesAndAppliesEach) {
    Pairs applied;
    for (int i = 0; i < 3; ++i) {
        OnCommand(app, cmd::ChangeColors, 0);
        applied.emplace_back(port.fg, port.bg);
        EXPECT_EQ(std::make_pair(app.settings.FG, app.settings.BG), applied.back());
    }
    EXPECT_EQ(applied, (Pairs{{kBlack, kWhite}, {kWhite, kBlack}, {kYellow, kBlue}}));
    EXPECT_EQ(port.tones, (Pairs(3, {275, 150})));
    EXPECT_TRUE(port.placed.count(ctl::SearchBox));  // laid out afterwards

    app.settings.FG = 77;  // a background outside the cycle stays, and is applied again
    app.settings.BG = 12345;
    ChangeColors(app);
    EXPECT_EQ(std::make_tuple(app.settings.FG, app.settings.BG, port.fg, port.bg),
              std::make_tuple(77, 12345, 77, 12345));
}

TEST_F(ColorsTest, FontCommandsAndWheelNotchesStepFourPointsDownToEightAndAnnounce) {
    OnCommand(app, cmd::IncreaseFontSize, 0);
    EXPECT_EQ(port.largeFontSize, 40);
    EXPECT_EQ(port.placed[ctl::SearchBox].h, 108);  // the box grows with the font
    OnMouseWheel(app, -360);
    OnCommand(app, cmd::DecreaseFontSize, 0);
    OnMouseWheel(app, 1);
    EXPECT_EQ(port.SpokenTexts(), (Texts{"Font Size is  40", "Font Size is  36", "Font Size is  32", "Font Size is  36"}));
    // A zero delta changes nothing and says nothing, but applies colours and font again.
    port.fg = port.largeFontSize = -1;
    OnMouseWheel(app, 0);
    EXPECT_EQ(std::make_tuple(port.fg, port.largeFontSize, port.spoken.size()), std::make_tuple(kYellow, 36, size_t{4}));
    const int kMax = std::numeric_limits<int>::max();  // no upper limit, but no overflow either
    for (auto [from, step, to] : {std::tuple{10, -4, 8}, {8, -4, 8}, {-30, 4, 8}, {kMax - 1, 4, kMax}}) {
        app.settings.FontSize = from;
        ChangeFontSize(app, step);
        EXPECT_EQ(std::make_pair(app.settings.FontSize, port.LastSpoken()),
                  std::make_pair(to, "Font Size is  " + std::to_string(to)));
    }
    EXPECT_EQ(port.largeFont, "Arial Black");
}

}  // namespace
}  // namespace lumiseek

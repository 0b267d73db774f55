// The toolbar: its layouts and pages, the icon sizes and fonts, its commands, dragging the window
// by its empty part, and the large tooltips.
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/toolbar.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct ToolbarTest : ::testing::Test {
    FakePort port;
    App app{port};
    // The toolbar shown: "command/image" per button, "|width" per separator, texts apart.
    std::string Shown() const {
        std::string out;
        for (const ToolButton& b : port.toolbar) {
            out += b.gap > 0 ? "|" + std::to_string(b.gap) : std::to_string(b.command) + "/" + std::to_string(b.image);
            out += " ";
        }
        return out;
    }
    Texts ButtonTexts() const {
        Texts out;
        for (const ToolButton& b : port.toolbar) if (b.gap == 0) out.push_back(b.text);
        return out;
    }
};

TEST_F(ToolbarTest, PagesStepBothWaysAndTheWideFormShowsEveryButton) {
    CreateToolbar(app);
    EXPECT_EQ(Shown(), "517/1 |30 505/9 506/10 507/11 508/12 |105 518/17 ");
    EXPECT_EQ(ButtonTexts(), (Texts{" Exit ", " Files ", " Folders ", " Both ", " Custom ", " "}));
    RA(app, cmd::NextMenu);
    EXPECT_EQ(Shown(), "517/1 |30 510/8 511/4 |40 512/5 513/13 |105 518/18 ");
    RA(app, cmd::NextMenu);
    EXPECT_EQ(Shown(), "517/1 |30 509/6 516/15 561/16 515/20 |50 518/19 ");
    RA(app, cmd::NextMenu);
    EXPECT_EQ(app.ToolbarPage, 0);
    // Backwards with a right click, on the page button only.
    OnToolbarRightClick(app, cmd::SearchFiles);
    EXPECT_EQ(app.ToolbarPage, 0);
    OnToolbarRightClick(app, cmd::NextMenu);
    EXPECT_EQ(Shown(), "517/1 |30 509/6 516/15 561/16 515/20 |50 518/19 ");
    OnToolbarRightClick(app, cmd::NextMenu);
    EXPECT_EQ(app.ToolbarPage, 1);

    RA(app, cmd::WideToolbar);
    EXPECT_EQ(port.LastSpoken(), "Wide Toolbar is ON");
    EXPECT_EQ(Shown(), "517/1 |60 505/9 506/10 507/11 508/12 |30 510/8 511/4 |40 512/5 513/13 |40 "
                       "509/6 516/15 561/16 515/20 ");
    RA(app, cmd::HideToolbarText);
    EXPECT_EQ(port.LastSpoken(), "Hide Toolbar Text is ON");
    EXPECT_EQ(ButtonTexts(), Texts(13, ""));
    RA(app, cmd::ShowToolbar);
    EXPECT_EQ(port.LastSpoken(), "Toolbar is Hidden");
    EXPECT_FALSE(port.hasToolbar);
    EXPECT_EQ(port.beeps, 3);
}

TEST_F(ToolbarTest, IconSizesCycleWithTheirFontsWhichStayThroughEveryRebuild) {
    app.settings.IconSize = 100;  // hand-edited
    std::vector<int> sizes, fonts;
    for (int i = 0; i < 5; ++i) {
        RA(app, cmd::IconSize);
        sizes.push_back(port.toolbarImages);
        fonts.push_back(port.toolbarFont);
    }
    EXPECT_EQ(sizes, (std::vector<int>{48, 64, 96, 128, 48}));
    EXPECT_EQ(fonts, (std::vector<int>{16, 18, 20, 24, 16}));
    EXPECT_EQ(port.LastSpoken(), "Icon Size is  48");
    RA(app, cmd::HideToolbarText);
    EXPECT_EQ(port.toolbarFont, 16);
    // Without a toolbar the size still advances and the images follow it.
    RA(app, cmd::ShowToolbar);
    RA(app, cmd::IconSize);
    EXPECT_EQ(std::make_pair(app.settings.IconSize, port.toolbarImages), std::make_pair(64, 64));
    EXPECT_FALSE(port.hasToolbar);
}

TEST_F(ToolbarTest, OnlyAPressOnTheEmptyPartDragsTheWindow) {
    CreateToolbar(app);
    port.buttonsRight = 700;
    port.heights[ctl::Toolbar] = 150;
    EXPECT_TRUE(OnSetCursor(app, 701, 149, true));
    EXPECT_FALSE(OnSetCursor(app, 701, 149, false));
    EXPECT_FALSE(OnSetCursor(app, 700, 20, true));
    EXPECT_FALSE(OnSetCursor(app, 900, 150, true));
}

TEST_F(ToolbarTest, TooltipsAreShownSpokenOrBothAndNeverTwiceForOneButton) {
    app.settings.EnableToolTips = 2;
    for (int id : {cmd::CopySelectedFile, cmd::CopySelectedFile, cmd::ChangeColors, cmd::CopySelectedFile})
        OnToolTipRequest(app, id);
    EXPECT_EQ(port.SpokenTexts(), (Texts{" Copy File ", " Color ", " Copy File "}));
    EXPECT_EQ(port.toolTip, "");
    RA(app, cmd::EnableToolTips);
    EXPECT_EQ(port.LastSpoken(), "ToolTips are Both");
    OnToolTipRequest(app, cmd::CopySelectedFile);
    EXPECT_EQ(port.LastSpoken(), " Copy File ");
    EXPECT_EQ(port.toolTip, " Copy File ");
    OnToolTipRequest(app, cmd::NextMenu);  // the page button empties the tooltip
    EXPECT_EQ(std::make_pair(port.toolTip, app.LastToolTipId), std::make_pair(std::string(), 518));
    RA(app, cmd::EnableToolTips);
    EXPECT_EQ(port.LastSpoken(), "Tooltips are Off");
    OnToolTipRequest(app, cmd::Exit);
    EXPECT_EQ(std::make_pair(port.toolTip, app.LastToolTipId), std::make_pair(std::string(), 0));
    // Speech off: the mode still steps, silently, and tooltips are only shown.
    app.settings.DisableSpeech = 1;
    port.spoken.clear();
    RA(app, cmd::EnableToolTips);
    RA(app, cmd::EnableToolTips);
    OnToolTipRequest(app, cmd::Exit);
    EXPECT_EQ(app.settings.EnableToolTips, 2);
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(port.rates, (std::vector<int>(4, 0)));
}

TEST_F(ToolbarTest, APreviewDoubleClickPreparesNothingAndTheToolbarSaysItHasTheFocus) {
    app.ShortcutLabel = "Copy File";
    OnCommand(app, cmd::PreviewClick, 1);
    EXPECT_EQ(app.ShortcutLabel, "Copy File");
    OnToolbarFocus(app);
    EXPECT_EQ(port.LastSpoken(), "ToolBar has focus");
}

}  // namespace
}  // namespace lumiseek

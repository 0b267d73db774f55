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
    // The last button shown: "command/image/text".
    std::string Last() const {
        const ToolButton& b = port.toolbar.back();
        return std::to_string(b.command) + "/" + std::to_string(b.image) + "/" + b.text;
    }
};

TEST_F(ToolbarTest, PagesStepBothWaysAndTheWideFormShowsEveryButton) {
    Texts pages;
    for (int i = 0; i < 4; ++i) pages.push_back((RA(app, cmd::NextMenu), Last()));
    EXPECT_EQ(pages, (Texts{"518/18/ ", "518/19/ ", "518/17/ ", "518/18/ "}));
    // Backwards with a right click, on the page button only.
    OnToolbarRightClick(app, cmd::SearchFiles);
    EXPECT_EQ(app.ToolbarPage, 1);
    OnToolbarRightClick(app, cmd::NextMenu);
    OnToolbarRightClick(app, cmd::NextMenu);
    EXPECT_EQ(Last(), "518/19/ ");

    RA(app, cmd::WideToolbar);
    EXPECT_EQ(port.LastSpoken(), "Wide Toolbar is ON");
    EXPECT_EQ(port.toolbar.size(), 17u);
    EXPECT_EQ(Last(), "515/20/ Settings ");
    RA(app, cmd::HideToolbarText);
    EXPECT_EQ(port.LastSpoken(), "Hide Toolbar Text is ON");
    EXPECT_EQ(Last(), "515/20/");
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
    // Speech off: the mode still steps, and neither its words nor a tooltip are heard.
    app.settings.DisableSpeech = 1;
    port.spoken.clear();
    RA(app, cmd::EnableToolTips);
    RA(app, cmd::EnableToolTips);
    OnToolTipRequest(app, cmd::Exit);
    EXPECT_EQ(app.settings.EnableToolTips, 2);
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(port.rates, (std::vector<int>(4, 0)));
}

TEST_F(ToolbarTest, OnlyAPressOnTheEmptyPartDragsAndAPreviewDoubleClickRunsNothing) {
    CreateToolbar(app);
    port.buttonsRight = 700;
    port.heights[ctl::Toolbar] = 150;
    EXPECT_TRUE(OnSetCursor(app, 701, 149, true));
    EXPECT_FALSE(OnSetCursor(app, 701, 149, false));
    EXPECT_FALSE(OnSetCursor(app, 700, 20, true));
    app.ShortcutLabel = "Copy File";
    OnCommand(app, cmd::PreviewClick, 1);
    EXPECT_EQ(app.ShortcutLabel, "Copy File");
    OnToolbarFocus(app);
    EXPECT_EQ(port.LastSpoken(), "ToolBar has focus");
}

}  // namespace
}  // namespace lumiseek

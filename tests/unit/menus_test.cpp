// The spoken lists (their words, the commands their rows run, the refreshed rows, the caption, the
// refusals) and the toolbar (pages, icon sizes and fonts, dragging, the large tooltips).
#include <gtest/gtest.h>

#include "actions/lists.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct MenusTest : ::testing::Test {
    FakePort port;
    App app{port};
    void Choose(int row) {
        port.selectedRow = row;
        OnCommand(app, cmd::Enter, 0);  // the list has the focus once shown
    }
    // The toolbar's last button: "command/image/text".
    std::string Last() const {
        const ToolButton& b = port.toolbar.back();
        return std::to_string(b.command) + "/" + std::to_string(b.image) + "/" + b.text;
    }
};

TEST_F(MenusTest, ListRowsAndTheCaptionShowTheCurrentValues) {
    RA(app, cmd::DisplayActionsList);
    const Texts actions = RowNames(app);
    EXPECT_EQ((Texts{actions[0], actions[3], actions[30], actions[33]}),
              (Texts{"1 Display Settings Shortcuts - F1", "4 Open Everything - F3", "31 Use Ignore List - F10",
                     "34 Next Menu - Ctrl+Shift+N"}));
    EXPECT_EQ(std::make_pair(port.itemCount, port.selectedRow), std::make_pair(34, 1));
    app.settings.EnableSpeakLetters = 7;  // out of range: no word
    app.settings.MaxPrintLines = 0;
    RA(app, cmd::ShowSettingsList);
    const Texts settings = RowNames(app);
    ASSERT_EQ(settings.size(), size_t{kSettingsRows});
    EXPECT_EQ((Texts{settings[1], settings[2], settings[5], settings[10], settings[14], settings[19]}),
              (Texts{"2 Icon Size - Ctrl+E  -  96", "3 Enable Speak Letters - Ctrl+N  - ",
                     "6 Sort Type - Ctrl+U  - Date", "11 Enable Time in Date - Ctrl+7  -  ON",
                     "15 Use Magnor - Ctrl+Shift+B - ON", "20 Max Print Lines - Ctrl+Shift+E - Unlimited"}));
    // The caption summarises the settings.
    Settings& s = app.settings;
    s.EnableSpeakLetters = 3, s.UseHover = 5, s.DisableSpeech = 1, s.UseMagnor = 0;
    RA(app, cmd::ShowSettings);
    EXPECT_EQ(port.caption, "Lumiseek 4.2     Letters-Both  ExcludeSystem-On  UseIgnoreLst-Off  STFocus-Off"
                            "  UseMagnor-Off  MagnorHover-  VisualPrintFont-Off  MaxPrintLines-UnLmtd"
                            "  DisableSpeech-On  SpeakShortCuts-On  IncludeKey-On  MinimalKey-On");
    s.UseHover = 2, s.MaxPrintLines = 50;
    ShowSettings(app);
    EXPECT_NE(port.caption.find("MagnorHover-Speak  VisualPrintFont-Off  MaxPrintLines- 50"), std::string::npos);
}

TEST_F(MenusTest, EachSettingsRowRunsItsCommandAndIsRewrittenWhereItStands) {
    RA(app, cmd::ShowSettingsList);
    for (int row = 1; row <= kSettingsRows; ++row) {
        const std::string before = app.Results[row - 1].Name;
        Choose(row);
        const std::string now = app.Results[row - 1].Name;
        EXPECT_EQ(std::make_pair(now, port.selectedRow), std::make_pair(SettingsRowText(app, row), row));
        // The preview's rows run commands built elsewhere that may still do nothing.
        if (row != 21 && row != 25 && row != 26) EXPECT_NE(now, before) << row;
        // Until speech is disabled (row 13), the new row follows the confirmation.
        if (row < 13) EXPECT_EQ(port.spoken.back(), (Spoken{now, 1}));
    }
    EXPECT_EQ(app.Results[1].Name, "2 Icon Size - Ctrl+E  -  128");  // the label of the first display
}

TEST_F(MenusTest, ActionRowsRunTheirCommandsOrSayWhyNot) {
    RA(app, cmd::DisplayActionsList);
    Choose(31);
    EXPECT_EQ(port.LastSpoken(), "Ignore List is ON");
    for (int row : {5, 10, 17, 23, 26}) {
        Choose(row);
        EXPECT_EQ(port.LastSpoken(), kListRefusal) << row;
    }
    OnListColumnClick(app, 1);
    EXPECT_EQ(std::make_pair(port.LastSpoken(), app.Results[0].Name.str()),
              std::make_pair(std::string(kListRefusal), std::string("1 Display Settings Shortcuts - F1")));
    Choose(34);
    EXPECT_EQ(app.ToolbarPage, 1);
    Choose(1);
    EXPECT_EQ(std::make_pair(app.settings.SearchType, port.itemCount), std::make_pair(5, 29));
    port.selectedRow = 0;
    OnListKeyDown(app, ' ');
    EXPECT_EQ(port.LastSpoken(), "No selection");
}

TEST_F(MenusTest, ToolbarPagesStepBothWaysTheWideFormShowsEveryButtonAndTheEmptyPartDrags) {
    app.settings.HideToolbarText = 1;
    Texts pages;
    for (int i = 0; i < 4; ++i) pages.push_back((RA(app, cmd::NextMenu), Last()));
    EXPECT_EQ(pages, (Texts{"518/18/", "518/19/", "518/17/", "518/18/"}));
    OnToolbarRightClick(app, cmd::SearchFiles);  // back with a right click, on the page button only
    EXPECT_EQ(app.ToolbarPage, 1);
    OnToolbarRightClick(app, cmd::NextMenu);
    OnToolbarRightClick(app, cmd::NextMenu);
    EXPECT_EQ(Last(), "518/19/");
    RA(app, cmd::HideToolbarText);
    RA(app, cmd::WideToolbar);
    EXPECT_EQ(std::make_tuple(port.LastSpoken(), port.toolbar.size(), Last(), port.beeps),
              std::make_tuple(std::string("Wide Toolbar is ON"), size_t{17}, std::string("515/20/ Settings "), 2));
    // Only a press on the toolbar's empty part drags; a double click on the preview runs nothing.
    port.buttonsRight = 700, port.hasToolbar = true;
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

TEST_F(MenusTest, IconSizesCycleWithTheirFontsWhichStayThroughEveryRebuild) {
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
    RA(app, cmd::HideToolbarText);  // a rebuild keeps the size's font
    EXPECT_EQ(port.toolbarFont, 16);
    // Without a toolbar the size still advances and the images follow it.
    RA(app, cmd::ShowToolbar);
    EXPECT_EQ(port.LastSpoken(), "Toolbar is Hidden");
    RA(app, cmd::IconSize);
    EXPECT_EQ(std::make_tuple(app.settings.IconSize, port.toolbarImages, port.hasToolbar),
              std::make_tuple(64, 64, false));
}

TEST_F(MenusTest, TooltipsAreShownSpokenOrBothAndNeverTwiceForOneButton) {
    app.settings.EnableToolTips = 2;
    for (int id : {cmd::CopySelectedFile, cmd::CopySelectedFile, cmd::ChangeColors, cmd::CopySelectedFile})
        OnToolTipRequest(app, id);
    EXPECT_EQ(port.SpokenTexts(), (Texts{" Copy File ", " Color ", " Copy File "}));
    RA(app, cmd::EnableToolTips);
    EXPECT_EQ(port.LastSpoken(), "ToolTips are Both");
    OnToolTipRequest(app, cmd::SearchFiles);
    EXPECT_EQ(port.LastSpoken() + "|" + port.toolTip, " Search Files | Search Files ");
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
    EXPECT_EQ(std::make_tuple(app.settings.EnableToolTips, port.spoken.size(), port.rates),
              std::make_tuple(2, size_t{0}, std::vector<int>(4, 0)));
}

}  // namespace
}  // namespace lumiseek

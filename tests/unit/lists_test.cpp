// The spoken settings and actions lists: their words, the commands their rows run, the refreshed
// rows, the caption summary and the refusals.
#include <gtest/gtest.h>

#include "actions/lists.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct ListsTest : ::testing::Test {
    FakePort port;
    App app{port};
    void Show(int mode) {
        OnCommand(app, mode == 5 ? cmd::ShowSettingsList : cmd::DisplayActionsList, 0);
    }
    void Choose(int row) {
        port.selectedRow = row;
        OnCommand(app, cmd::Enter, 0);  // the list has the focus once shown
    }
};

TEST_F(ListsTest, RowsSpeakTheTabledWordsAndTheCurrentValues) {
    Show(6);
    EXPECT_EQ(RowNames(app), (Texts{
        "1 Display Settings Shortcuts - F1", "2 Online Help - Ctrl+F1", "3 Display Action Shortcuts - F2",
        "4 Open Everything - F3", "5 Copy File - Ctrl+D", "6 File Search - Ctrl+F", "7 Folder Search - Ctrl+G",
        "8 Search All - Ctrl+H", "9 Search Custom - Ctrl+I", "10 Open File - Ctrl+J", "11 Open Folder - Ctrl+K",
        "12 Speak Search Term - Ctrl+L", "13 Spell Search Term - Ctrl+M", "14 Online Update - Ctrl+O",
        "15 Print - Ctrl+P", "16 Fit Columns to Content - Ctrl+R", "17 Expand Folder - Ctrl+S",
        "18 Spell File Name - Ctrl+Z", "19 Speak File Name - Ctrl+1", "20 Speak Folder - Ctrl+2",
        "21 Speak Date - Ctrl+3", "22 Speak File Size - Ctrl+4", "23 Jump To Folder - Ctrl+9",
        "24 Speak List Location - Ctrl+0 (Zero)", "25 Clear Search Term - F4", "26 Expand Parent Folder - F5",
        "27 Increase Volume - F6", "28 Decrease Volume - F7", "29 Mute Speakers - F8", "30 Disable Speech - F9",
        "31 Use Ignore List - F10", "32 Copy Results - Ctrl+Shift+C", "33 Show Settings - Ctrl+Shift+D",
        "34 Next Menu - Ctrl+Shift+N"}));
    EXPECT_EQ(std::make_pair(port.itemCount, port.selectedRow), std::make_pair(34, 1));
    EXPECT_EQ(port.columns[1].first, "Action Shortcuts");

    app.settings.EnableSpeakLetters = 7;  // out of range: no word
    app.settings.MaxPrintLines = 0;
    Show(5);
    EXPECT_EQ(RowNames(app), (Texts{
        "1 Hide Toolbar Text - Ctrl+B  - OFF", "2 Icon Size - Ctrl+E  -  96", "3 Enable Speak Letters - Ctrl+N  - ",
        "4 Exclude System Folders - Ctrl+Q  - ON", "5 Max Search Results - Ctrl+T  -  100",
        "6 Sort Type - Ctrl+U  - Date", "7 Show Toolbar - Ctrl+W  - ON", "8 Change Colors - Ctrl+Y  - Yellow on Blue",
        "9 Use Short Path - Ctrl+5  - ON", "10 Enable ToolTips - Ctrl+6  - Text",
        "11 Enable Time in Date - Ctrl+7  -  ON", "12 Speaking Speed - Ctrl+8  - Normal",
        "13 Disable Speech - F9  - OFF", "14 Use Ignore List - F10  - OFF", "15 Use Magnor - Ctrl+Shift+B - ON",
        "16 Search Term Focus - Ctrl+Shift+F - OFF", "17 Magnor Hover - Ctrl+Shift+H - Text",
        "18 Format File Size - Ctrl+Shift+K - ON", "19 Print Using Visual Font - Ctrl+Shift+P - OFF",
        "20 Max Print Lines - Ctrl+Shift+E - Unlimited", "21 Show Preview - Ctrl+Shift+A - OFF",
        "22 Speak Shortcuts - Ctrl+Shift+S - ON", "23 Increase Font Size - Ctrl+Shift+L -  36",
        "24 Decrease Font Size - Ctrl+Shift+M -  36", "25 Preview Resize - Ctrl+Shift+R - ON",
        "26 Image BG Color - Ctrl+Shift+I - Blue", "27 Include Shortcut Key - Ctrl+Shift+T - ON",
        "28 Speak Minimal Key - Ctrl+Shift+U - ON", "29 Wide Toolbar - Ctrl+Shift+W - OFF"}));
    EXPECT_EQ(port.columns[1].first, "Settings Shortcuts");
}

TEST_F(ListsTest, EachSettingsRowRunsItsCommandAndIsRewrittenWhereItStands) {
    Show(5);
    for (int row = 1; row <= kSettingsRows; ++row) {
        const std::string before = app.Results[row - 1].Name;
        port.spoken.clear();
        Choose(row);
        ASSERT_EQ(app.settings.SearchType, 5) << row;
        EXPECT_EQ(app.Results[row - 1].Name, SettingsRowText(app, row));
        EXPECT_EQ(port.selectedRow, row);
        // The preview's rows run commands built elsewhere that may still do nothing.
        if (row != 21 && row != 25 && row != 26) EXPECT_NE(app.Results[row - 1].Name, before) << row;
    }
    // Row 2 keeps its label after a change; the new row follows the confirmation.
    EXPECT_EQ(app.Results[1].Name, "2 Icon Size - Ctrl+E  -  128");
    app.settings.DisableSpeech = 0;
    Choose(14);
    EXPECT_EQ(port.spoken[port.spoken.size() - 2], (Spoken{"Ignore List is OFF", 3}));
    EXPECT_EQ(port.spoken.back(), (Spoken{"14 Use Ignore List - F10  - OFF", 1}));
    EXPECT_NE(port.status.find("14 Use Ignore List - F10  - OFF"), std::string::npos);
}

TEST_F(ListsTest, TheCaptionSummarisesTheSettings) {
    ShowSettings(app);
    EXPECT_EQ(port.caption, "Lumiseek 4.2     Letters-Letters  ExcludeSystem-On  UseIgnoreLst-Off  STFocus-Off"
                            "  UseMagnor-On  MagnorHover-Text  VisualPrintFont-Off  MaxPrintLines- 50"
                            "  DisableSpeech-Off  SpeakShortCuts-On  IncludeKey-On  MinimalKey-On");
    Settings& s = app.settings;
    s.EnableSpeakLetters = 3, s.UseHover = 5, s.MaxPrintLines = 0, s.DisableSpeech = 1, s.UseMagnor = 0;
    RA(app, cmd::ShowSettings);
    EXPECT_EQ(port.caption, "Lumiseek 4.2     Letters-Both  ExcludeSystem-On  UseIgnoreLst-Off  STFocus-Off"
                            "  UseMagnor-Off  MagnorHover-  VisualPrintFont-Off  MaxPrintLines-UnLmtd"
                            "  DisableSpeech-On  SpeakShortCuts-On  IncludeKey-On  MinimalKey-On");
}

TEST_F(ListsTest, ActionRowsRunTheirCommandsOrSayWhyNot) {
    Show(6);
    Choose(31);
    EXPECT_EQ(port.LastSpoken(), "Ignore List is ON");
    for (int row : {5, 10, 17, 23, 26}) {
        Choose(row);
        EXPECT_EQ(port.LastSpoken(), kListRefusal) << row;
    }
    OnListColumnClick(app, 1);
    EXPECT_EQ(port.LastSpoken(), kListRefusal);
    EXPECT_EQ(app.Results[0].Name, "1 Display Settings Shortcuts - F1");
    Choose(34);
    EXPECT_EQ(app.ToolbarPage, 1);
    Choose(1);
    EXPECT_EQ(std::make_pair(app.settings.SearchType, port.itemCount), std::make_pair(5, 29));
    port.selectedRow = 0;
    OnListKeyDown(app, ' ');
    EXPECT_EQ(port.LastSpoken(), "No selection");
}

}  // namespace
}  // namespace lumiseek

// The dispatcher: commands and their spoken confirmations, start-up and closing, errors, the list's keys;
// the spoken lists (their words, the commands their rows run, the refreshed rows, the caption, the
// refusals) and the toolbar (pages, icon sizes and fonts, dragging, the large tooltips).
#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <tuple>

#include "actions/lists.h"
#include "app/access.h"
#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "base/settings.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct DispatchTest : ::testing::Test {
    FakePort port;
    App app{port};
    DispatchTest() { ConnectDispatcher(app); }
    // Press a shortcut: the command arrives from the accelerator table (code 1).
    std::string Press(int id) {
        OnCommand(app, id, 1);
        return port.LastSpoken();
    }
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
using MenusTest = DispatchTest;

TEST_F(DispatchTest, TogglesAndCyclesSayTheirNewStateAnnouncedOrNotAndTheListShowsIt) {
    const std::tuple<int, const char*, const char*, int> cases[] = {
        {cmd::UseMagnor, "Use Magnor OFF", "Use Magnor ON", 0},
        {cmd::FocusOnSearchTerm, "Search Term Focus ON", "Search Term Focus OFF", 0},
        {cmd::ShowTimeInDate, "Include Time in Date is OFF", "Include Time in Date is ON", 2},
        {cmd::SortType, "Sort Type is File Name", "Sort Type is Date", 0}};
    for (const auto& [id, first, second, listRedraws] : cases) {
        port.redrawn.clear();
        RA(app, id);
        EXPECT_EQ(port.LastSpoken(), first);
        RA(app, id);
        EXPECT_EQ(port.LastSpoken(), second);
        EXPECT_EQ(std::count(port.redrawn.begin(), port.redrawn.end(), ctl::ResultsList), listRedraws) << id;
    }
    EXPECT_EQ(port.beeps, 2 * static_cast<int>(std::size(cases)));
    // Cycles come round, and limits say their numbers.
    Texts said;
    for (int i = 0; i < 4; ++i) said.push_back((RA(app, cmd::SpeakLetters), port.LastSpoken()));
    EXPECT_EQ(said, (Texts{"Speak Text is Words", "Speak Text is Both", "Speak Text is None",
                           "Speak Text is Letters"}));
    app.settings.UseHover = 9;  // hand-edited out of range: starts the cycle again
    RA(app, cmd::ToolbarHover);
    EXPECT_EQ(port.LastSpoken(), "Magnor Hover is  OFF");
    RA(app, cmd::MaxResults);
    EXPECT_EQ(port.LastSpoken(), "Max Search Results is  250");
    app.settings.MaxResults = 100000;
    RA(app, cmd::MaxResults);
    EXPECT_EQ(port.LastSpoken(), "Max Search Results is Unlimited");
    // Switching announcements off is itself announced; after that commands still run, unannounced.
    app.settings.SpeakMinimalKey = 0;
    EXPECT_EQ(Press(cmd::SpeakShortcuts),
              "Shortcut Pressed: Speak Shortcuts : Control Shift S : Speak Shortcuts is OFF");
    EXPECT_EQ(Press(cmd::ExcludeSystemFolders), "Exclude System Folders is OFF");
    EXPECT_EQ(app.settings.ExcludeSystemFolders, 0);
}

TEST_F(DispatchTest, AnAnnouncementIsSpokenByItsOwnCommandOrDropped) {
    // Confirmations spoken straight on the voice carry the announcement.
    EXPECT_EQ(Press(cmd::SpeechSpeed), "Shortcut Pressed: Speech Speed : C-8 : Fast speech is on!");
    EXPECT_EQ(Press(cmd::DisableSpeech), "Shortcut Pressed: Disable Speech : F9 : Speech is Disabled");
    // Speech off, and a command that speaks nothing: nothing is left for a later utterance.
    Press(cmd::SpeechSpeed);
    EXPECT_EQ(app.SpeechPrefix, "");
    EXPECT_EQ(Press(cmd::DisableSpeech), "Shortcut Pressed: Disable Speech : F9 : Speech is Enabled");
    Press(cmd::NextMenu);
    EXPECT_EQ(app.SpeechPrefix, "");
    // Esc has no label: it announces nothing and leaves another pending text alone.
    app.SpeechPrefix = "Welcome to Lumiseek, version 4.2!";
    port.runningState = SPRS_IS_SPEAKING;
    Press(cmd::Escape);
    EXPECT_EQ(app.SpeechPrefix, "Welcome to Lumiseek, version 4.2!");
    EXPECT_EQ(port.spoken.back(), (Spoken{"", 3}));
}

TEST_F(DispatchTest, UnknownCommandsDoNothingExitEndsF1OpensHelpAndErrorsReachTheErrorBox) {
    OnCommand(app, 9999, 0);
    EXPECT_TRUE(port.spoken.empty());
    RA(app, cmd::Exit);
    EXPECT_TRUE(port.ended);
    EXPECT_EQ(port.beeps, 1);
    OnHelp(app, false);
    EXPECT_EQ(app.settings.SearchType, 5);
    EXPECT_EQ(app.SpeechPrefix, "Opening Settings List");
    EXPECT_TRUE(port.opened.empty());
    OnHelp(app, true);
    EXPECT_EQ(port.opened, (Texts{"https://lumiseek.org/help"}));
    // Untrapped errors reach the error box, whose Cancel ends the program.
    Guarded(app, "SpeakColumn", [] { throw std::runtime_error("boom"); });
    EXPECT_EQ(port.errors, (Texts{"Untrapped Error #5 (boom)\r\nhas occurred following execution of SpeakColumn\r\n\r\n"
                                  "Press OK to continue, Cancel to terminate"}));
    EXPECT_EQ(port.exitCode, -1);
    app.settings.SearchType = 1, app.SpeechPrefix.clear();  // each column's key speaks its column
    app.Results.assign(1, {"a.txt", "d:\\b\\", "05/17/2023", "", "", 1, false});
    port.selectedRow = 1;
    Texts said;
    for (int id : {cmd::SpeakName, cmd::SpeakFolder, cmd::SpeakDate, cmd::SpeakFileSize})
        said.push_back((RA(app, id), port.LastSpoken()));
    EXPECT_EQ(said, (Texts{"a.txt", "d:\\b\\", "05/17/2023", "1 KB"}));
    port.errors.clear();
    Guarded(app, "A", [] { throw std::out_of_range("row 9"); });
    Guarded(app, "B", [] { throw 42; });
    EXPECT_EQ(port.errors[0].substr(0, 45), "Untrapped Error #9 (Subscript out of range: r");
    EXPECT_EQ(port.errors[1].substr(0, 36), "Untrapped Error #51 (Internal error)");
    port.continueAfterError = false;
    Guarded(app, "X", [] { throw std::bad_alloc(); });
    EXPECT_EQ(port.exitCode, 255);
}

TEST_F(DispatchTest, AFaultInAnyCommandNamesItsProcedureInTheErrorBox) {
    port.failing = true;
    for (int id = 1; id < 1000; ++id) OnCommand(app, id, 0);
    OnSize(app), OnMouseWheel(app, 120), InitDialog(app), DeferredInit(app), OnToolbarFocus(app), OnListFocus(app);
    std::string names;
    for (const std::string& e : port.errors) {
        size_t at = e.find("execution of ") + 13;
        names += e.substr(at, e.find('\r', at) - at) + " ";
    }
    EXPECT_EQ(names,
              "Enter ClickPreview Search Search Search Search ChangeColors CopySelection OpenLvFile OpenLvFolder "
              "ExpandFolder ExpandParentFolder DisplaySettings PrintSearch Exit SelectAll ReCopy ReCut RePaste "
              "ClearSearchTerm SpeakColumn SpeakColumn SpeakColumn SpeakColumn HideToolbarText SpeakSearchTerm "
              "SpellSearchTerm SpellFileName EnableSpeakLetters SortType ManageMaxResults PrintSearch ShowToolbar "
              "ManageIconSize ExcludeSystemFolders SizeToFit UseIgnoreList UseMagnor UseHover PrintFont FocusOnRE "
              "DisplayActions OpenEverything ShortPath ManageTooltips EnableTime UseKB ManageMaxPrintLines UpdateExe "
              "ToggleSpeed JumpToFolder SpeakLocation ChangeFontSize ChangeFontSize CopyResults ShowSettings "
              "ShowPreview PreviewResize SpeakShortcuts WideToolbar IncludeShortcutKey SpeakMinimalKey ManageImageBG "
              "MuteSpeakers VolumeUp VolumeDown DisableSpeech Resize ChangeFontSize OpenSession Resize NewTbProc NewLvProc ");
}

TEST_F(DispatchTest, ClosingStoresThePlaceSavesAndSaysGoodbyeOrThatTheSaveFailed) {
    port.topIndex = 7;
    port.selectedRow = 9;
    OnDestroy(app);
    App reloaded{port};
    SettingsFile(reloaded, "get");
    EXPECT_EQ(std::make_pair(reloaded.settings.TopRow, reloaded.settings.LastRow), std::make_pair(7, 9));
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Exiting Lumiseek", 2}}));
    port.files["lumiseek.ini"] = "old";
    port.writesFail = true;
    OnDestroy(app);
    EXPECT_EQ(port.files["lumiseek.ini"], "old");
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"Exiting Lumiseek", 2}, {"Settings could not be saved", 2},
                                                {"Exiting Lumiseek", 2}}));
    AfterWindow(app);
    EXPECT_TRUE(port.started.empty());
    app.RestartAfterUpdate = 1;
    AfterWindow(app);
    EXPECT_EQ(port.started, (Texts{"\"C:\\Program Files\\Lumiseek\\start_lumiseek.exe\" 4242"}));
}

TEST(StartUpTest, SettingsTakeEffectAndABrokenStepIsReportedAndSkippedAlone) {
    // A results file whose reading throws, and a saved place that runs off the screen.
    struct BrokenResults : FakePort {
        bool ReadFilePart(const std::string& p, uint64_t offset, size_t count, std::string& b) override {
            if (p == "results.txt") throw std::runtime_error("broken");
            return FakePort::ReadFilePart(p, offset, count, b);
        }
    } port;
    App app{port};
    port.files["lumiseek.ini"] =
        "[All]\r\nLeft=400\r\nLastRow=3\r\nTopRow=2\r\nvRate=-3\r\nLastSearchType=2\r\nFontSize=40\r\nSearchTerm=tax\r\n";
    port.files["results.txt"] = "";
    StartupLoadSettings(app);
    InitDialog(app);
    EXPECT_EQ(port.rates, (std::vector<int>{-3}));
    EXPECT_EQ(std::make_tuple(app.settings.SearchType, port.largeFontSize, port.boxText, port.acceleratorsAttached),
              std::make_tuple(2, 40, std::string("tax"), true));
    EXPECT_EQ(port.window, (Rect{320, 0, 1600, 800}));
    ASSERT_EQ(port.errors.size(), 1u);
    EXPECT_NE(port.errors[0].find("following execution of OpenSession"), std::string::npos);
    ASSERT_EQ(app.Results.size(), 1u);
    EXPECT_EQ(app.Results[0].Name, "<empty>");
    EXPECT_TRUE(port.deferredPosted);
    DeferredInit(app);
    EXPECT_EQ(app.SpeechPrefix, "Welcome to Lumiseek, version 4.2!");
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(std::make_pair(port.selFrom, port.selTo), std::make_pair(0, -1));  // typing replaces the term
    EXPECT_EQ(std::make_pair(port.selectedRow, port.setTopRow), std::make_pair(3, 2));  // the place the list was left at
}

TEST_F(DispatchTest, OnlyLetterAndDigitKeysTypeAheadInTheList) {
    for (const char* name : {"a.txt", "b.txt", "(c).txt", "&e.txt", "b2.txt"}) app.Results.push_back(ResultRow{name});
    app.settings.SearchType = 1;
    port.selectedRow = 1;
    EXPECT_TRUE(OnListKeyDown(app, 'B'));
    EXPECT_EQ(port.selectedRow, 2);
    // Down (0x28 '('), Up (0x26 '&'), End, Home and the keypad digits are not typed characters.
    for (int vk : {0x28, 0x26, 0x23, 0x24, 0x61, 0x70}) EXPECT_FALSE(OnListKeyDown(app, vk)) << vk;
    EXPECT_EQ(port.selectedRow, 2);
}

TEST_F(MenusTest, ListRowsAndTheCaptionShowTheCurrentValues) {
    RA(app, cmd::DisplayActionsList);
    EXPECT_EQ(port.spoken.at(0), (Spoken{"Opening Actions List", 2}));  // spoken to its end before the rows
    const Texts actions = RowNames(app);
    EXPECT_EQ((Texts{actions[0], actions[3], actions[30], actions[33]}),
              (Texts{"1 Display Settings Shortcuts - F1", "4 Open Everything - F3", "31 Use Ignore List - F10",
                     "34 Next Menu - Ctrl+Shift+N"}));
    EXPECT_EQ(std::make_pair(port.itemCount, port.selectedRow), std::make_pair(34, 1));
    // Every row speaks its number, its words and its key; a settings row then its value.
    const std::string named = R"((\d+) [A-Z][\w ]*[a-z] - (Ctrl\+)?(Shift\+)?(F\d+|[A-Z0-9])( \(Zero\))?)";
    const std::string valued = named + " {1,2}-  ?\\S+( \\S+)*";
    for (auto [list, shape] : {std::pair{cmd::ShowSettingsList, valued}, {cmd::DisplayActionsList, named}}) {
        RA(app, list);
        const Texts rows = RowNames(app);
        std::smatch m;
        for (size_t i = 0; i < rows.size(); ++i)
            EXPECT_TRUE(std::regex_match(rows[i], m, std::regex(shape)) && m[1] == std::to_string(i + 1)) << rows[i];
    }
    app.settings.EnableSpeakLetters = 7;  // out of range: no word
    app.settings.MaxPrintLines = 0;
    RA(app, cmd::ShowSettingsList);
    const Texts settings = RowNames(app);
    ASSERT_EQ(settings.size(), size_t{kSettingsRows});
    EXPECT_EQ((Texts{settings[1], settings[2], settings[5], settings[10], settings[14], settings[19]}),
              (Texts{"2 Icon Size - Ctrl+E  -  96", "3 Enable Speak Letters - Ctrl+N  - ",
                     "6 Sort Type - Ctrl+U  - Date", "11 Enable Time in Date - Ctrl+7  -  ON",
                     "15 Use Magnor - Ctrl+Shift+B - ON", "20 Max Print Lines - Ctrl+Shift+E - Unlimited"}));
    app.settings.SortType = 0;
    app.settings.vRate = app.settings.SlowRate;
    RA(app, cmd::ShowSettingsList);
    EXPECT_EQ(RowNames(app)[5], "6 Sort Type - Ctrl+U  - File Name");
    EXPECT_EQ(RowNames(app)[11], "12 Speaking Speed - Ctrl+8  - Slow");
    app.settings.vRate = 0;
    RA(app, cmd::ShowSettingsList);
    EXPECT_EQ(RowNames(app)[11], "12 Speaking Speed - Ctrl+8  - Normal");
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
    s.UseHover = 0;
    ShowSettings(app);
    EXPECT_NE(port.caption.find("MagnorHover-Off  "), std::string::npos);
    // What a screen reader calls the window's parts.
    EXPECT_EQ((Texts{AccessibleName(ctl::SearchBox), AccessibleName(ctl::ResultsList), AccessibleName(ctl::Toolbar),
                     AccessibleName(ctl::Preview)}), (Texts{"Search term", "Results", "Toolbar", "Preview"}));
}

TEST_F(MenusTest, EachSettingsRowRunsItsCommandAndIsRewrittenWhereItStands) {
    RA(app, cmd::ShowSettingsList);
    for (int row = 1; row <= kSettingsRows; ++row) {
        const std::string before = app.Results[row - 1].Name;
        const int beeps = port.beeps;
        Choose(row);
        const bool quiet = row == 12 || row == 13 || row == 23 || row == 24;  // speed, speech, font size
        EXPECT_EQ(port.beeps, beeps + (quiet ? 0 : 1)) << row;
        const std::string now = app.Results[row - 1].Name;
        EXPECT_EQ(std::make_pair(now, port.selectedRow), std::make_pair(SettingsRowText(app, row), row));
        // The preview's rows run commands built elsewhere that may still do nothing.
        if (row != 21 && row != 25 && row != 26) EXPECT_NE(now, before) << row;
        // Until speech is disabled (row 13), the new row follows the confirmation.
        if (row < 13) EXPECT_EQ(port.spoken.back(), (Spoken{now, 1}));
        if (row < 13 && row != 2 && row != 5 && row != 8)  // a setting named, then its value
            EXPECT_TRUE(std::regex_match(port.spoken.end()[-2].text, std::regex("[A-Z].* (is|are) \\S.*"))) << row;
    }
    EXPECT_EQ(app.Results[1].Name, "2 Icon Size - Ctrl+E  -  128");  // the label of the first display
    // A shortcut or the wheel changes a setting while the list shows it: its rows follow, the
    // selected row's status line too, and the shortcut's announcement leads the scheme's name.
    port.selectedRow = 8;
    app.settings.DisableSpeech = 0;
    app.settings.SpeakShortcuts = 1, app.settings.IncludeShortcutKey = 0;
    EXPECT_EQ(Press(cmd::ChangeColors), "Shortcut Pressed: Change Colors : White on Black");
    EXPECT_EQ(app.Results[7].Name, "8 Change Colors - Ctrl+Y  - White on Black");
    EXPECT_NE(port.status.find("White on Black"), std::string::npos);
    OnMouseWheel(app, 120);
    EXPECT_EQ(app.Results[23].Name, "24 Decrease Font Size - Ctrl+Shift+M -  " + std::to_string(app.settings.FontSize));
}

TEST_F(MenusTest, ActionRowsRunTheirCommandsOrSayWhyNot) {
    RA(app, cmd::DisplayActionsList);
    Choose(31);
    EXPECT_EQ(port.LastSpoken(), "Ignore List is ON");
    port.boxText = "budget";
    Choose(25);
    EXPECT_EQ(port.LastSpoken() + "|" + port.boxText, "Search Term Cleared|");
    const int beeps = port.beeps;
    Choose(4);  // Everything is not installed: a beep, then why
    EXPECT_EQ(std::make_pair(port.LastSpoken(), port.beeps), std::make_pair(std::string("Everything Not Found"), beeps + 1));
    for (int row : {5, 10, 17, 23, 26}) {
        Choose(row);
        EXPECT_EQ(port.LastSpoken(), kListRefusal) << row;
    }
    OnListColumnClick(app, 1);
    EXPECT_EQ(std::make_pair(port.LastSpoken(), app.Results[0].Name.str()),
              std::make_pair(std::string(kListRefusal), std::string("1 Display Settings Shortcuts - F1")));
    port.spoken.clear();
    OnListDoubleClick(app);  // its rows are no files to open
    EXPECT_EQ(port.LastSpoken(), kListRefusal);
    Choose(34);
    EXPECT_EQ(app.ToolbarPage, 1);
    Choose(1);
    EXPECT_EQ(std::make_pair(app.settings.SearchType, port.itemCount), std::make_pair(5, 29));
    port.selectedRow = 0;
    EXPECT_TRUE(OnListSpace(app));
    EXPECT_EQ(port.LastSpoken(), "No selection");
    RA(app, cmd::Escape);
    EXPECT_FALSE(OnListSpace(app));  // a result row: the list's own Space
    port.focused = ctl::SearchBox;   // the context menu key in the search box opens the settings list
    OnContextMenu(app);
    EXPECT_EQ(std::make_pair(app.settings.SearchType, port.itemCount), std::make_pair(5, 29));
}

TEST_F(MenusTest, ToolbarPagesStepBothWaysTheWideFormShowsEveryButtonAndTheEmptyPartDrags) {
    app.settings.HideToolbarText = 1;
    Texts pages;
    for (int i = 0; i < 4; ++i) {
        pages.push_back((RA(app, cmd::NextMenu), Last()));
        for (const ToolButton& b : port.toolbar) pages.back() += " " + std::to_string(b.gap ? -b.gap : b.command);
    }
    // The page button's image, then each button's command or gap (negative) in pixels.
    EXPECT_EQ(pages, (Texts{"518/18/ 517 -30 510 511 -40 512 513 -105 518", "518/19/ 517 -30 509 516 561 515 -50 518",
                            "518/17/ 517 -30 505 506 507 508 -105 518", "518/18/ 517 -30 510 511 -40 512 513 -105 518"}));
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

TEST_F(MenusTest, IconSizesCycleAndTheirFontStaysThroughEveryRebuild) {
    app.settings.IconSize = 100;  // hand-edited
    std::vector<int> sizes;
    for (int i = 0; i < 5; ++i) sizes.push_back((RA(app, cmd::IconSize), port.toolbarImages * 100 + port.toolbarFont));
    EXPECT_EQ(sizes, (std::vector<int>{4816, 6418, 9620, 12824, 4816}));  // image size and caption points
    EXPECT_EQ(port.LastSpoken(), "Icon Size is  48");
    RA(app, cmd::HideToolbarText);  // a rebuild keeps the font of the size
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
    for (int id = cmd::SearchFiles; id < cmd::NextMenu; ++id) {  // each button's words between single blanks
        OnToolTipRequest(app, id);
        EXPECT_TRUE(std::regex_match(port.toolTip, std::regex("( [A-Z][\\w ]*[a-z] )?"))) << id;
    }
    OnToolTipRequest(app, cmd::SearchFiles);
    EXPECT_EQ(port.LastSpoken() + "|" + port.toolTip, " Search Files | Search Files ");
    OnToolTipRequest(app, cmd::NextMenu);  // the page button empties the tooltip
    EXPECT_EQ(std::make_pair(port.toolTip, app.LastToolTipId), std::make_pair(std::string(), 518));
    RA(app, cmd::EnableToolTips);
    EXPECT_EQ(port.LastSpoken(), "Tooltips are Off");
    OnToolTipRequest(app, cmd::Exit);
    EXPECT_EQ(std::make_pair(port.toolTip, app.LastToolTipId), std::make_pair(std::string(), 0));
    RA(app, cmd::EnableToolTips);
    EXPECT_EQ(port.LastSpoken(), "ToolTips are Text");
    RA(app, cmd::EnableToolTips);
    EXPECT_EQ(port.LastSpoken(), "ToolTips are Speak");
    // Speech off: the mode still steps, and neither its words nor a tooltip are heard.
    app.settings.DisableSpeech = 1;
    port.spoken.clear();
    RA(app, cmd::EnableToolTips);
    OnToolTipRequest(app, cmd::Exit);
    EXPECT_EQ(std::make_tuple(app.settings.EnableToolTips, port.spoken.size(), port.rates),
              std::make_tuple(3, size_t{0}, std::vector<int>(5, 0)));
}

}  // namespace
}  // namespace lumiseek

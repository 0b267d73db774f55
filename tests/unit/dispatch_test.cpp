#include <gtest/gtest.h>

#include <stdexcept>

#include "base/app.h"
#include "app/dispatch.h"
#include "base/ids.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

using test::FakePort;
using test::Spoken;

struct DispatchTest : ::testing::Test {
    FakePort port;
    App app{port};
    // Press a shortcut: the command arrives from the accelerator table (code 1).
    std::string Press(int id) {
        OnCommand(app, id, 1);
        return port.LastSpoken();
    }
};

TEST_F(DispatchTest, ShortcutAnnouncementIsSpokenInFrontOfTheConfirmation) {
    EXPECT_EQ(Press(cmd::SortType), "Shortcut Pressed: Search Sort Type : C-U : Sort Type is File Name");
    EXPECT_EQ(port.beeps, 1);
    app.settings.SpeakMinimalKey = 0;
    EXPECT_EQ(Press(cmd::SortType), "Shortcut Pressed: Search Sort Type : Control U : Sort Type is Date");
}

TEST_F(DispatchTest, ToolbarCommandsAreNotAnnounced) {
    RA(app, cmd::UseIgnoreList);
    EXPECT_EQ(port.LastSpoken(), "Ignore List is ON");
}

TEST_F(DispatchTest, WithoutSpeakShortcutsTheCommandStillRuns) {
    app.settings.SpeakShortcuts = 0;
    EXPECT_EQ(Press(cmd::ExcludeSystemFolders), "Exclude System Folders is OFF");
    EXPECT_EQ(app.settings.ExcludeSystemFolders, 0);
}

TEST_F(DispatchTest, SwitchingShortcutSpeechOffIsItselfAnnounced) {
    EXPECT_EQ(Press(cmd::SpeakShortcuts), "Shortcut Pressed: Speak Shortcuts : CS-S : Speak Shortcuts is OFF");
    EXPECT_EQ(Press(cmd::SpeakShortcuts), "Speak Shortcuts is ON");
}

TEST_F(DispatchTest, SettingTogglesConfirmInWords) {
    struct Case {
        int id;
        std::string first, second;
    };
    const Case cases[] = {
        {cmd::SortType, "Sort Type is File Name", "Sort Type is Date"},
        {cmd::ExcludeSystemFolders, "Exclude System Folders is OFF", "Exclude System Folders is ON"},
        {cmd::UseIgnoreList, "Ignore List is ON", "Ignore List is OFF"},
        {cmd::UseMagnor, "Use Magnor OFF", "Use Magnor ON"},
        {cmd::VisualPrintFont, "Print With Visual Font is ON", "Print With Visual Font is OFF"},
        {cmd::FocusOnSearchTerm, "Search Term Focus ON", "Search Term Focus OFF"},
        {cmd::FolderShortPath, "Short Path Name is OFF", "Short Path Name is ON"},
        {cmd::ShowTimeInDate, "Include Time in Date is OFF", "Include Time in Date is ON"},
        {cmd::FormatAsKB, "Format File Size is OFF", "Format File Size is ON"},
        {cmd::IncludeShortcutKey, "Include Shortcut Key is OFF", "Include Shortcut Key is ON"},
        {cmd::SpeakMinimalKey, "Speak Minimal Key is OFF", "Speak Minimal Key is ON"},
    };
    for (const Case& c : cases) {
        RA(app, c.id);
        EXPECT_EQ(port.LastSpoken(), c.first) << c.id;
        RA(app, c.id);
        EXPECT_EQ(port.LastSpoken(), c.second) << c.id;
    }
    EXPECT_EQ(port.beeps, 2 * static_cast<int>(std::size(cases)));
}

TEST_F(DispatchTest, TogglesKeepOddValuesNonZero) {
    app.settings.UseKB = 2;
    RA(app, cmd::FormatAsKB);
    EXPECT_EQ(app.settings.UseKB, 3);
    EXPECT_EQ(port.LastSpoken(), "Format File Size is ON");
}

TEST_F(DispatchTest, CyclesOfSpeakTextAndHover) {
    std::vector<std::string> said;
    for (int i = 0; i < 4; ++i) {
        RA(app, cmd::SpeakLetters);
        said.push_back(port.LastSpoken());
    }
    EXPECT_EQ(said, (std::vector<std::string>{"Speak Text is Words", "Speak Text is Both", "Speak Text is None",
                                              "Speak Text is Letters"}));
    app.settings.UseHover = 9;
    RA(app, cmd::ToolbarHover);
    EXPECT_EQ(port.LastSpoken(), "Magnor Hover is  OFF");
    RA(app, cmd::ToolbarHover);
    EXPECT_EQ(port.LastSpoken(), "Magnor Hover is  Text");
}

TEST_F(DispatchTest, LimitCyclesSpeakTheirNumbers) {
    RA(app, cmd::MaxResults);
    EXPECT_EQ(port.LastSpoken(), "Max Search Results is  250");
    app.settings.MaxResults = 100000;
    RA(app, cmd::MaxResults);
    EXPECT_EQ(port.LastSpoken(), "Max Search Results is Unlimited");
    RA(app, cmd::MaxPrintLines);
    EXPECT_EQ(port.LastSpoken(), "Max Print Lines is  100");
    RA(app, cmd::MaxPrintLines);
    EXPECT_EQ(port.LastSpoken(), "Max Print Lines is Unlimited");
}

TEST_F(DispatchTest, LouderSofterAndSpeedShortcuts) {
    EXPECT_EQ(Press(cmd::Louder), "Shortcut Pressed: Louder : F6 : Louder");
    EXPECT_EQ(port.keys.size(), 10u);
    EXPECT_EQ(port.beeps, 0);
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

TEST_F(DispatchTest, ExitAndUnknownCommands) {
    OnCommand(app, 9999, 0);
    OnCommand(app, 2, 0);
    EXPECT_FALSE(port.ended);
    EXPECT_TRUE(port.spoken.empty());
    RA(app, cmd::Exit);
    EXPECT_TRUE(port.ended);
    EXPECT_EQ(port.beeps, 1);
}

TEST_F(DispatchTest, HelpKeyOpensTheSettingsListWithItsPrefix) {
    OnHelp(app, false);
    EXPECT_EQ(app.settings.SearchType, 5);
    EXPECT_EQ(app.SpeechPrefix, "Opening Settings List");
    OnHelp(app, true);
    ASSERT_EQ(port.opened.size(), 1u);
}

TEST_F(DispatchTest, DestroyStoresThePositionSavesAndSaysGoodbye) {
    port.topIndex = 7;
    port.selectedRow = 9;
    OnDestroy(app);
    EXPECT_EQ(app.settings.TopRow, 7);
    EXPECT_EQ(app.settings.LastRow, 9);
    EXPECT_TRUE(port.files.count("lumiseek.ini"));
    EXPECT_EQ(port.spoken.back(), (Spoken{"Exiting Lumiseek", 2}));
}

TEST_F(DispatchTest, AFailedSaveIsSpokenAndKeepsTheOldFile) {
    port.files["lumiseek.ini"] = "old";
    port.writesFail = true;
    OnDestroy(app);
    EXPECT_EQ(port.files["lumiseek.ini"], "old");
    ASSERT_EQ(port.spoken.size(), 2u);
    EXPECT_EQ(port.spoken[0], (Spoken{"Settings could not be saved", 2}));
    EXPECT_EQ(port.spoken[1], (Spoken{"Exiting Lumiseek", 2}));
}

TEST_F(DispatchTest, RestarterOnlyAfterAnUpdate) {
    AfterWindow(app);
    EXPECT_TRUE(port.started.empty());
    app.RestartAfterUpdate = 1;
    AfterWindow(app);
    EXPECT_EQ(port.started, (std::vector<std::string>{"start_lumiseek.exe"}));
}

TEST_F(DispatchTest, UntrappedErrorsReachTheErrorBox) {
    Guarded(app, "SpeakColumn", [] { throw std::runtime_error("boom"); });
    ASSERT_EQ(port.errors.size(), 1u);
    EXPECT_EQ(port.errors[0],
              "Untrapped Error #5 (boom)\r\nhas occurred following execution of SpeakColumn\r\n\r\n"
              "Press OK to continue, Cancel to terminate");
    EXPECT_EQ(port.exitCode, -1);
    port.continueAfterError = false;
    Guarded(app, "X", [] { throw std::bad_alloc(); });
    EXPECT_EQ(port.exitCode, 255);
}

TEST_F(DispatchTest, StartUpOrder) {
    port.files["lumiseek.ini"] = std::string("\xFF\xFE", 2);  // an empty UTF-16 file: every default
    app.settings.vRate = 0;
    InitDialog(app);
    EXPECT_EQ(app.settings.SearchType, 1);
    EXPECT_TRUE(port.acceleratorsAttached);
    EXPECT_TRUE(port.gdiplusStarted);
    EXPECT_EQ(port.statusFontSize, 14);
    EXPECT_EQ(port.largeFont, "Arial Black");
    EXPECT_EQ(port.largeFontSize, 36);
    EXPECT_EQ(port.boxText, "texas");
    EXPECT_EQ(port.fg, 65535);
    EXPECT_EQ(port.bg, 16711680);
    EXPECT_EQ(port.rates, (std::vector<int>{0}));
    EXPECT_TRUE(port.deferredPosted);
    DeferredInit(app);
    EXPECT_EQ(app.SpeechPrefix, "Welcome to Lumiseek, version 4.2!");
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(port.selFrom, 0);
    EXPECT_EQ(port.selTo, -1);
}

TEST(StartUpTest, ABrokenStepIsReportedAndSkippedAlone) {
    // A results file whose reading throws, and a saved place that runs off the screen.
    struct BrokenResults : FakePort {
        bool ReadFilePart(const std::string& p, uint64_t offset, size_t count, std::string& b) override {
            if (p == "results.txt") throw std::runtime_error("broken");
            return FakePort::ReadFilePart(p, offset, count, b);
        }
    } port;
    App app{port};
    port.files["lumiseek.ini"] = "[All]\r\nLeft=400\r\nLastRow=3\r\n";
    port.files["results.txt"] = "";
    StartupLoadSettings(app);
    InitDialog(app);
    ASSERT_EQ(port.errors.size(), 1u);
    EXPECT_NE(port.errors[0].find("following execution of OpenSession"), std::string::npos);
    ASSERT_EQ(app.Results.size(), 1u);
    EXPECT_EQ(app.Results[0].Name, "<empty>");
    EXPECT_EQ(port.columns[1].first, "Name  (0)");
    EXPECT_EQ(port.window, (Rect{320, 0, 1600, 800}));
    EXPECT_TRUE(port.deferredPosted);
    DeferredInit(app);
    EXPECT_EQ(app.SpeechPrefix, "Welcome to Lumiseek, version 4.2!");
    EXPECT_EQ(port.focused, ctl::SearchBox);
    EXPECT_EQ(port.selectedRow, 3);
}

TEST(CTimeTest, BuildStamp) { EXPECT_EQ(CTime("Dec  6 2026", "18:40:00"), "   Compiled: Dec  6 2026 18:40:00"); }

}  // namespace
}  // namespace lumiseek

namespace lumiseek {
namespace {

TEST(SetCursorTest, OnlyTheEmptyToolbarAreaRightOfTheButtonsDrags) {
    test::FakePort port;
    App app{port};
    EXPECT_FALSE(OnSetCursor(app, 500, 0));  // no toolbar: its height is 0
    port.heights[ctl::Toolbar] = 130;
    app.RBE = 400;
    EXPECT_TRUE(OnSetCursor(app, 401, 129));
    EXPECT_FALSE(OnSetCursor(app, 400, 10));
    EXPECT_FALSE(OnSetCursor(app, 900, 130));
}

}  // namespace
}  // namespace lumiseek

namespace lumiseek {
namespace {

struct TypeAheadTest : ::testing::Test {
    test::FakePort port;
    App app{port};
    void SetUp() override {
        for (const char* name : {"a.txt", "b.txt", "(c).txt", "d.txt", "&e.txt", "b2.txt"}) {
            ResultRow row;
            row.Name = name;
            app.Results.push_back(row);
        }
        app.settings.SearchType = 1;
        port.selectedRow = 1;
    }
};

TEST_F(TypeAheadTest, LetterKeysJumpDownwardWithoutWrapping) {
    EXPECT_TRUE(OnListKeyDown(app, 'B'));
    EXPECT_EQ(port.selectedRow, 2);
    EXPECT_TRUE(OnListKeyDown(app, 'B'));
    EXPECT_EQ(port.selectedRow, 6);
    EXPECT_FALSE(OnListKeyDown(app, 'B'));  // nothing below the last row, no wrap to the top
    EXPECT_EQ(port.selectedRow, 6);
    EXPECT_FALSE(OnListKeyDown(app, 'A'));
    EXPECT_EQ(port.selectedRow, 6);
}

TEST_F(TypeAheadTest, NavigationKeysNeverJump) {
    // Down (0x28 '('), Up (0x26 '&'), End, Home and the keypad digits are not typed characters.
    for (int vk : {0x28, 0x26, 0x23, 0x24, 0x61, 0x70}) {
        EXPECT_FALSE(OnListKeyDown(app, vk)) << vk;
        EXPECT_EQ(port.selectedRow, 1) << vk;
    }
}

}  // namespace
}  // namespace lumiseek

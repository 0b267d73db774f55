// The dispatcher: commands and their spoken confirmations, start-up and closing, errors, the list's keys.
#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "base/app.h"
#include "app/dispatch.h"
#include "base/ids.h"
#include "base/settings.h"
#include "fake_port.h"

namespace lumiseek {
namespace {

struct DispatchTest : ::testing::Test {
    FakePort port;
    App app{port};
    // Press a shortcut: the command arrives from the accelerator table (code 1).
    std::string Press(int id) {
        OnCommand(app, id, 1);
        return port.LastSpoken();
    }
};

TEST_F(DispatchTest, ShortcutsAnnounceThemselvesInFrontOfTheirConfirmationAndToolbarButtonsDoNot) {
    EXPECT_EQ(Press(cmd::SortType), "Shortcut Pressed: Search Sort Type : C-U : Sort Type is File Name");
    app.settings.SpeakMinimalKey = 0;
    EXPECT_EQ(Press(cmd::SortType), "Shortcut Pressed: Search Sort Type : Control U : Sort Type is Date");
    EXPECT_EQ(Press(cmd::Louder), "Shortcut Pressed: Louder : F6 : Louder");
    EXPECT_EQ(port.beeps, 2);
    RA(app, cmd::UseIgnoreList);
    EXPECT_EQ(port.LastSpoken(), "Ignore List is ON");
    // Switching announcements off is itself announced; after that commands still run, unannounced.
    EXPECT_EQ(Press(cmd::SpeakShortcuts),
              "Shortcut Pressed: Speak Shortcuts : Control Shift S : Speak Shortcuts is OFF");
    EXPECT_EQ(Press(cmd::ExcludeSystemFolders), "Exclude System Folders is OFF");
    EXPECT_EQ(app.settings.ExcludeSystemFolders, 0);
}

TEST_F(DispatchTest, TogglesAndCyclesSayTheirNewStateAndTheListShowsIt) {
    const std::tuple<int, const char*, const char*, int> cases[] = {
        {cmd::UseMagnor, "Use Magnor OFF", "Use Magnor ON", 0},
        {cmd::FocusOnSearchTerm, "Search Term Focus ON", "Search Term Focus OFF", 0},
        {cmd::ShowTimeInDate, "Include Time in Date is OFF", "Include Time in Date is ON", 2},
    };
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
    port.continueAfterError = false;
    Guarded(app, "X", [] { throw std::bad_alloc(); });
    EXPECT_EQ(port.exitCode, 255);
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
    EXPECT_EQ(port.started, (Texts{"start_lumiseek.exe 4242"}));
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
        "[All]\r\nLeft=400\r\nLastRow=3\r\nvRate=-3\r\nLastSearchType=2\r\nFontSize=40\r\nSearchTerm=tax\r\n";
    port.files["results.txt"] = "";
    StartupLoadSettings(app);
    InitDialog(app);
    EXPECT_EQ(port.rates, (std::vector<int>{-3}));
    EXPECT_EQ(app.settings.SearchType, 2);
    EXPECT_EQ(port.largeFontSize, 40);
    EXPECT_EQ(port.boxText, "tax");
    EXPECT_TRUE(port.acceleratorsAttached);
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
    EXPECT_EQ(port.selectedRow, 3);
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

}  // namespace
}  // namespace lumiseek

// The voice: pending announcements, waiting, the beep, speed, volume and Esc; the shortcut keys and the
// announcement that names the pressed shortcut.
#include <gtest/gtest.h>

#include <set>

#include "app/dispatch.h"
#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "speech/shortcuts.h"
#include "speech/speech.h"

namespace lumiseek {
namespace {

using Said = std::vector<Spoken>;

struct TonePort : test::FakePort {
    std::vector<std::pair<int, int>> tones;
    void Beep(int hertz, int ms) override { tones.emplace_back(hertz, ms); }
};

struct SpeechTest : ::testing::Test {
    TonePort port;
    App app{port};
};

TEST_F(SpeechTest, ThePendingAnnouncementGoesInFrontOfTheNextUtteranceOnceSpeechIsOn) {
    app.SpeechPrefix = "Shortcut Pressed: Louder : F6 : ";
    SpeakOne(app, "Louder");
    app.Results = {ResultRow{"<empty>"}};
    port.selectedRow = 1;
    SpeakColumn(app, 1);
    app.SpeechPrefix = "pending : ";
    SpeakOneWait(app, "Exiting Lumiseek");  // waits, and leaves the announcement for the next
    app.settings.DisableSpeech = 1;
    SpeakOne(app, "a");
    SpeakOneWait(app, "b");
    SpeakColumn(app, 1);
    ToggleDisableSpeech(app);  // switching speech on (and off) is itself spoken
    SpeakOne(app, "c");
    EXPECT_EQ(port.spoken, (Said{{"Shortcut Pressed: Louder : F6 : Louder", 3}, {"List is Empty", 3}, {"Exiting Lumiseek", 2},
                                 {"pending : Speech is Enabled", 3}, {"c", 3}}));
    ToggleDisableSpeech(app);
    EXPECT_EQ(port.spoken.back(), (Spoken{"Speech is Disabled", 3}));
}

TEST_F(SpeechTest, SpeedCyclesAfterSilencingTheVoiceAndTheVolumeKeysPressFiveTimes) {
    for (int i = 0; i < 3; ++i) ToggleSpeed(app);
    EXPECT_EQ(port.rates, (std::vector<int>{3, -3, 0}));
    EXPECT_EQ(port.spoken, (Said{{"", 3}, {"Fast speech is on!", 3}, {"", 3}, {"Slow speech is on!", 3},
                                 {"", 3}, {"Normal speech is on!", 3}}));
    SBeep(app);
    VolumeUp(app);  // five presses, each key down and up
    VolumeDown(app);
    MuteSpeakers(app);
    ASSERT_EQ(port.keys.size(), 21u);
    EXPECT_EQ(port.keys[0], std::make_pair(0xAF, 1));
    EXPECT_EQ(port.keys[9], std::make_pair(0xAF, 3));
    EXPECT_EQ(port.keys[19], std::make_pair(0xAE, 3));
    EXPECT_EQ(port.keys[20], std::make_pair(0xAD, 1));
    EXPECT_EQ(port.tones, (std::vector<std::pair<int, int>>(3, {275, 150})));
}

TEST_F(SpeechTest, EscapeSilencesThenLeavesAListForTheLastResultsThenEnds) {
    port.files["results.txt"] = "Size,Date Modified,Filename\r\n10,05/18/2023 09:05,\"C:\\Data\\annual.doc\"\r\n";
    app.Results = {ResultRow{"Speak Text"}};
    port.runningState = SPRS_IS_SPEAKING;  // speaking: Esc only silences the voice
    app.settings.SearchType = 5;
    Escape(app);
    EXPECT_EQ(port.spoken, (Said{{"", 3}}));
    port.runningState = 1;
    app.settings.LastSearchType = 3;
    Escape(app);
    EXPECT_EQ(app.settings.SearchType, 3);
    EXPECT_EQ(port.spoken.back(), (Spoken{"Returning to Last Results", 2}));
    EXPECT_EQ(RowNames(app), Texts{"annual.doc"});
    EXPECT_FALSE(port.ended);
    Escape(app);
    EXPECT_TRUE(port.ended);
}

TEST(AcceleratorTable, EachKeyRunsOneCommandWhoseLabelNamesThatKey) {
    std::set<int> commands, keys;
    for (const AccelEntry& e : AcceleratorTable()) {
        EXPECT_TRUE(commands.insert(e.command).second) << "command twice: " << e.command;
        EXPECT_TRUE(keys.insert(e.flags << 16 | e.key).second) << "key twice: " << e.key;
        if (e.key == 0x1B) continue;  // Escape has no label
        const std::string k(1, static_cast<char>(e.key));
        const std::string code = e.flags == kAccelVirtKey ? "F" + std::to_string(e.key - 0x70 + 1)
                                 : e.flags == (kAccelVirtKey | kAccelControl) ? "C-" + k
                                 : e.flags == (kAccelVirtKey | kAccelControl | kAccelShift) ? "CS-" + k : "?";
        const std::string label = CommandLabelText(e.command);
        EXPECT_EQ(label.substr(label.find_last_of(' ') + 1), code) << label;
    }
    EXPECT_EQ(commands.size(), 64u);
}

TEST(Shortcuts, AnnouncementFollowsTheKeySettings) {
    test::FakePort port;
    App app{port};
    struct Case { int include, minimal, command; const char* prefix; };
    const Case cases[] = {
        {1, 1, 532, "Shortcut Pressed: Speak Letters : C-N : "},
        {1, 1, 508, "Shortcut Pressed: Custom Search : C-I : "},
        {1, 0, 532, "Shortcut Pressed: Speak Letters : Control N : "},
        {1, 0, 564, "Shortcut Pressed: Wide Toolbar : Control Shift W : "},
        {1, 0, 541, "Shortcut Pressed: Use Ignore List : F10 : "},
        {0, 0, 519, "Shortcut Pressed: Select All : "},
        {1, 0, 539, "unchanged"},  // commands without a label (Esc, the toolbar itself) are never announced
        {1, 1, ctl::Toolbar, "unchanged"},
    };
    for (const Case& c : cases) {
        app.settings.IncludeShortcutKey = c.include;
        app.settings.SpeakMinimalKey = c.minimal;
        app.SpeechPrefix = "unchanged";
        ControlIdLabel(app, c.command);
        SpeakShortcut(app, c.command);
        EXPECT_EQ(app.SpeechPrefix, c.prefix) << c.command;
    }
    for (const auto& [key, words] : {std::pair{"N", "Letter N"}, {"CA-X", "Control Alt X"}, {"Home", "..."}}) {
        app.ShortcutKey = key;
        ExpandKey(app);
        EXPECT_EQ(app.ShortcutKey, words);
    }
}

}  // namespace
}  // namespace lumiseek

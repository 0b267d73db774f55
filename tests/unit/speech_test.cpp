// The voice: pending announcements, waiting, the beep, speed, volume and Esc.
#include <gtest/gtest.h>

#include "base/app.h"
#include "app/dispatch.h"
#include "fake_port.h"
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

TEST_F(SpeechTest, SpeedCyclesNormalFastSlowAfterSilencingTheVoice) {
    for (int i = 0; i < 3; ++i) ToggleSpeed(app);
    EXPECT_EQ(port.rates, (std::vector<int>{3, -3, 0}));
    EXPECT_EQ(port.spoken, (Said{{"", 3}, {"Fast speech is on!", 3}, {"", 3}, {"Slow speech is on!", 3},
                                 {"", 3}, {"Normal speech is on!", 3}}));
}

TEST_F(SpeechTest, TheBeepVolumeKeysAndMute) {
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
    ASSERT_EQ(app.Results.size(), 1u);
    EXPECT_EQ(app.Results[0].Name, "annual.doc");
    EXPECT_FALSE(port.ended);
    Escape(app);
    EXPECT_TRUE(port.ended);
}

}  // namespace
}  // namespace lumiseek

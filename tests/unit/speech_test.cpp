#include <gtest/gtest.h>

#include "base/app.h"
#include "app/dispatch.h"
#include "fake_port.h"
#include "speech/speech.h"

namespace lumiseek {
namespace {

using test::FakePort;
using test::Spoken;

struct SpeechTest : ::testing::Test {
    FakePort port;
    App app{port};
};

TEST_F(SpeechTest, SpeakOneSpeaksThePrefixOnceAndPurges) {
    app.SpeechPrefix = "Shortcut Pressed: Louder : F6 : ";
    SpeakOne(app, "Louder");
    SpeakOne(app, "again");
    ASSERT_EQ(port.spoken.size(), 2u);
    EXPECT_EQ(port.spoken[0], (Spoken{"Shortcut Pressed: Louder : F6 : Louder", 3}));
    EXPECT_EQ(port.spoken[1], (Spoken{"again", 3}));
}

TEST_F(SpeechTest, DisabledSpeechKeepsThePrefixUntilSpeechReturns) {
    app.settings.DisableSpeech = 1;
    app.SpeechPrefix = "pending : ";
    SpeakOne(app, "a");
    SpeakOneWait(app, "b");
    SpeakColumn(app, 1);
    EXPECT_TRUE(port.spoken.empty());
    EXPECT_EQ(app.SpeechPrefix, "pending : ");
    app.settings.DisableSpeech = 0;
    SpeakOne(app, "c");
    EXPECT_EQ(port.LastSpoken(), "pending : c");
}

TEST_F(SpeechTest, SpeakOneWaitWaitsAndLeavesThePrefixAlone) {
    app.SpeechPrefix = "p";
    SpeakOneWait(app, "Exiting Lumiseek");
    ASSERT_EQ(port.spoken.size(), 1u);
    EXPECT_EQ(port.spoken[0], (Spoken{"Exiting Lumiseek", 2}));
    EXPECT_EQ(app.SpeechPrefix, "p");
}

TEST_F(SpeechTest, SpeechToggleAnnouncesBothWaysDirectlyOnTheVoice) {
    app.SpeechPrefix = "p : ";
    ToggleDisableSpeech(app);
    ToggleDisableSpeech(app);
    ASSERT_EQ(port.spoken.size(), 2u);
    EXPECT_EQ(port.spoken[0], (Spoken{"p : Speech is Disabled", 3}));
    EXPECT_EQ(port.spoken[1], (Spoken{"Speech is Enabled", 3}));
}

TEST_F(SpeechTest, ToggleSpeedCyclesNormalFastSlow) {
    ToggleSpeed(app);
    ToggleSpeed(app);
    ToggleSpeed(app);
    EXPECT_EQ(port.rates, (std::vector<int>{3, -3, 0}));
    std::vector<std::string> said;
    for (const auto& s : port.spoken)
        if (!s.text.empty()) said.push_back(s.text);
    EXPECT_EQ(said, (std::vector<std::string>{"Fast speech is on!", "Slow speech is on!", "Normal speech is on!"}));
    // Each press first silences the voice.
    EXPECT_EQ(port.spoken[0], (Spoken{"", 3}));
}

TEST_F(SpeechTest, ToggleSpeedWithOddRates) {
    app.settings.vRate = 7;  // hand-edited: matches no rate of the cycle
    ToggleSpeed(app);
    EXPECT_EQ(app.settings.vRate, 7);
    EXPECT_EQ(port.rates, (std::vector<int>{7}));
    EXPECT_EQ(port.LastSpoken(), "");

    app.settings.SlowRate = 0;  // the first comparison always matches
    app.settings.vRate = 0;
    ToggleSpeed(app);
    ToggleSpeed(app);
    EXPECT_EQ(app.settings.vRate, 0);
    EXPECT_EQ(port.LastSpoken(), "Normal speech is on!");

    app.settings.DisableSpeech = 1;
    port.spoken.clear();
    ToggleSpeed(app);
    ASSERT_EQ(port.spoken.size(), 1u);  // only the silencing
    EXPECT_EQ(port.spoken[0].text, "");
}

TEST_F(SpeechTest, VolumeKeysAndMute) {
    VolumeUp(app);
    ASSERT_EQ(port.keys.size(), 10u);
    for (size_t i = 0; i < 10; i += 2) {
        EXPECT_EQ(port.keys[i], std::make_pair(0xAF, 1));
        EXPECT_EQ(port.keys[i + 1], std::make_pair(0xAF, 3));
    }
    port.keys.clear();
    VolumeDown(app);
    EXPECT_EQ(port.keys.size(), 10u);
    EXPECT_EQ(port.keys.front().first, 0xAE);
    port.keys.clear();
    MuteSpeakers(app);
    EXPECT_EQ(port.keys, (std::vector<std::pair<int, int>>{{0xAD, 1}}));
    EXPECT_EQ(port.beeps, 2);
}

TEST_F(SpeechTest, EscapeSilencesThenLeavesAListThenEnds) {
    port.runningState = SPRS_IS_SPEAKING;
    app.settings.SearchType = 5;
    Escape(app);
    EXPECT_EQ(port.spoken, (std::vector<Spoken>{{"", 3}}));
    EXPECT_EQ(app.settings.SearchType, 5);
    EXPECT_FALSE(port.ended);

    port.runningState = 1;
    app.settings.LastSearchType = 3;
    Escape(app);
    EXPECT_EQ(app.settings.SearchType, 3);
    EXPECT_EQ(port.spoken.back(), (Spoken{"Returning to Last Results", 2}));
    EXPECT_FALSE(port.ended);

    Escape(app);
    EXPECT_TRUE(port.ended);
}

TEST_F(SpeechTest, SpeakColumnOnAnEmptyList) {
    app.Results = {ResultRow{"<empty>"}};
    port.selectedRow = 1;
    SpeakColumn(app, 1);
    EXPECT_EQ(port.LastSpoken(), "List is Empty");
    SpeakColumn(app, 2);
    EXPECT_EQ(port.spoken.back(), (Spoken{"", 3}));
}

}  // namespace
}  // namespace lumiseek

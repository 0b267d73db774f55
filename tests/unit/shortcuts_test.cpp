#include <gtest/gtest.h>

#include <set>

#include "base/app.h"
#include "fake_port.h"
#include "speech/shortcuts.h"

namespace lumiseek {
namespace {

using test::FakePort;

// The key code a label should carry for an accelerator entry.
std::string KeyCodeOf(const AccelEntry& e) {
    if (e.flags == kAccelVirtKey) return "F" + std::to_string(e.key - 0x70 + 1);
    std::string k(1, static_cast<char>(e.key));
    if (e.flags == (kAccelVirtKey | kAccelControl)) return "C-" + k;
    if (e.flags == (kAccelVirtKey | kAccelControl | kAccelShift)) return "CS-" + k;
    return "?";
}

TEST(AcceleratorTable, SixtyFourEntriesMatchingTheLabels) {
    const auto& table = AcceleratorTable();
    ASSERT_EQ(table.size(), 64u);
    EXPECT_EQ(table[0].key, 0x1B);
    EXPECT_EQ(table[0].command, 539);
    std::set<int> commands;
    std::set<std::pair<int, int>> keys;
    for (const AccelEntry& e : table) {
        EXPECT_TRUE(commands.insert(e.command).second) << "command twice: " << e.command;
        EXPECT_TRUE(keys.insert({e.flags, e.key}).second) << "key twice: " << e.key;
        EXPECT_TRUE(e.flags == 1 || e.flags == 9 || e.flags == 13);
        if (e.command == 539) continue;
        std::string label = CommandLabelText(e.command);
        size_t sep = label.find("::");
        ASSERT_NE(sep, std::string::npos) << e.command;
        std::string code = label.substr(sep + 2);
        while (!code.empty() && code.front() == ' ') code.erase(0, 1);
        EXPECT_EQ(code, KeyCodeOf(e)) << label;
    }
}

TEST(AcceleratorTable, LabelsKeepTheirDoubledBlanks) {
    EXPECT_EQ(CommandLabelText(519), "Select All  :: C-A");
    EXPECT_EQ(CommandLabelText(508), "Custom Search ::  C-I");
    EXPECT_EQ(CommandLabelText(535), "Print Results ::  C-P");
    EXPECT_EQ(CommandLabelText(564), "Wide Toolbar ::  CS-W");
    EXPECT_EQ(CommandLabelText(539), "Unknown Shortcut :: ");
    EXPECT_EQ(CommandLabelText(1), "Unknown Shortcut :: ");
}

struct ShortcutTest : ::testing::Test {
    FakePort port;
    App app{port};
    std::string Announce(int command) {
        ControlIdLabel(app, command);
        SpeakShortcut(app, command);
        return app.SpeechPrefix;
    }
};

TEST_F(ShortcutTest, LabelsAreTrimmed) {
    ControlIdLabel(app, 519);
    EXPECT_EQ(app.ShortcutLabel, "Select All");
    EXPECT_EQ(app.ShortcutKey, "C-A");
}

TEST_F(ShortcutTest, AnnouncementForms) {
    EXPECT_EQ(Announce(532), "Shortcut Pressed: Speak Letters : C-N : ");
    app.settings.SpeakMinimalKey = 0;
    EXPECT_EQ(Announce(532), "Shortcut Pressed: Speak Letters : Control N : ");
    EXPECT_EQ(Announce(561), "Shortcut Pressed: Preview : Control Shift A : ");
    EXPECT_EQ(Announce(569), "Shortcut Pressed: Louder : F6 : ");
    app.settings.IncludeShortcutKey = 0;
    EXPECT_EQ(Announce(532), "Shortcut Pressed: Speak Letters : ");
}

TEST_F(ShortcutTest, CommandsWithoutALabelAreNeverAnnounced) {
    // Esc and the toolbar itself: no "Unknown Shortcut" announcement in any setting.
    app.SpeechPrefix = "before";
    for (int speak : {1, 2}) {
        app.settings.SpeakShortcuts = speak;
        for (int minimal : {0, 1}) {
            app.settings.SpeakMinimalKey = minimal;
            EXPECT_EQ(Announce(539), "before");
            EXPECT_EQ(Announce(502), "before");
        }
    }
}

TEST_F(ShortcutTest, ExpandKeyRules) {
    auto expand = [&](const std::string& key) {
        app.ShortcutKey = key;
        ExpandKey(app);
        return app.ShortcutKey;
    };
    EXPECT_EQ(expand("N"), "Letter N");
    EXPECT_EQ(expand("C-N"), "Control N");
    EXPECT_EQ(expand("C-0"), "Control 0");
    EXPECT_EQ(expand("CS-W"), "Control Shift W");
    EXPECT_EQ(expand("CA-X"), "Control Alt X");
    EXPECT_EQ(expand("F10"), "F10");
    EXPECT_EQ(expand(""), "...");
    EXPECT_EQ(expand("Home"), "...");
}

}  // namespace
}  // namespace lumiseek

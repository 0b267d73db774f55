// The shortcut keys and the announcement that names the pressed shortcut.
#include <gtest/gtest.h>

#include <set>

#include "base/app.h"
#include "base/ids.h"
#include "fake_port.h"
#include "speech/shortcuts.h"

namespace lumiseek {
namespace {

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

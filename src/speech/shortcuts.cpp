#include "speech/shortcuts.h"

#include <map>

#include "base/app.h"
#include "base/ids.h"
#include "base/text.h"

namespace lumiseek {

namespace {

constexpr uint8_t kPlain = kAccelVirtKey;
constexpr uint8_t kCtrl = kAccelVirtKey | kAccelControl;
constexpr uint8_t kCtrlShift = kAccelVirtKey | kAccelControl | kAccelShift;
constexpr uint16_t VK_ESCAPE = 0x1B;
constexpr uint16_t F(int n) { return static_cast<uint16_t>(0x70 + n - 1); }

const std::map<int, std::string>& LabelTable() {
    static const std::map<int, std::string> table = {
        {546, "Display Actions List :: F2"},
        {547, "Open Everything :: F3"},
        {523, "Clear Search Term :: F4"},
        {514, "Expand Parent Folder :: F5"},
        {569, "Louder :: F6"},
        {570, "Softer :: F7"},
        {568, "Mute Speakers :: F8"},
        {571, "Disable Speech :: F9"},
        {541, "Use Ignore List :: F10"},
        {519, "Select All  :: C-A"},
        {528, "Hide Toolbar Text :: C-B"},
        {520, "Copy Search Term :: C-C"},
        {510, "Copy File :: C-D"},
        {537, "Icon Size :: C-E"},
        {505, "Search for Files :: C-F"},
        {506, "Search for Folders :: C-G"},
        {507, "Search All :: C-H"},
        {508, "Custom Search ::  C-I"},
        {511, "Open File :: C-J"},
        {512, "Open Folder :: C-K"},
        {529, "Speak Search Term :: C-L"},
        {530, "Spell Search Term :: C-M"},
        {532, "Speak Letters :: C-N"},
        {553, "Update Lumiseek :: C-O"},
        {535, "Print Results ::  C-P"},
        {538, "Exclude System Folders :: C-Q"},
        {540, "Fit To Content :: C-R"},
        {513, "Expand Folder :: C-S"},
        {534, "Max Results :: C-T"},
        {533, "Search Sort Type :: C-U"},
        {522, "Paste :: C-V"},
        {536, "Show Toolbar :: C-W"},
        {521, "Cut :: C-X"},
        {509, "Change Colors :: C-Y"},
        {531, "Spell Name :: C-Z"},
        {524, "Speak Name :: C-1"},
        {525, "Speak Folder :: C-2"},
        {526, "Speak Date :: C-3"},
        {527, "Speak File Size :: C-4"},
        {548, "Folder Short Path :: C-5"},
        {549, "Enable Tool Tips :: C-6"},
        {550, "Show Time in Date :: C-7"},
        {554, "Speech Speed :: C-8"},
        {555, "Jump To Folders in List :: C-9"},
        {556, "Speak Location :: C-0"},
        {561, "Preview :: CS-A"},
        {542, "Use Magnor :: CS-B"},
        {559, "Copy Results :: CS-C"},
        {560, "Show Settings :: CS-D"},
        {552, "MaxPrintLines :: CS-E"},
        {545, "Focus On Search Term :: CS-F"},
        {543, "Toolbar Hover :: CS-H"},
        {567, "Image BG Color :: CS-I"},
        {551, "Format as KB :: CS-K"},
        {557, "Increase Font Size :: CS-L"},
        {558, "Decrease Font Size :: CS-M"},
        {518, "Next Menu :: CS-N"},
        {544, "Visual Print Font :: CS-P"},
        {562, "Preview Resize :: CS-R"},
        {563, "Speak Shortcuts :: CS-S"},
        {565, "Include Shortcut Key :: CS-T"},
        {566, "Speak Minimal Key :: CS-U"},
        {564, "Wide Toolbar ::  CS-W"},
    };
    return table;
}

std::string Trim(const std::string& s) { return TrimSpaces(s); }

}  // namespace

const std::vector<AccelEntry>& AcceleratorTable() {
    static const std::vector<AccelEntry> table = {
        {kPlain, VK_ESCAPE, 539},
        {kPlain, F(2), 546},
        {kPlain, F(3), 547},
        {kPlain, F(4), 523},
        {kPlain, F(5), 514},
        {kPlain, F(6), 569},
        {kPlain, F(7), 570},
        {kPlain, F(8), 568},
        {kPlain, F(9), 571},
        {kPlain, F(10), 541},
        {kCtrl, 'A', 519},
        {kCtrl, 'B', 528},
        {kCtrl, 'C', 520},
        {kCtrl, 'D', 510},
        {kCtrl, 'E', 537},
        {kCtrl, 'F', 505},
        {kCtrl, 'G', 506},
        {kCtrl, 'H', 507},
        {kCtrl, 'I', 508},
        {kCtrl, 'J', 511},
        {kCtrl, 'K', 512},
        {kCtrl, 'L', 529},
        {kCtrl, 'M', 530},
        {kCtrl, 'N', 532},
        {kCtrl, 'O', 553},
        {kCtrl, 'P', 535},
        {kCtrl, 'Q', 538},
        {kCtrl, 'R', 540},
        {kCtrl, 'S', 513},
        {kCtrl, 'T', 534},
        {kCtrl, 'U', 533},
        {kCtrl, 'V', 522},
        {kCtrl, 'W', 536},
        {kCtrl, 'X', 521},
        {kCtrl, 'Y', 509},
        {kCtrl, 'Z', 531},
        {kCtrl, '1', 524},
        {kCtrl, '2', 525},
        {kCtrl, '3', 526},
        {kCtrl, '4', 527},
        {kCtrl, '5', 548},
        {kCtrl, '6', 549},
        {kCtrl, '7', 550},
        {kCtrl, '8', 554},
        {kCtrl, '9', 555},
        {kCtrl, '0', 556},
        {kCtrlShift, 'A', 561},
        {kCtrlShift, 'B', 542},
        {kCtrlShift, 'C', 559},
        {kCtrlShift, 'D', 560},
        {kCtrlShift, 'E', 552},
        {kCtrlShift, 'F', 545},
        {kCtrlShift, 'H', 543},
        {kCtrlShift, 'I', 567},
        {kCtrlShift, 'K', 551},
        {kCtrlShift, 'L', 557},
        {kCtrlShift, 'M', 558},
        {kCtrlShift, 'N', 518},
        {kCtrlShift, 'P', 544},
        {kCtrlShift, 'R', 562},
        {kCtrlShift, 'S', 563},
        {kCtrlShift, 'T', 565},
        {kCtrlShift, 'U', 566},
        {kCtrlShift, 'W', 564},
    };
    return table;
}

std::string CommandLabelText(int command) {
    const auto& table = LabelTable();
    auto it = table.find(command);
    return it == table.end() ? std::string("Unknown Shortcut :: ") : it->second;
}

void ControlIdLabel(App& app, int command) {
    std::string text = CommandLabelText(command);
    size_t sep = text.find("::");
    app.ShortcutLabel = Trim(text.substr(0, sep));
    app.ShortcutKey = sep == std::string::npos ? std::string() : Trim(text.substr(sep + 2));
}

bool SpeakShortcut(App& app, int command) {
    const Settings& s = app.settings;
    // A command without a label (Esc, the toolbar itself) has nothing to announce.
    if (LabelTable().count(command) == 0) return false;
    if (s.IncludeShortcutKey != 0) {
        if (s.SpeakMinimalKey == 0) ExpandKey(app);
        app.SpeechPrefix = "Shortcut Pressed: " + app.ShortcutLabel + " : " + app.ShortcutKey + " : ";
    } else {
        app.SpeechPrefix = "Shortcut Pressed: " + app.ShortcutLabel + " : ";
    }
    return true;
}

void ExpandKey(App& app) {
    std::string& key = app.ShortcutKey;
    auto afterDash = [&key]() { return key.substr(key.find('-') + 1); };
    if (key.size() == 1) {
        key = "Letter " + key;
    } else if (key.find("C-") != std::string::npos) {
        key = "Control " + afterDash();
    } else if (key.find("CS-") != std::string::npos) {
        key = "Control Shift " + afterDash();
    } else if (key.find("CA-") != std::string::npos) {
        key = "Control Alt " + afterDash();
    } else if (!key.empty() && key[0] == 'F') {
        // function keys are spoken as they are written
    } else {
        key = "...";
    }
}

}  // namespace lumiseek

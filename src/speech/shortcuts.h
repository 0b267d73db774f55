// The keyboard shortcut table, the spoken label of every command and the announcement
// that tells the user which shortcut was pressed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumiseek {

struct App;

// Accelerator flags: virtual key, plus Shift, plus Ctrl.
constexpr uint8_t kAccelVirtKey = 1;
constexpr uint8_t kAccelShift = 4;
constexpr uint8_t kAccelControl = 8;

struct AccelEntry {
    uint8_t flags;
    uint16_t key;      // virtual-key code
    uint16_t command;  // command identifier
};

// The 64 accelerator entries in table order.
const std::vector<AccelEntry>& AcceleratorTable();

// The label text of a command ("Label :: key"), or "Unknown Shortcut :: ".
std::string CommandLabelText(int command);

void ControlIdLabel(App& app, int command);
// Prepares the announcement of a shortcut in SpeechPrefix; speaks nothing. False, and the
// prefix untouched, for a command that has no label.
bool SpeakShortcut(App& app, int command);
void ExpandKey(App& app);

}  // namespace lumiseek

#include "app/dispatch.h"

#include <cctype>
#include <functional>
#include <map>

#include "actions/clipboard.h"
#include "actions/lists.h"
#include "actions/open.h"
#include "actions/print.h"
#include "actions/update.h"
#include "app/toolbar.h"
#include "base/app.h"
#include "base/guard.h"
#include "base/ids.h"
#include "base/settings.h"
#include "base/text.h"
#include "preview/preview.h"
#include "search/columns.h"
#include "search/results.h"
#include "search/search.h"
#include "speech/search_box.h"
#include "speech/shortcuts.h"
#include "speech/speech.h"
#include "view/colors.h"
#include "view/layout.h"

namespace lumiseek {

namespace {

std::string OnOff(int value) { return value != 0 ? "ON" : "OFF"; }

// Flip a 0/1 setting, run what the change needs (a redraw, a layout), then speak the
// setting's name with ON or OFF.
void Toggle(App& app, int32_t& setting, const std::string& spokenName, void (*then)(App&) = nullptr) {
    setting ^= 1;
    if (then != nullptr) then(app);
    SpeakOne(app, spokenName + OnOff(setting));
}

void RedrawList(App& app) { app.port.RedrawControl(ctl::ResultsList); }

// Advance a 0..3 setting; a value outside that range after the step becomes 0.
int32_t NextOfFour(int32_t& setting) {
    setting += 1;
    if (setting > 3 || setting < 0) setting = 0;
    return setting;
}

void RunSearch(App& app, int type) {
    SBeep(app);
    Search(app, type);
}

// Rebuild the toolbar after a change of its look, and give the window's room to what shows.
void RebuildToolbar(App& app) {
    CreateToolbar(app);
    Resize(app);
}

void ApplyFontStep(App& app, int step) {
    ChangeFontSize(app, step);
    ChangeControlColors(app);
    Resize(app);
}

struct Command {
    const char* name;
    std::function<void(App&)> run;
};

// Every command identifier and its handler. Identifiers not in the table do nothing.
const std::map<int, Command>& CommandTable() {
    static const std::map<int, Command> table = {
        {cmd::Enter, {"Enter", [](App& app) {
             if (app.port.HasFocus(ctl::ResultsList)) {
                 if (app.settings.SearchType == 5) TakeLvSetting(app);
                 else if (app.settings.SearchType == 6) TakeLvAction(app);
                 else OpenLvFile(app);
             } else {
                 app.port.Focus(ctl::SearchBox);
                 Search(app, 1);
             }
         }}},
        {cmd::PreviewClick, {"ClickPreview", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.PreviewResize, "Preview Resize is ", Resize);
             app.port.Focus(ctl::ResultsList);
         }}},
        {cmd::SearchFiles, {"Search", [](App& app) { RunSearch(app, 1); }}},
        {cmd::SearchFolders, {"Search", [](App& app) { RunSearch(app, 2); }}},
        {cmd::SearchAll, {"Search", [](App& app) { RunSearch(app, 3); }}},
        {cmd::SearchCustom, {"Search", [](App& app) { RunSearch(app, 4); }}},
        {cmd::ChangeColors, {"ChangeColors", [](App& app) {
             SBeep(app);
             ChangeColors(app);
             Resize(app);
             SpeakOne(app, ColorName(app.settings.BG));
         }}},
        {cmd::CopySelectedFile, {"CopySelection", [](App& app) { CopySelection(app); }}},
        {cmd::OpenFile, {"OpenLvFile", [](App& app) { SBeep(app); OpenLvFile(app); }}},
        {cmd::OpenFolder, {"OpenLvFolder", [](App& app) { SBeep(app); OpenLvFolder(app); }}},
        {cmd::ExpandFolder, {"ExpandFolder", [](App& app) { SBeep(app); ExpandFolder(app); }}},
        {cmd::ExpandParentFolder, {"ExpandParentFolder", [](App& app) { SBeep(app); ExpandParentFolder(app); }}},
        {cmd::ShowSettingsList, {"DisplaySettings", [](App& app) {
             SBeep(app);
             app.settings.SearchType = 5;
             Resize(app);
             DisplaySettings(app);
         }}},
        {cmd::PrintButton, {"PrintSearch", [](App& app) { SBeep(app); PrintSearch(app); }}},
        {cmd::Exit, {"Exit", [](App& app) { SBeep(app); app.port.EndWindow(); }}},
        {cmd::NextMenu, {"NextToolbarPage", [](App& app) { NextToolbarPage(app); }}},
        {cmd::SelectAll, {"SelectAll", [](App& app) {
             SBeep(app);
             app.port.BoxSelect(0, -1);
             SpeakOne(app, "Select All");
         }}},
        {cmd::CopySearchTerm, {"ReCopy", [](App& app) {
             SBeep(app);
             if (ReCopy(app)) SpeakOne(app, "Selection Copied");
         }}},
        {cmd::Cut, {"ReCut", [](App& app) { SBeep(app); ReCut(app); }}},
        {cmd::Paste, {"RePaste", [](App& app) { SBeep(app); RePaste(app); }}},
        {cmd::ClearSearchTerm, {"ClearSearchTerm", [](App& app) {
             SBeep(app);
             app.port.SetBoxText("");
             SpeakOne(app, "Search Term Cleared");
         }}},
        {cmd::SpeakName, {"SpeakColumn", [](App& app) { SpeakColumn(app, 1); }}},
        {cmd::SpeakFolder, {"SpeakColumn", [](App& app) { SpeakColumn(app, 2); }}},
        {cmd::SpeakDate, {"SpeakColumn", [](App& app) { SpeakColumn(app, 3); }}},
        {cmd::SpeakFileSize, {"SpeakColumn", [](App& app) { SpeakColumn(app, 4); }}},
        {cmd::HideToolbarText, {"HideToolbarText", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.HideToolbarText, "Hide Toolbar Text is ", RebuildToolbar);
         }}},
        {cmd::SpeakSearchTerm, {"SpeakSearchTerm", [](App& app) {
             app.settings.SearchTerm = FirstChars(app.port.BoxText(), kSearchTermMax);
             SpeakOne(app, app.settings.SearchTerm);
         }}},
        {cmd::SpellSearchTerm, {"SpellSearchTerm", [](App& app) { SpellSearchTerm(app); }}},
        {cmd::SpellName, {"SpellFileName", [](App& app) { SpellFileName(app); }}},
        {cmd::SpeakLetters, {"EnableSpeakLetters", [](App& app) {
             SBeep(app);
             static const char* names[] = {"None", "Letters", "Words", "Both"};
             SpeakOne(app, std::string("Speak Text is ") + names[NextOfFour(app.settings.EnableSpeakLetters)]);
         }}},
        {cmd::SortType, {"SortType", [](App& app) {
             SBeep(app);
             app.settings.SortType ^= 1;
             SpeakOne(app, std::string("Sort Type is ") + (app.settings.SortType != 0 ? "Date" : "File Name"));
         }}},
        {cmd::MaxResults, {"ManageMaxResults", [](App& app) {
             SBeep(app);
             ManageMaxResults(app.settings);
             int v = app.settings.MaxResults;
             SpeakOne(app, "Max Search Results is " + (v == 0 ? std::string("Unlimited") : NumberText(v)));
         }}},
        {cmd::PrintResults, {"PrintSearch", [](App& app) { SBeep(app); PrintSearch(app); }}},
        {cmd::ShowToolbar, {"ShowToolbar", [](App& app) {
             SBeep(app);
             app.settings.ShowToolbar ^= 1;
             RebuildToolbar(app);
             SpeakOne(app, std::string("Toolbar is ") + (app.settings.ShowToolbar != 0 ? "Displayed" : "Hidden"));
         }}},
        {cmd::IconSize, {"ManageIconSize", [](App& app) {
             SBeep(app);
             ManageIconSize(app);
             SpeakOne(app, "Icon Size is " + NumberText(app.settings.IconSize));
         }}},
        {cmd::ExcludeSystemFolders, {"ExcludeSystemFolders", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.ExcludeSystemFolders, "Exclude System Folders is ");
         }}},
        {cmd::Escape, {"Escape", [](App& app) { Escape(app); }}},
        {cmd::FitToContent, {"SizeToFit", [](App& app) {
             SBeep(app);
             SizeToFit(app);
             SpeakOne(app, "Columns Resized");
         }}},
        {cmd::UseIgnoreList, {"UseIgnoreList", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.UseIgnoreList, "Ignore List is ");
         }}},
        {cmd::UseMagnor, {"UseMagnor", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.UseMagnor, "Use Magnor ");
         }}},
        {cmd::ToolbarHover, {"UseHover", [](App& app) {
             SBeep(app);
             static const char* names[] = {"OFF", "Text", "Speak", "Both"};
             SpeakOne(app, std::string("Magnor Hover is  ") + names[NextOfFour(app.settings.UseHover)]);
         }}},
        {cmd::VisualPrintFont, {"PrintFont", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.PrintFont, "Print With Visual Font is ");
         }}},
        {cmd::FocusOnSearchTerm, {"FocusOnRE", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.FocusOnRE, "Search Term Focus ");
         }}},
        {cmd::DisplayActionsList, {"DisplayActions", [](App& app) {
             app.settings.SearchType = 6;
             Resize(app);
             SpeakOneWait(app, "Opening Actions List");
             DisplayActions(app);
         }}},
        {cmd::OpenEverything, {"OpenEverything", [](App& app) {
             SBeep(app);
             if (OpenEverything(app)) SpeakOne(app, "Opening Everything");
         }}},
        {cmd::FolderShortPath, {"ShortPath", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.ShortPath, "Short Path Name is ", RedrawList);
         }}},
        {cmd::EnableToolTips, {"ManageTooltips", [](App& app) {
             SBeep(app);
             ManageTooltips(app);
         }}},
        {cmd::ShowTimeInDate, {"EnableTime", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.EnableTime, "Include Time in Date is ", RedrawList);
         }}},
        {cmd::FormatAsKB, {"UseKB", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.UseKB, "Format File Size is ", RedrawList);
         }}},
        {cmd::MaxPrintLines, {"ManageMaxPrintLines", [](App& app) {
             SBeep(app);
             ManageMaxPrintLines(app.settings);
             RedrawList(app);
             int v = app.settings.MaxPrintLines;
             SpeakOne(app, "Max Print Lines is " + (v == 0 ? std::string("Unlimited") : NumberText(v)));
         }}},
        {cmd::UpdateLumiseek, {"UpdateExe", [](App& app) { UpdateExe(app); }}},
        {cmd::SpeechSpeed, {"ToggleSpeed", [](App& app) { ToggleSpeed(app); }}},
        {cmd::JumpToFolder, {"JumpToFolder", [](App& app) { JumpToFolder(app); }}},
        {cmd::SpeakLocation, {"SpeakLocation", [](App& app) { SpeakLocation(app); }}},
        {cmd::IncreaseFontSize, {"ChangeFontSize", [](App& app) { ApplyFontStep(app, 4); }}},
        {cmd::DecreaseFontSize, {"ChangeFontSize", [](App& app) { ApplyFontStep(app, -4); }}},
        {cmd::CopyResults, {"CopyResults", [](App& app) { CopyResults(app); }}},
        {cmd::ShowSettings, {"ShowSettings", [](App& app) { SBeep(app); ShowSettings(app); }}},
        {cmd::TogglePreview, {"ShowPreview", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.ShowPreview, "Show Preview is ", [](App& a) {
                 PreviewSelection(a);
                 Resize(a);
             });
         }}},
        {cmd::PreviewResize, {"PreviewResize", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.PreviewResize, "Preview Resize is ", Resize);
         }}},
        {cmd::SpeakShortcuts, {"SpeakShortcuts", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.SpeakShortcuts, "Speak Shortcuts is ", Resize);
         }}},
        {cmd::WideToolbar, {"WideToolbar", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.WideToolbar, "Wide Toolbar is ", RebuildToolbar);
         }}},
        {cmd::IncludeShortcutKey, {"IncludeShortcutKey", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.IncludeShortcutKey, "Include Shortcut Key is ", Resize);
         }}},
        {cmd::SpeakMinimalKey, {"SpeakMinimalKey", [](App& app) {
             SBeep(app);
             Toggle(app, app.settings.SpeakMinimalKey, "Speak Minimal Key is ", Resize);
         }}},
        {cmd::ImageBGColor, {"ManageImageBG", [](App& app) { SBeep(app); ManageImageBG(app); }}},
        {cmd::MuteSpeakers, {"MuteSpeakers", [](App& app) { MuteSpeakers(app); }}},
        {cmd::Louder, {"VolumeUp", [](App& app) {
             VolumeUp(app);
             SpeakOne(app, "Louder");
         }}},
        {cmd::Softer, {"VolumeDown", [](App& app) {
             VolumeDown(app);
             SpeakOne(app, "Softer");
         }}},
        {cmd::DisableSpeech, {"DisableSpeech", [](App& app) { ToggleDisableSpeech(app); }}},
    };
    return table;
}

}  // namespace

void ConnectDispatcher(App& app) {
    app.reactions.RunCommand = [](App& a, int id) { OnCommand(a, id, 0); };
    app.reactions.RedrawPreview = PreviewSelection;
    app.reactions.PreviewSoon = PreviewSoon;
    app.reactions.RebuildToolbar = CreateToolbar;
}

void ChangeFontSize(App& app, int step) {
    StepFontSize(app, step);
    if (step != 0) SpeakOne(app, "Font Size is " + NumberText(app.settings.FontSize));
}

void OnCommand(App& app, int id, int code) {
    // The preview pane sends its click with code 0 and its double click with code 1, which is
    // no shortcut: the second click of a double click has already run as a click.
    if (id == cmd::PreviewClick && code != 0) return;
    ConnectDispatcher(app);
    bool announced = false;
    Guarded(app, "DlgProc", [&] {
        if (code == 1) {
            ControlIdLabel(app, id);
            if (app.settings.SpeakShortcuts > 0) announced = SpeakShortcut(app, id);
        }
    });
    const std::string announcement = announced ? app.SpeechPrefix : std::string();
    const auto& table = CommandTable();
    auto it = table.find(id);
    if (it != table.end()) Guarded(app, it->second.name, [&] { it->second.run(app); });
    // A shortcut may change a setting while the settings list shows it.
    Guarded(app, "RefreshSetting", [&] { RefreshShownSettings(app); });
    // The announcement belongs to this command: a command that said nothing through SpeakOne
    // (or ran while speech was off) drops it, so it never lands in front of a later utterance.
    if (announced && app.SpeechPrefix == announcement) app.SpeechPrefix.clear();
}

void OnSize(App& app) {
    Guarded(app, "Resize", [&] { Resize(app); });
}

void OnMouseWheel(App& app, int delta) {
    Guarded(app, "ChangeFontSize", [&] {
        ApplyFontStep(app, delta > 0 ? 4 : delta < 0 ? -4 : 0);
        RefreshShownSettings(app);
    });
}

bool OnSetCursor(App& app, int x, int y, bool pressed) { return pressed && x > RBE(app) && y < TBH(app); }

void OnToolbarFocus(App& app) {
    Guarded(app, "NewTbProc", [&] { SpeakOne(app, "ToolBar has focus"); });
}

void OnToolbarRightClick(App& app, int command) {
    Guarded(app, "ReverseMenu", [&] {
        if (command == cmd::NextMenu) ReverseMenu(app);
    });
}

void OnToolTipRequest(App& app, int command) {
    Guarded(app, "GetToolTip", [&] { ToolTipRequest(app, command); });
}

void OnHelp(App& app, bool ctrl) {
    Guarded(app, "DlgProc", [&] {
        if (ctrl) {
            OpenOnlineHelp(app);
            return;
        }
        app.settings.SearchType = 5;
        Resize(app);
        app.SpeechPrefix = "Opening Settings List";
        DisplaySettings(app);
    });
}

void OnContextMenu(App& app) {
    Guarded(app, "DlgProc", [&] {
        if (!app.port.HasFocus(ctl::SearchBox)) return;
        app.settings.SearchType = 5;
        Resize(app);
        DisplaySettings(app);
    });
}

// The lists' rows run the commands of their row numbers: they are never sorted.
void OnListColumnClick(App& app, int column) {
    Guarded(app, "SortD", [&] {
        if (app.settings.SearchType == 5 || app.settings.SearchType == 6) {
            SpeakOne(app, kListRefusal);
            return;
        }
        SortD(app, column);
        app.port.RedrawControl(ctl::ResultsList);
    });
}

// A double click opens the result; the rows of the settings and actions lists are no files.
void OnListDoubleClick(App& app) {
    Guarded(app, "OpenLvFile", [&] {
        if (app.settings.SearchType == 5 || app.settings.SearchType == 6) {
            SpeakOne(app, kListRefusal);
            return;
        }
        OpenLvFile(app);
    });
}

// In the lists Space runs the selected row, as Enter does; the list never sees that key, so it
// does not select the row again afterwards (which would speak its name over the row's outcome).
bool OnListSpace(App& app) {
    int mode = app.settings.SearchType;
    if (mode != 5 && mode != 6) return false;
    Guarded(app, "DlgProc", [&] {
        if (mode == 5) TakeLvSetting(app);
        else TakeLvAction(app);
    });
    return true;
}

bool OnListKeyDown(App& app, int vk) {
    bool used = false;
    Guarded(app, "DlgProc", [&] {
        // Only letter and digit keys type ahead: the low byte of an arrow, Home, End or keypad key
        // would otherwise stand for a character such as "(" or "a" and jump the selection.
        int code = vk & 0xFF;
        bool typed = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
        if (!typed) return;
        char c = static_cast<char>(std::tolower(code));
        int row = TypeAheadRow(app.Results, app.port.ListSelectedRow(), c);
        if (row > 0) {
            app.port.ListSelectRow(row);
            used = true;
        }
    });
    return used;
}

std::string OnListCellText(App& app, int row, int column) {
    std::string text;
    Guarded(app, "GetCellText", [&] { text = GetCellText(app, row, column); });
    return text;
}

void OnListSelectionChanged(App& app, int row) {
    Guarded(app, "SelectionChanged", [&] { SelectionChanged(app, row); });
}

RowColors OnListSelectedRowColors(App& app) {
    RowColors colors{};
    Guarded(app, "SelectedRowColors", [&] { colors = SelectedRowColors(app.settings); });
    return colors;
}

void OnPreviewDue(App& app) {
    Guarded(app, "PreviewSelection", [&] { PreviewSelection(app); });
}

void OnListFocus(App& app) {
    Guarded(app, "NewLvProc", [&] { SpeakOne(app, ListFocusText(app)); });
}

}  // namespace lumiseek

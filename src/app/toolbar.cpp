#include "app/toolbar.h"

#include <initializer_list>
#include <iterator>

#include "base/app.h"
#include "base/ids.h"
#include "speech/speech.h"
#include "view/layout.h"

namespace lumiseek {

namespace {

// Image positions in the toolbar image list (from 1).
enum Image {
    kExitImage = 1, kFileImage = 4, kFolderImage = 5, kColorImage = 6, kCopyImage = 8, kFilesImage = 9,
    kFoldersImage = 10, kBothImage = 11, kCustomImage = 12, kExpandImage = 13, kPrinterImage = 15,
    kPreviewImage = 16, kFirstPageImage = 17, kSettingsImage = 20,
};

ToolButton Button(const App& app, int command, int image, const char* text) {
    return {command, image, TBT(app, text), 0};
}
ToolButton Gap(int pixels) { return {0, 0, "", pixels}; }

}  // namespace

std::string TBT(const App& app, const std::string& text) {
    return app.settings.HideToolbarText != 0 ? std::string() : text;
}

std::vector<ToolButton> ToolbarButtons(const App& app) {
    const ToolButton exit = Button(app, cmd::Exit, kExitImage, " Exit ");
    const ToolButton searches[] = {Button(app, cmd::SearchFiles, kFilesImage, " Files "),
                                   Button(app, cmd::SearchFolders, kFoldersImage, " Folders "),
                                   Button(app, cmd::SearchAll, kBothImage, " Both "),
                                   Button(app, cmd::SearchCustom, kCustomImage, " Custom ")};
    const ToolButton copy = Button(app, cmd::CopySelectedFile, kCopyImage, " Copy ");
    const ToolButton openFile = Button(app, cmd::OpenFile, kFileImage, " Open ");
    const ToolButton openFolder = Button(app, cmd::OpenFolder, kFolderImage, " Open ");
    const ToolButton expand = Button(app, cmd::ExpandFolder, kExpandImage, " Expand ");
    const ToolButton tools[] = {Button(app, cmd::ChangeColors, kColorImage, " Color "),
                                Button(app, cmd::PrintButton, kPrinterImage, " Print "),
                                Button(app, cmd::TogglePreview, kPreviewImage, " Preview "),
                                Button(app, cmd::ShowSettingsList, kSettingsImage, " Settings ")};

    std::vector<ToolButton> b{exit};
    auto add = [&](const auto& group) { b.insert(b.end(), std::begin(group), std::end(group)); };
    if (app.settings.WideToolbar != 0) {
        b.push_back(Gap(60));
        add(searches);
        add(std::initializer_list<ToolButton>{Gap(30), copy, openFile, Gap(40), openFolder, expand, Gap(40)});
        add(tools);
        return b;
    }
    const int page = app.ToolbarPage;
    b.push_back(Gap(30));
    if (page == 0) {
        add(searches);
        b.push_back(Gap(105));
    } else if (page == 1) {
        add(std::initializer_list<ToolButton>{copy, openFile, Gap(40), openFolder, expand, Gap(105)});
    } else {
        add(tools);
        b.push_back(Gap(50));
    }
    b.push_back(Button(app, cmd::NextMenu, kFirstPageImage + page, " "));
    return b;
}

int ToolbarFontPoints(int iconSize) {
    switch (iconSize) {
        case 48: return 16;
        case 64: return 18;
        case 96: return 20;
        default: return 24;
    }
}

void CreateImageList(App& app) { app.port.MakeToolbarImages(app.settings.IconSize); }

// The texts keep the size that goes with the icons through every rebuild.
void CreateToolbar(App& app) {
    app.port.RemoveToolbar();
    if (app.settings.ShowToolbar == 0) return;
    app.port.AddToolbar(ToolbarButtons(app), ToolbarFontPoints(app.settings.IconSize));
}

void ManageIconSize(App& app) {
    int32_t& size = app.settings.IconSize;
    switch (size) {
        case 48: size = 64; break;
        case 64: size = 96; break;
        case 96: size = 128; break;
        default: size = 48;
    }
    CreateImageList(app);
    CreateToolbar(app);
    Resize(app);
}

void NextToolbarPage(App& app) {
    app.ToolbarPage = app.ToolbarPage >= 2 ? 0 : app.ToolbarPage + 1;
    CreateToolbar(app);
}

void ReverseMenu(App& app) {
    app.ToolbarPage = app.ToolbarPage <= 0 ? 2 : app.ToolbarPage - 1;
    CreateToolbar(app);
}

int RBE(App& app) { return app.port.ToolbarButtonsRight(); }

std::optional<std::string> GetToolTip(int command) {
    switch (command) {
        case cmd::SearchFiles: return " Search Files ";
        case cmd::SearchFolders: return " Search Folders ";
        case cmd::SearchAll: return " Search Both ";
        case cmd::SearchCustom: return " Search Custom ";
        case cmd::ChangeColors: return " Color ";
        case cmd::CopySelectedFile: return " Copy File ";
        case cmd::OpenFile: return " Open Name ";
        case cmd::OpenFolder: return " Open Folder ";
        case cmd::ExpandFolder: return " Expand Folder ";
        case cmd::ShowSettingsList: return " Help ";
        case cmd::PrintButton: return " Print Result List ";
        case cmd::Exit: return " Exit ";
        case cmd::TogglePreview: return " Preview Images ";
        default: return std::nullopt;
    }
}

// Modes of EnableToolTips: 0 off, 1 shown, 2 spoken, 3 both. A button is not announced twice in
// a row; the page button empties the tooltip.
void ToolTipRequest(App& app, int command) {
    const int mode = app.settings.EnableToolTips;
    if (mode == 0) {
        app.ToolTipText.clear();
        app.port.SetToolTip(app.ToolTipText);
        app.LastToolTipId = 0;
        return;
    }
    if (command == app.LastToolTipId && app.LastToolTipId != 0) return;
    app.ToolTipText.clear();
    app.port.PopToolTip();
    if (auto text = GetToolTip(command)) app.ToolTipText = *text;
    if (mode == 2 || mode == 3) {
        if (!app.ToolTipText.empty()) SpeakOne(app, app.ToolTipText);
    }
    if (mode == 1 || mode == 3) app.port.SetToolTip(app.ToolTipText);
    app.LastToolTipId = command;
}

// A hand-edited mode outside 0 to 3 steps to 0, like a step from 3.
void ManageTooltips(App& app) {
    app.LastToolTipId = 0;
    app.ToolTipText.clear();
    app.port.SetToolTip(app.ToolTipText);
    int32_t& mode = app.settings.EnableToolTips;
    mode = mode >= 0 && mode < 3 ? mode + 1 : 0;
    static const char* const words[] = {"Tooltips are Off", "ToolTips are Text", "ToolTips are Speak",
                                        "ToolTips are Both"};
    app.port.VoiceSetRate(app.settings.vRate);
    SpeakOne(app, words[mode]);
}

}  // namespace lumiseek

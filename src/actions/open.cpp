#include "actions/open.h"

#include <optional>
#include <string_view>

#include "base/app.h"
#include "base/text.h"
#include "search/results.h"
#include "search/search.h"
#include "speech/speech.h"

namespace lumiseek {

namespace {

constexpr const char* kEmptyRow = "<empty>";
constexpr const char* kHelpModeRefusal = "Not Available in Help Mode";
// Everything's window: the 32-bit install location first, then the 64-bit one.
constexpr const char* kEverything32 = "c:\\program files (x86)\\everything\\everything.exe";
constexpr const char* kEverything64 = "%ProgramFiles%\\Everything\\Everything.exe";
constexpr const char* kMagnor = "magnor.exe";

// An extension is listed when it occurs anywhere in one of the lists; so is the empty one.
bool Listed(const std::string& extension) {
    for (std::string_view list : {kDocumentTypes, kImageTypes, kAudioTypes, kVideoTypes}) {
        if (InTypeList(list, extension)) return true;
    }
    return false;
}

// Types that run code when opened. A list row is opened with one key, so these are never handed
// to the shell by their association, only their folder is opened.
constexpr std::string_view kProgramTypes[] = {".exe", ".com", ".scr", ".msi", ".msc", ".cpl",
                                              ".ps1", ".vbs", ".vbe", ".js",  ".jse", ".wsf",
                                              ".wsh", ".hta", ".lnk", ".reg", ".jar"};

bool RunsCode(const std::string& extension) {
    for (std::string_view type : kProgramTypes) {
        if (extension == type) return true;
    }
    return false;
}

// Hands a file or folder to the shell, then speaks the announcement; when the shell refused it,
// the failure is heard after the announcement.
void ShellOpenAndSay(App& app, const std::string& target, const std::string& announcement) {
    bool opened = app.port.ShellOpen(target);
    SpeakOne(app, announcement);
    if (!opened) SpeakNext(app, "Cannot Open " + target);
}

// Searches all files and folders for a path taken from the selected row's folder; the search
// box keeps its text.
void SearchFromFolder(App& app, std::string (*target)(const std::string&)) {
    int row = SelectedRow(app);
    if (row == 0) return;
    SearchFolder(app, target(app.Results[row - 1].Folder));
}

// The selected row to open, or nullptr after saying why there is none: no selection, the
// settings list shown, or the "<empty>" row.
const ResultRow* RowToOpen(App& app) {
    int row = SelectedRow(app);
    if (row == 0) return nullptr;
    if (app.settings.SearchType == 5) {
        SpeakOne(app, kHelpModeRefusal);
        return nullptr;
    }
    const ResultRow& r = app.Results[row - 1];
    if (r.Name == kEmptyRow) {
        SpeakOne(app, "Empty");
        return nullptr;
    }
    return &r;
}

}  // namespace

std::string Extension(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return "";
    if (name.find_first_of("\\:", dot) != std::string_view::npos) return "";
    return LowerCase(name.substr(dot));
}

void OpenLvFile(App& app) {
    const ResultRow* row = RowToOpen(app);
    if (row == nullptr) return;
    const ResultRow& r = *row;
    if (r.IsFolder != 0) {
        OpenLvFolder(app);
        return;
    }
    std::string extension = Extension(r.Name);
    // A type in the lists is handed to the shell; so is any other type that has an opener,
    // unless it is a program or a script.
    const bool opens = Listed(extension) || (!RunsCode(extension) && app.port.AssociatedProgram(extension));
    if (opens) {
        SpeakOne(app, "Using " + GetAssociatedProgram(app, extension) + " to Open " + r.Name);
        if (!app.port.ShellOpen(TrimSpaces(r.Folder + r.Name))) SpeakNext(app, "Cannot Open " + r.Name);
    } else {
        ShellOpenAndSay(app, r.Folder, "Cannot Open File. Opening Parent Folder.");
    }
}

void OpenLvFolder(App& app) {
    const ResultRow* row = RowToOpen(app);
    if (row == nullptr) return;
    std::string folder = TrimSpaces(row->Folder);
    ShellOpenAndSay(app, folder, "Opening " + folder);
}

void ExpandFolder(App& app) {
    SearchFromFolder(app, [](const std::string& folder) { return folder; });
}

void ExpandParentFolder(App& app) { SearchFromFolder(app, GetParentFolder); }

std::string GetParentFolder(const std::string& path) {
    // Leading "\" stay (a UNC path keeps its "\\"); trailing ones are dropped before the cut.
    size_t first = path.find_first_not_of('\\');
    if (first == std::string::npos) return "";
    size_t last = path.find_last_not_of('\\');
    size_t cut = path.rfind('\\', last);
    if (cut == std::string::npos || cut < first) return "";
    return path.substr(0, cut + 1);
}

void JumpToFolder(App& app) {
    int row = SelectedRow(app);
    if (row == 0) return;
    for (int next = row + 1; next <= static_cast<int>(app.Results.size()); ++next) {
        if (app.Results[next - 1].IsFolder != 0) {
            SpeakOneWait(app, "Folder Found");
            app.port.ListSelectRow(next);
            return;
        }
    }
    SpeakOne(app, "Folder Not Found in List");
}

void SpeakLocation(App& app) {
    if (app.settings.DisableSpeech != 0) return;
    int row = SelectedRow(app);
    if (row == 0) return;
    const ResultRow& r = app.Results[row - 1];
    // Both numbers in the general form: "Line 3 of  12".
    std::string where = "Line" + NumberText(row) + " of " + NumberText(static_cast<int64_t>(app.Results.size())) + " : ";
    if (app.settings.SearchType != 5) where += std::string(r.IsFolder != 0 ? "Folder" : "File") + " : ";
    SpeakOne(app, where + r.Name);
}

std::string GetAssociatedProgram(App& app, const std::string& extension) {
    return app.port.AssociatedProgram(extension).value_or("Error: associated program not found");
}

bool OpenEverything(App& app) {
    for (const std::string& path : {std::string(kEverything32), app.port.ExpandEnvironment(kEverything64)}) {
        if (app.port.FileExists(path) && app.port.StartProgram("\"" + path + "\"")) return true;
    }
    SpeakOne(app, "Everything Not Found");
    return false;
}

void OpenMagnor(App& app) {
    if (app.settings.UseMagnor == 0 || !app.port.FileExists(kMagnor)) return;
    std::optional<std::string> magnor = app.port.FindProgram(kMagnor);
    if (!magnor) return;
    // The viewer's nineteen settings, each after one blank; the eleventh is the hover mode.
    std::string line = "\"" + *magnor + "\" ";
    for (int n : {96, 1, 0, 1, 1, 0, 0, 0, 0, 0, static_cast<int>(app.settings.UseHover), 0, 0, 0, 0, 0, 1, 0, 0}) {
        line += NumberText(n);
    }
    app.port.StartProgram(line);
}

}  // namespace lumiseek
